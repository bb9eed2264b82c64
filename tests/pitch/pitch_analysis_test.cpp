#include "pitch/pitch_analysis.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "memory_file_system.h"
#include "textio/number_form.h"
#include "vocabulary/phase_files.h"

namespace zentrill {
namespace {

using test_support::MemoryFileSystem;

// The frequency list as phase 1 writes it: long number form, CR LF.
std::string frequency_list(const std::vector<double>& frequencies) {
  std::string text;
  for (double f : frequencies) text += long_number_form(f) + "\r\n";
  return text;
}

struct Analysis {
  std::string pxx;
  std::optional<OutOfRangeFrequency> stop;
  std::vector<double> unread;  // the items still in freq.txt afterwards
};

Analysis analyse(const std::string& freq_txt, FinePitch fine_pitch = FinePitch::exact_period,
                 const Voice& voice = kDefaultVoice) {
  MemoryFileSystem files;
  files.files["freq.txt"] = freq_txt;
  FileSlots slots(files);
  slots.open_for_reading(1, "freq.txt");
  slots.open_for_writing(2, "pxx.txt");
  Analysis run;
  run.stop = run_pitch_analysis(slots, fine_pitch, voice);
  while (!slots.at_end(1)) run.unread.push_back(slots.read_numeric_item(1));
  slots.close(1);
  slots.close(2);
  run.pxx = files.files["pxx.txt"];
  return run;
}

constexpr Voice kTriangle{Channel::triangle, Machine::ntsc, 6};
constexpr Voice kPal{Channel::pulse2, Machine::pal, 6};

struct AnalysisCase {
  const char* rule;
  std::string freq_txt;
  std::string pxx;
  std::optional<OutOfRangeFrequency> stop = std::nullopt;
  std::vector<double> unread = {};
  FinePitch fine_pitch = FinePitch::exact_period;
  Voice voice = kDefaultVoice;
};

TEST(RunPitchAnalysis, WritesOneLinePerFrequencyAndStopsAtTheFirstOutOfRange) {
  const AnalysisCase cases[] = {
      {"worked examples", frequency_list({100, 440, 60, 82, 250, 1000, 3000, 7714}),
       "G-1 P97\r\nA-3 P80\r\nB-0 P4C\r\nE-1 P79\r\nB-2 P86\r\nB-4 P81\r\nF#6 P81\r\nB-7 P80\r\n"},
      {"the same at the tracker's whole periods: 100 and 7714 Hz move by one",
       frequency_list({100, 440, 60, 82, 250, 1000, 3000, 7714}),
       "G-1 P96\r\nA-3 P80\r\nB-0 P4C\r\nE-1 P79\r\nB-2 P86\r\nB-4 P81\r\nF#6 P81\r\nB-7 P7F\r\n",
       std::nullopt, {}, FinePitch::nearest_period},
      {"a glide from A-1 to A-3 in four steps",
       frequency_list({110, 155.5634918610405, 220, 311.126983722081}),
       "A-1 P80\r\nD#2 P80\r\nA-2 P80\r\nD#3 P80\r\n"},
      {"empty list", "", ""},
      {"last line without line end", "100\r\n440", "G-1 P97\r\nA-3 P80\r\n"},
      {"trailing empty line reads as 0 Hz", frequency_list({100, 440}) + "\r\n",
       "G-1 P97\r\nA-3 P80\r\n", OutOfRangeFrequency{3, 0}},
      {"the rounded range is playable", frequency_list({54.61, 7714.53}), "A-0 P71\r\nB-7 P80\r\n"},
      {"just below the range", frequency_list({54.6, 100}), "", OutOfRangeFrequency{1, 54.6}, {100}},
      {"just above the range", frequency_list({7714.54}), "", OutOfRangeFrequency{1, 7714.54}},
      {"a glide climbing past the top, then a later glide",
       frequency_list({3000, 7714, 7902.132820097988, 8000, 100}), "F#6 P81\r\nB-7 P80\r\n",
       OutOfRangeFrequency{3, 7902.132820097988}, {8000, 100}},
      {"the same stop at the tracker's whole periods",
       frequency_list({3000, 7714, 7902.132820097988, 8000, 100}), "F#6 P81\r\nB-7 P7F\r\n",
       OutOfRangeFrequency{3, 7902.132820097988}, {8000, 100}, FinePitch::nearest_period},
      {"negative frequency", "100\r\n-100\r\n440\r\n", "G-1 P97\r\n", OutOfRangeFrequency{2, -100}, {440}},
      {"text reads as 0 Hz", "abc\r\n", "", OutOfRangeFrequency{1, 0}},
      {"the count is of items", "100 440\r\n9000\r\n", "G-1 P97\r\nA-3 P80\r\n",
       OutOfRangeFrequency{3, 9000}},
      {"the triangle's frequencies, half the pulse's, give the pulse's lines",
       frequency_list({50, 220, 30, 41, 125, 500, 1500, 3857}),
       "G-1 P97\r\nA-3 P80\r\nB-0 P4C\r\nE-1 P79\r\nB-2 P86\r\nB-4 P81\r\nF#6 P81\r\nB-7 P80\r\n",
       std::nullopt, {}, FinePitch::exact_period, kTriangle},
      {"the triangle's range is half the pulse's", frequency_list({27.305, 3857.265, 3857.27}),
       "A-0 P71\r\nB-7 P80\r\n", OutOfRangeFrequency{3, 3857.27}, {}, FinePitch::exact_period, kTriangle},
      {"PAL: the same notes, bent onto PAL periods",
       frequency_list({100, 440, 60, 82, 250, 3000, 6000, 54.61}),
       "G-1 P95\r\nA-3 P80\r\nB-0 P4F\r\nE-1 P7A\r\nB-2 P85\r\nF#6 P80\r\nF#7 P80\r\nA-0 P73\r\n",
       std::nullopt, {}, FinePitch::exact_period, kPal},
      {"PAL at the tracker's whole PAL periods",
       frequency_list({100, 440, 60, 82, 250, 3000, 6000, 54.61}),
       "G-1 P95\r\nA-3 P80\r\nB-0 P4F\r\nE-1 P7A\r\nB-2 P85\r\nF#6 P80\r\nF#7 P81\r\nA-0 P72\r\n",
       std::nullopt, {}, FinePitch::nearest_period, kPal},
  };
  for (const AnalysisCase& c : cases) {
    const Analysis run = analyse(c.freq_txt, c.fine_pitch, c.voice);
    EXPECT_EQ(run.pxx, c.pxx) << c.rule;
    ASSERT_EQ(run.stop.has_value(), c.stop.has_value()) << c.rule;
    if (c.stop) {
      EXPECT_EQ(run.stop->line_number, c.stop->line_number) << c.rule;
      EXPECT_EQ(run.stop->frequency, c.stop->frequency) << c.rule;
    }
    EXPECT_EQ(run.unread, c.unread) << c.rule;
  }
}

TEST(RunPitchAnalysis, StreamsALongList) {
  std::vector<double> frequencies;
  for (int i = 0; i < 20000; ++i) frequencies.push_back(i % 2 ? 100 : 440);
  const Analysis run = analyse(frequency_list(frequencies));
  ASSERT_FALSE(run.stop);
  ASSERT_EQ(run.pxx.size(), 9 * frequencies.size());
  EXPECT_EQ(run.pxx.substr(run.pxx.size() - 18), "A-3 P80\r\nG-1 P97\r\n");
}

TEST(OutOfRangeMessage, NamesTheLineTheFrequencyTheRangeAndWhatWasLost) {
  using phase_files::files_from_pitch_list;
  EXPECT_EQ(out_of_range_message({3, 7902.132820097988}, files_from_pitch_list(false), Channel::pulse1),
            "zentrill: line 3 of freq.txt, 7902.132820097988 Hz, is outside the playable range of "
            "about 54.61 to 7714.54 Hz; it and every line after it were left out of pxx.txt and pxx.ftm");
  EXPECT_TRUE(out_of_range_message({3, 7902.132820097988}, files_from_pitch_list(true), Channel::pulse2)
                  .ends_with("were left out of pxx.txt, pxx.ftm and pxx.wav"));
  EXPECT_NE(out_of_range_message({1, 4000}, files_from_pitch_list(false), Channel::triangle)
                .find("4000 Hz, is outside the playable range of about 27.30 to 3857.27 Hz;"),
            std::string::npos);
  const std::string empty_line = out_of_range_message({12, 0}, files_from_pitch_list(false), Channel::pulse1);
  EXPECT_NE(empty_line.find("line 12 of freq.txt, 0 Hz,"), std::string::npos);
  EXPECT_EQ(empty_line.find_first_of("\r\n"), std::string::npos);
}

}  // namespace
}  // namespace zentrill
