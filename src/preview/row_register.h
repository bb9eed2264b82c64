// The period register value each line of the pitch list plays in the
// tracker, as the preview reads it.
#ifndef ZENTRILL_PREVIEW_ROW_REGISTER_H_
#define ZENTRILL_PREVIEW_ROW_REGISTER_H_

#include <cstdint>
#include <optional>
#include <string_view>

#include "vocabulary/voice.h"

namespace zentrill {

// The register value R of the channel for a line such as "G-1 P97" (note,
// octave 0 to 7, fine pitch X) on `machine`: the tracker's table value T of
// the note, moved by the fine pitch and kept within the register,
// R = clamp(T + 128 - X, 0, 2047) (tracker_pitch.h); B# is B and E# is F, as
// the module has them. Empty for a line not of the pitch list's layout (a
// field missing, or not seven characters with " P" in its place), where the
// module would keep fields of the line before; the pitch analysis writes none.
std::optional<std::uint16_t> row_register(std::string_view line, Machine machine);

}  // namespace zentrill

#endif  // ZENTRILL_PREVIEW_ROW_REGISTER_H_
