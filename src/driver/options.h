// What the command line can change in a run: what pxx.txt and pxx.ftm hold
// and whether pxx.wav is written, never the dialogue or the files' names.
// Options{} is the run without options.
#ifndef ZENTRILL_DRIVER_OPTIONS_H_
#define ZENTRILL_DRIVER_OPTIONS_H_

#include "pitch/period_analysis.h"
#include "vocabulary/voice.h"

namespace zentrill {

struct Options {
  // -t: each row plays the whole timer period nearest its wanted one.
  FinePitch fine_pitch = FinePitch::exact_period;
  // -i: the module carries one 2A03 instrument, so its rows sound at once.
  bool instrument = false;
  // -a: the module holds the whole pitch list, not only its first 256 lines.
  bool all_rows = false;
  // -w: pxx.wav, a preview of the rows the module holds, is written too.
  bool preview = false;
  // -c, -p, -s: the channel, the machine and the speed the rows are for.
  Voice voice = kDefaultVoice;
};

}  // namespace zentrill

#endif  // ZENTRILL_DRIVER_OPTIONS_H_
