// CR LF ends lines on the console and in every file the program writes.
#ifndef ZENTRILL_TEXTIO_LINE_END_H_
#define ZENTRILL_TEXTIO_LINE_END_H_

#include <string_view>

namespace zentrill {

inline constexpr std::string_view kLineEndBytes = "\r\n";

enum class LineEnd { without, with };

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_LINE_END_H_
