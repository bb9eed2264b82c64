// A line the program writes about its run, beside the dialogue: it starts
// with the program's name, as a Unix tool's messages do, so that it stands
// out among other programs' lines in a script's log.
#ifndef ZENTRILL_VOCABULARY_PROGRAM_MESSAGE_H_
#define ZENTRILL_VOCABULARY_PROGRAM_MESSAGE_H_

#include <string>
#include <string_view>

namespace zentrill {

inline std::string program_message(std::string_view text) { return "zentrill: " + std::string(text); }

}  // namespace zentrill

#endif  // ZENTRILL_VOCABULARY_PROGRAM_MESSAGE_H_
