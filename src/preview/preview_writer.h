// Phase 4: the pitch list becomes pxx.wav, a preview of what the module plays.
#ifndef ZENTRILL_PREVIEW_PREVIEW_WRITER_H_
#define ZENTRILL_PREVIEW_PREVIEW_WRITER_H_

#include "textio/file_slots.h"
#include "vocabulary/voice.h"

namespace zentrill {

// No field has a default, so a designated initializer that leaves one out
// draws a warning.
struct PreviewOptions {
  // The rows the module holds: 32767 lines or 256.
  bool all_rows;
  Voice voice;
};

// Reads the lines the module holds as register values (an unreadable line
// plays as the one before), then writes the preview while it is computed,
// opening and closing both slots itself. Memory: one value per row.
// Throws FileError when pxx.txt cannot be read or pxx.wav written.
void write_preview(FileSlots& slots, const PreviewOptions& options);

}  // namespace zentrill

#endif  // ZENTRILL_PREVIEW_PREVIEW_WRITER_H_
