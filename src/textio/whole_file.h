// A file read whole at once, before the run touches anything else: the input
// a user names on the command line.
#ifndef ZENTRILL_TEXTIO_WHOLE_FILE_H_
#define ZENTRILL_TEXTIO_WHOLE_FILE_H_

#include <string>

namespace zentrill {

// How messages name the file `path`: "standard input" for "-".
std::string input_name(const std::string& path);

// Every byte of the file `path`, or of standard input when `path` is "-",
// to its end. Throws FileError (read) naming it with the system's reason (a
// missing file, a directory, an I/O error).
std::string read_whole_file(const std::string& path);

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_WHOLE_FILE_H_
