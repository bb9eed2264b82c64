// Phase 4, after the module writer: the pitch list becomes pxx.wav, a preview
// of what the module plays.
#ifndef ZENTRILL_PREVIEW_PREVIEW_WRITER_H_
#define ZENTRILL_PREVIEW_PREVIEW_WRITER_H_

#include "textio/file_slots.h"
#include "vocabulary/voice.h"

namespace zentrill {

// No field has a default, so a designated initializer that leaves one out
// draws a warning.
struct PreviewOptions {
  // The rows the module holds (tracker_song.h): with all_rows the first 32767
  // lines of the pitch list, without it the first 256.
  bool all_rows;
  // The channel, machine and speed whose rows the preview plays.
  Voice voice;
};

// Opens the pitch list for reading in its slot of phase 4 (phase_files.h),
// reads the lines the module holds, each as the register value it plays on
// the voice's machine (row_register.h; a line that does not read as one
// plays as the line before, the first such line silent), and closes that
// slot. Then opens the preview for writing in its slot, writes it while it
// is computed (voice_renderer.h: every row as the tracker plays it with the
// module's instrument) and closes it. Holds one register value per row and a fixed
// buffer, however long the preview.
// Throws FileError when a read of pxx.txt fails or pxx.wav cannot be created
// or written.
void write_preview(FileSlots& slots, const PreviewOptions& options);

}  // namespace zentrill

#endif  // ZENTRILL_PREVIEW_PREVIEW_WRITER_H_
