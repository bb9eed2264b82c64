#include "textio/file_slots.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <type_traits>
#include <vector>

#include "memory_file_system.h"
#include "textio/number_form.h"
#include "textio/posix_file_system.h"

namespace zentrill {
namespace {

using test_support::MemoryFileSystem;

using Texts = std::vector<std::string>;
using Numbers = std::vector<double>;

// Every item of `data`, read as text or as numbers with the end-of-file test
// before each one.
template <typename Items>
Items items_of(const std::string& data) {
  MemoryFileSystem files;
  files.files["in.txt"] = data;
  FileSlots slots(files);
  slots.open_for_reading(1, "in.txt");
  Items items;
  while (!slots.at_end(1) && items.size() < 100) {
    if constexpr (std::is_same_v<Items, Texts>) items.push_back(slots.read_text_item(1));
    else items.push_back(slots.read_numeric_item(1));
  }
  return items;
}
const auto text_items = items_of<Texts>;
const auto numeric_items = items_of<Numbers>;

TEST(FileSlots, ItemsEndAtLineEndsAndAtTheEndOfTheData) {
  EXPECT_EQ(numeric_items("1\r\n2\r\n3\r\n"), (Numbers{1, 2, 3}));
  EXPECT_EQ(numeric_items("1\r\n2\r\n3"), (Numbers{1, 2, 3}));
  EXPECT_EQ(numeric_items("1\r\n2\r\n3\r\n\r\n"), (Numbers{1, 2, 3, 0}));
  EXPECT_EQ(text_items("1\r\n2\r\n3\r\n\r\n"), (Texts{"1", "2", "3", ""}));
  EXPECT_EQ(numeric_items(""), Numbers{});
  EXPECT_EQ(text_items("a\nb\n"), (Texts{"a", "b"}));
  // A lone CR ends an item too and is not taken with the next one.
  EXPECT_EQ(text_items("a\rb\r"), (Texts{"a", "b"}));
  EXPECT_EQ(text_items("a\r\rb"), (Texts{"a", "", "b"}));
  EXPECT_EQ(text_items("a\r"), (Texts{"a"}));
  EXPECT_EQ(text_items("\r\n"), (Texts{""}));
  // The second CR is the first of a CR LF pair, which the first CR takes along.
  EXPECT_EQ(text_items("a\r\r\n"), (Texts{"a"}));
}

TEST(FileSlots, BlanksCommasAndQuotesSeparateItemsByTheirKind) {
  EXPECT_EQ(numeric_items("1 2\r\n"), (Numbers{1, 2}));
  EXPECT_EQ(text_items("1 2\r\n"), (Texts{"1 2"}));
  EXPECT_EQ(numeric_items("1,2\r\n"), (Numbers{1, 2}));
  EXPECT_EQ(numeric_items("1 ,2\r\n"), (Numbers{1, 2}));
  EXPECT_EQ(numeric_items("1 , 2\r\n"), (Numbers{1, 2}));
  EXPECT_EQ(numeric_items("1\t\t2"), (Numbers{1, 2}));
  EXPECT_EQ(numeric_items("1  \r\n2"), (Numbers{1, 2}));
  EXPECT_EQ(text_items("A  \r\n"), (Texts{"A  "}));
  EXPECT_EQ(text_items("  \tA B\r\n"), (Texts{"A B"}));
  EXPECT_EQ(text_items("A,B\r\n"), (Texts{"A", "B"}));
  EXPECT_EQ(text_items("\"A,B\"\r\n"), (Texts{"A,B"}));
  EXPECT_EQ(text_items("\"A,B\"  ,C\r\n"), (Texts{"A,B", "C"}));
  EXPECT_EQ(text_items("\"A\"B\r\n"), (Texts{"A", "B"}));
  EXPECT_EQ(text_items("A\"B\"\r\n"), (Texts{"A\"B\""}));
  // A line end ends the item even inside quotes.
  EXPECT_EQ(text_items("\"A\r\nB\"\r\n"), (Texts{"A", "B\""}));
  // In a numeric item a closing quote does not end it.
  // "1 23" is read by the integer rules, which stop at the blank.
  EXPECT_EQ(numeric_items("\"1 2\"3 4\r\n"), (Numbers{1, 4}));
  EXPECT_EQ(numeric_items("\"12\"3\r\n"), (Numbers{123}));
  EXPECT_EQ(text_items("C#3 P8A\r\n"), (Texts{"C#3 P8A"}));
}

TEST(FileSlots, ExponentLettersAndAmpersandFormsCountInNumericItemsOnly) {
  EXPECT_EQ(numeric_items("1d3\r\n&H1F\r\n&17\r\nabc\r\n\r\n"), (Numbers{1000, 31, 15, 0, 0}));
  EXPECT_EQ(numeric_items("&H1D\r\n"), (Numbers{29}));  // D after & stays a digit
  EXPECT_EQ(text_items("1d3\r\n"), (Texts{"1d3"}));
}

TEST(FileSlots, ItemsEndAtTheirLengthLimits) {
  const std::string digits67(67, '1');
  // A 67-character numeric item is whole; the rest of its line is the next.
  EXPECT_EQ(numeric_items(digits67 + "\r\n").size(), 1u);
  const Numbers split = numeric_items(digits67 + "25\r\n");
  ASSERT_EQ(split.size(), 2u);
  EXPECT_EQ(split[1], 25);
  EXPECT_EQ(numeric_items(digits67 + " \r\n7\r\n").size(), 2u);
  const Texts long_line = text_items(std::string(5000, 'x') + "\r\n");
  ASSERT_EQ(long_line.size(), 2u);
  EXPECT_EQ(long_line[0].size(), 4096u);
  EXPECT_EQ(long_line[1].size(), 904u);
  // At the limit the item ends as at a blank: a following comma is consumed.
  EXPECT_EQ(text_items(std::string(4096, 'y') + ",z").size(), 2u);
}

TEST(FileSlots, EndOfFileMarkEndsTheDataForGood) {
  EXPECT_EQ(numeric_items("1\r\n2\x1A" "3\r\n"), (Numbers{1, 2}));
  EXPECT_EQ(numeric_items("1\r\n\x1A" "3\r\n"), (Numbers{1}));
  EXPECT_EQ(text_items("\x1A"), Texts{});
  EXPECT_EQ(text_items("a\r\x1A" "b"), (Texts{"a"}));
  EXPECT_EQ(text_items("a b\x1A\r\n"), (Texts{"a b"}));
}

TEST(FileSlots, OtherBytesAreKeptInItems) {
  EXPECT_EQ(text_items(std::string("a\0b\r\n", 5)), (Texts{std::string("a\0b", 3)}));
  EXPECT_EQ(text_items("\xFF\xFE\r\n"), (Texts{"\xFF\xFE"}));
}

TEST(FileSlots, APushedBackByteIsNotYetTheEndOfTheFile) {
  MemoryFileSystem files;
  files.files["in.txt"] = "1 X";
  FileSlots slots(files);
  slots.open_for_reading(1, "in.txt");
  EXPECT_FALSE(slots.at_end(1));
  EXPECT_EQ(slots.read_numeric_item(1), 1);
  // Every byte is delivered, but the X is pushed back.
  EXPECT_FALSE(slots.at_end(1));
  EXPECT_EQ(slots.read_text_item(1), "X");
  EXPECT_TRUE(slots.at_end(1));
  EXPECT_EQ(slots.read_text_item(1), "");
  EXPECT_TRUE(slots.at_end(1));
}

TEST(FileSlots, AFreeSlotIsAtItsEndAndRefusesEveryCall) {
  MemoryFileSystem files;
  FileSlots slots(files);
  EXPECT_TRUE(slots.at_end(1));
  slots.open_for_reading(1, "missing.txt");
  EXPECT_TRUE(slots.at_end(1));
  EXPECT_EQ(slots.read_numeric_item(1), 0);
  EXPECT_EQ(slots.read_text_item(1), "");
  EXPECT_TRUE(slots.at_end(0));
  EXPECT_TRUE(slots.at_end(256));
  EXPECT_TRUE(slots.at_end(-1));
  EXPECT_EQ(files.open_files(), 0);
}

TEST(FileSlots, AFilesLengthIsMeasuredAtOpen) {
  MemoryFileSystem files;
  files.files["in.txt"] = "1\r\n";
  FileSlots slots(files);
  slots.open_for_reading(1, "in.txt");
  files.files["in.txt"] = "1\r\n2\r\n";  // the open file is not changed by this
  EXPECT_EQ(slots.read_numeric_item(1), 1);
  EXPECT_TRUE(slots.at_end(1));
}

TEST(FileSlots, BytesGoOutUnchangedAtClose) {
  MemoryFileSystem files;
  FileSlots slots(files);
  slots.open_for_writing(2, "out.bin");
  slots.print(2, std::string("\0\n\r\x1A", 4));
  slots.print(2, "", LineEnd::with);
  slots.print(2, "x");
  EXPECT_EQ(files.files["out.bin"], "");  // buffered until close
  slots.close(2);
  EXPECT_EQ(files.files["out.bin"], std::string("\0\n\r\x1A\r\nx", 7));
}

// Sixteen digits and three exponent digits; read back as the digits written.
TEST(FileSlots, NumberLinesHaveSixteenDigitsAndReadBackAsThem) {
  const double single = static_cast<double>(65.4065f);
  MemoryFileSystem files;
  FileSlots slots(files);
  slots.open_for_writing(1, "freq.txt");
  for (const double value : {single, 2 * single, 110.0, 1e20, 0.00001}) slots.write_number_line(1, value);
  slots.close(1);
  EXPECT_EQ(files.files["freq.txt"], "65.40650177001953\r\n130.8130035400391\r\n110\r\n1e+020\r\n1e-005\r\n");
  slots.open_for_reading(1, "freq.txt");
  EXPECT_EQ(slots.read_numeric_item(1), single);
  const double twice = slots.read_numeric_item(1);
  EXPECT_EQ(twice, 130.8130035400391);
  EXPECT_NE(twice, 2 * single);
}

TEST(FileSlots, AValueReadBackWritesTheSameLineAgain) {
  MemoryFileSystem files;
  FileSlots slots(files);
  slots.open_for_writing(1, "freq.txt");
  std::vector<double> written;
  for (double value = 54.0; value < 8000.0; value *= 1.0007) {
    written.push_back(value);
    slots.write_number_line(1, value);
  }
  slots.close(1);
  slots.open_for_reading(1, "freq.txt");
  for (const double value : written) {
    ASSERT_FALSE(slots.at_end(1));
    // Sixteen digits may miss the value in its last bits, but the value read
    // back writes the same line again.
    EXPECT_EQ(long_number_form(slots.read_numeric_item(1)), long_number_form(value));
  }
  EXPECT_TRUE(slots.at_end(1));
}

TEST(FileSlots, OpeningAnOpenSlotKeepsItsFile) {
  MemoryFileSystem files;
  files.files["a.txt"] = "A";
  FileSlots slots(files);
  slots.open_for_writing(1, "out.txt");
  slots.open_for_writing(1, "other.txt");
  slots.open_for_reading(1, "a.txt");
  EXPECT_FALSE(files.files.contains("other.txt"));
  EXPECT_EQ(files.open_files(), 1);
  // Each slot takes calls of its own direction only.
  EXPECT_TRUE(slots.at_end(1));
  EXPECT_EQ(slots.read_text_item(1), "");
  slots.open_for_reading(2, "a.txt");
  slots.print(2, "lost");
  EXPECT_EQ(files.files["a.txt"], "A");
  EXPECT_EQ(files.open_files(), 2);
  slots.print(1, "kept");
  slots.close(1);
  EXPECT_EQ(files.files["out.txt"], "kept");
  EXPECT_EQ(files.open_files(), 1);
  slots.close(1);  // a free slot: nothing happens
  slots.print(1, "lost");
  slots.write_number_line(1, 1);
  EXPECT_EQ(files.files["out.txt"], "kept");
  slots.close(2);
  EXPECT_EQ(files.open_files(), 0);
  EXPECT_EQ(files.writers_not_closed, 0);
}

TEST(FileSlots, EveryOpenSlotIsClosedAtTheEnd) {
  MemoryFileSystem files;
  {
    FileSlots slots(files);
    slots.open_for_writing(1, "one.txt");
    slots.open_for_writing(255, "last.txt");
    slots.print(1, "1");
    slots.print(255, "255");
  }
  EXPECT_EQ(files.files["one.txt"], "1");
  EXPECT_EQ(files.files["last.txt"], "255");
}

TEST(FileSlots, InMemoryFaultsAreReported) {
  MemoryFileSystem files;
  files.uncreatable.insert("pxx.ftm");
  FileSlots slots(files);
  EXPECT_THROW(slots.open_for_writing(2, "pxx.ftm"), FileError);
  EXPECT_TRUE(slots.at_end(2));
  slots.print(2, "lost");  // the slot stayed free

  files.capacity = 5;
  slots.open_for_writing(1, "freq.txt");
  slots.print(1, "1234567");
  try {
    slots.close(1);
    ADD_FAILURE() << "a full disk was not reported";
  } catch (const FileError& failure) {
    EXPECT_STREQ(failure.what(), "freq.txt: No space left on device");
  }
  EXPECT_EQ(files.files["freq.txt"], "12345");  // what fitted is kept
  EXPECT_EQ(files.open_files(), 0);             // and the failed close freed the slot
}

TEST(FileSlots, LargeOutputFailsWhileWriting) {
  MemoryFileSystem files;
  files.capacity = 1000;
  FileSlots slots(files);
  slots.open_for_writing(1, "freq.txt");
  EXPECT_THROW(
      for (int i = 0; i < 100000; ++i) slots.write_number_line(1, 110.0), FileError);
  EXPECT_EQ(files.files["freq.txt"].size(), 1000u);
  // The slot takes nothing more after a refused write.
  slots.print(1, "x");
  slots.close(1);
  EXPECT_EQ(files.files["freq.txt"].size(), 1000u);
}

// The real file system, in a scratch directory: its pending files.
class PosixFiles : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zentrill-files-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    directory_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }
  std::string path(const char* name) const { return (directory_ / name).string(); }
  std::string contents(const char* name) const {
    std::ifstream in(path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path directory_;
  PosixFileSystem file_system_;
};

std::vector<std::string> names_in(const std::filesystem::path& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The file it replaces keeps its bytes until the one move; the pending file
// beside it reads back what was written, zero bytes included.
TEST_F(PosixFiles, APendingFileReadsBackAndReplacesTheFileInOneMove) {
  std::ofstream(path("pxx.txt")) << "old contents";
  const std::string bytes("110\r\n\0\n", 7);
  auto pending = file_system_.create_pending(path("pxx.txt"));
  pending->write(bytes);
  pending->close();
  EXPECT_EQ(contents("pxx.txt"), "old contents");
  // Unnamed where the file system allows, so that a run killed leaves nothing.
  const int unnamed = ::open(directory_.c_str(), O_TMPFILE | O_RDWR, 0600);
  const std::vector<std::string> during = names_in(directory_);
  ASSERT_EQ(during.size(), unnamed >= 0 ? 1u : 2u);
  EXPECT_TRUE(during[0].starts_with(unnamed >= 0 ? "pxx.txt" : ".pxx.txt.")) << during[0];
  if (unnamed >= 0) ::close(unnamed);
  {
    const auto reader = pending->open_for_reading();
    EXPECT_EQ(reader->length(), bytes.size());
    std::string read_back(16, 'x');
    read_back.resize(reader->read(read_back));
    EXPECT_EQ(read_back, bytes);
  }
  pending->finish();
  pending->move_into_place();
  pending.reset();
  EXPECT_EQ(contents("pxx.txt"), bytes);
  EXPECT_EQ(names_in(directory_), std::vector<std::string>{"pxx.txt"});
}

TEST_F(PosixFiles, APendingFileNotMovedLeavesNothingBehind) {
  std::ofstream(path("pxx.txt")) << "old contents";
  auto pending = file_system_.create_pending(path("pxx.txt"));
  pending->write("new");
  pending->close();
  pending.reset();
  EXPECT_EQ(contents("pxx.txt"), "old contents");
  EXPECT_EQ(names_in(directory_), std::vector<std::string>{"pxx.txt"});
}

// A user who may write another's file replaces it as their own but in its
// group, which can write it still.
TEST_F(PosixFiles, AFileOfAnotherUserKeepsItsGroup) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root makes another user's file";
  std::ofstream(path("pxx.txt")) << "old contents";
  ASSERT_EQ(::chown(path("pxx.txt").c_str(), 1234, 5678) | ::chmod(path("pxx.txt").c_str(), 0664) |
                ::chmod(directory_.c_str(), 0777),
            0);
  EXPECT_EXIT(
      {
        const gid_t group = 5678;
        if (::setgroups(1, &group) != 0 || ::setgid(4321) != 0 || ::setuid(4321) != 0) std::exit(2);
        auto pending = file_system_.create_pending(path("pxx.txt"));
        pending->finish();
        pending->move_into_place();
        std::exit(0);
      },
      testing::ExitedWithCode(0), "");
  struct stat replaced {};
  ASSERT_EQ(::stat(path("pxx.txt").c_str(), &replaced), 0);
  EXPECT_EQ(replaced.st_uid, 4321u);
  EXPECT_EQ(replaced.st_gid, 5678u);
}

// Refused before anything is written: a rename would put the file in place
// of a folder, or of a device behind a link.
TEST_F(PosixFiles, WhatIsNotARegularFileCannotBeReplaced) {
  std::filesystem::create_directory(path("pxx.ftm"));
  try {
    file_system_.check_replaceable(path("pxx.ftm"));
    ADD_FAILURE() << "a directory in place of the file was not refused";
  } catch (const FileError& failure) {
    EXPECT_EQ(std::string(failure.what()), path("pxx.ftm") + ": Is a directory");
  }
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  std::filesystem::create_symlink("/dev/full", path("pxx.txt"));
  EXPECT_THROW(file_system_.check_replaceable(path("pxx.txt")), FileError);
  EXPECT_THROW(file_system_.create_pending(path("pxx.txt")), FileError);
  EXPECT_EQ(names_in(directory_), (std::vector<std::string>{"pxx.ftm", "pxx.txt"}));
}

}  // namespace
}  // namespace zentrill
