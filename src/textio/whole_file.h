// The input a user names on the command line, read before anything else.
#ifndef ZENTRILL_TEXTIO_WHOLE_FILE_H_
#define ZENTRILL_TEXTIO_WHOLE_FILE_H_

#include <string>

namespace zentrill {

// "standard input" for "-".
std::string input_name(const std::string& path);

// Standard input for "-". Throws FileError (read) with the system's reason.
std::string read_whole_file(const std::string& path);

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_WHOLE_FILE_H_
