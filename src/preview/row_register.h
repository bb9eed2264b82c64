#ifndef ZENTRILL_PREVIEW_ROW_REGISTER_H_
#define ZENTRILL_PREVIEW_ROW_REGISTER_H_

#include <cstdint>
#include <optional>
#include <string_view>

#include "vocabulary/voice.h"

namespace zentrill {

// The period register value a pitch-list line plays in the tracker. Empty
// for a line not of the pitch list's layout, where the module would keep
// fields of the line before; the pitch analysis writes none.
std::optional<std::uint16_t> row_register(std::string_view line, Machine machine);

}  // namespace zentrill

#endif  // ZENTRILL_PREVIEW_ROW_REGISTER_H_
