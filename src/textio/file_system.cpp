#include "textio/file_system.h"

namespace zentrill {

FileError::FileError(std::string_view file_name, std::string_view reason, FileAction action)
    : std::runtime_error(std::string(file_name) + ": " + std::string(reason)), action_(action) {}

}  // namespace zentrill
