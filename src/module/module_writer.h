// Phase 3: the pitch list becomes the FamiTracker module pxx.ftm.
#ifndef ZENTRILL_MODULE_MODULE_WRITER_H_
#define ZENTRILL_MODULE_MODULE_WRITER_H_

#include "textio/file_slots.h"

namespace zentrill {

// Opens pxx.txt for reading in slot 1 and pxx.ftm for writing in slot 2,
// writes the whole 2968-byte module, then closes slot 1 and slot 2.
// Throws FileError when pxx.ftm cannot be created or written.
void write_module(FileSlots& slots);

}  // namespace zentrill

#endif  // ZENTRILL_MODULE_MODULE_WRITER_H_
