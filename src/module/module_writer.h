// Phase 3: the pitch list becomes the FamiTracker module pxx.ftm.
#ifndef ZENTRILL_MODULE_MODULE_WRITER_H_
#define ZENTRILL_MODULE_MODULE_WRITER_H_

#include "textio/file_slots.h"

namespace zentrill {

// Opens the pitch list for reading and the module for writing in their
// phase-3 slots (phase_files.h), writes the whole 2968-byte module, then
// closes the pitch list's slot and the module's.
// Throws FileError when pxx.ftm cannot be created or written.
void write_module(FileSlots& slots);

}  // namespace zentrill

#endif  // ZENTRILL_MODULE_MODULE_WRITER_H_
