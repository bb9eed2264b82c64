// The program's name and major version as it presents itself: on the banner
// of every run and in --version.
#ifndef ZENTRILL_DRIVER_PROGRAM_TITLE_H_
#define ZENTRILL_DRIVER_PROGRAM_TITLE_H_

#include <string_view>

namespace zentrill {

inline constexpr std::string_view kProgramTitle = "Zentrill v1";

}  // namespace zentrill

#endif  // ZENTRILL_DRIVER_PROGRAM_TITLE_H_
