// Whether a print ends its text with the line end, CR LF.
#ifndef ZENTRILL_TEXTIO_LINE_END_H_
#define ZENTRILL_TEXTIO_LINE_END_H_

namespace zentrill {

enum class LineEnd { without, with };

}  // namespace zentrill

#endif  // ZENTRILL_TEXTIO_LINE_END_H_
