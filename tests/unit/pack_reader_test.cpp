// The pack reader with a fresh pack state per test: opening, lookup and packed and disk reads.
#include "pack/pack_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "harness/temp_dir.h"
#include "tools/writer/formats.h"

namespace tavikit {
namespace {

using tavitest::TempDir;
using taviwriter::BuildPack;
using taviwriter::PackEntry;

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<uint8_t> Counting(size_t n, uint8_t first) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i)
    v[i] = static_cast<uint8_t>(first + i);
  return v;
}

// A pack of the given entries placed `lead` bytes into a file whose other bytes are 0xEE.
std::vector<uint8_t> PackAt(size_t lead, const std::vector<PackEntry>& entries) {
  std::vector<uint8_t> file(lead, 0xEE);
  const auto pack = BuildPack(entries);
  file.insert(file.end(), pack.begin(), pack.end());
  return file;
}

std::string ReadText(PackState& pack, const std::string& name, size_t size, int32_t offset = 0) {
  std::vector<uint8_t> buffer(size);
  const int32_t got = PackRead(pack, name.c_str(), buffer, offset);
  if (got < 0) return "<missing>";
  return {buffer.begin(), buffer.begin() + got};
}

class PackReader : public ::testing::Test {
 protected:
  // Opens the text and returns the result; the text as the caller sees it afterwards is kept.
  int32_t Open(const std::string& text) {
    spec_.assign(text.begin(), text.end());
    spec_.push_back('\0');
    return ToInt(PackOpen(pack_, spec_.data()));
  }
  std::string SpecAfter() const { return spec_.data(); }

  TempDir dir_;
  PackState pack_;
  std::vector<char> spec_;
};

TEST_F(PackReader, OffsetTextOpensThePackThatStartsThatFarIntoTheFile) {
  const auto path = dir_.Write("data.pak", PackAt(4096, {{"a.bin", Bytes("packed-a")}}));
  EXPECT_EQ(Open(path + ",4096"), 0);
  EXPECT_EQ(SpecAfter(), path);  // the "," became the end of the text
  EXPECT_TRUE(pack_.open);
  EXPECT_EQ(pack_.baseOffset, 4096);
  EXPECT_EQ(pack_.dataStart, 4096 + 16 + 32);
  EXPECT_EQ(ReadText(pack_, "a.bin", 8), "packed-a");
}

TEST_F(PackReader, NameWithoutOffsetOpensAtTheStartAndDecimalRulesApply) {
  const auto path = dir_.Write("data.pak", PackAt(0, {{"a.bin", Bytes("zero")}}));
  EXPECT_EQ(Open(path), 0);
  EXPECT_EQ(pack_.baseOffset, 0);
  EXPECT_EQ(ReadText(pack_, "a.bin", 4), "zero");

  PackState spaced;
  std::string text = path + ",  +0junk";
  EXPECT_EQ(PackOpen(spaced, text.data()), Result::kOk);
  EXPECT_EQ(spaced.baseOffset, 0);
  PackState noDigits;
  text = path + ",x12";
  EXPECT_EQ(PackOpen(noDigits, text.data()), Result::kOk);
  EXPECT_EQ(noDigits.baseOffset, 0);
}

TEST_F(PackReader, NegativeOffsetIsRefusedAndLeavesNoPackOpen) {
  const auto path = dir_.Write("data.pak", PackAt(0, {{"a.bin", Bytes("zero")}}));
  EXPECT_EQ(Open(path + ",-1"), -1);
  EXPECT_FALSE(pack_.open);
  EXPECT_EQ(pack_.baseOffset, 0);
  EXPECT_EQ(SpecAfter(), path);
  EXPECT_EQ(ReadText(pack_, "a.bin", 4), "<missing>");  // read from disk, where it is not
}

TEST_F(PackReader, OpenPackWithEntriesIsNeverLeftAndLaterTextsAreUntouched) {
  const auto a = dir_.Write("a.pak", PackAt(0, {{"x.bin", Bytes("from-a")}}));
  const auto b = dir_.Write("b.pak", PackAt(0, {{"x.bin", Bytes("from-b")}}));
  ASSERT_EQ(Open(a + ",0"), 0);
  EXPECT_EQ(Open(b + ",0"), 0);
  EXPECT_EQ(SpecAfter(), b + ",0");
  EXPECT_EQ(Open("missing-file,-7"), 0);
  EXPECT_EQ(ReadText(pack_, "x.bin", 6), "from-a");
}

TEST_F(PackReader, PackWithoutEntriesFindsNothingAndDoesNotBlockTheNextOpen) {
  const auto empty = dir_.Write("empty.pak", PackAt(0, {}));
  const auto full = dir_.Write("full.pak", PackAt(0, {{"x.bin", Bytes("full")}}));
  dir_.Write("x.bin", Bytes("disk"));
  ASSERT_EQ(Open(empty), 0);
  EXPECT_TRUE(pack_.open);
  EXPECT_FALSE(PackLookup(pack_, "x.bin"));
  EXPECT_EQ(ReadText(pack_, dir_.Path("x.bin"), 4), "disk");
  EXPECT_EQ(Open(full), 0);
  EXPECT_EQ(ReadText(pack_, "x.bin", 4), "full");
}

TEST_F(PackReader, LowerCaseMagicIsNotAPackButItsHeaderIsStillTaken) {
  std::vector<uint8_t> file = PackAt(0, {{"x.bin", Bytes("packed")}});
  file[0] = 'd', file[1] = 'p', file[2] = 'm', file[3] = 'x';
  const auto path = dir_.Write("lower.pak", file);
  EXPECT_EQ(Open(path), -1);
  EXPECT_FALSE(pack_.open);
  EXPECT_EQ(pack_.entryCount, 1);
  EXPECT_EQ(pack_.dataStart, 48);
  EXPECT_EQ(ReadText(pack_, "x.bin", 6), "<missing>");
}

TEST_F(PackReader, FailedOpenClosesAPackWithoutEntriesAndShortHeaderIsRefused) {
  const auto empty = dir_.Write("empty.pak", PackAt(0, {}));
  const auto shortFile = dir_.Write("short.pak", {'D', 'P', 'M', 'X', 0x10, 0, 0, 0});
  ASSERT_EQ(Open(empty), 0);
  EXPECT_EQ(Open(shortFile), -1);
  EXPECT_FALSE(pack_.open);
  EXPECT_EQ(Open(dir_.Path("none.pak")), -1);
  EXPECT_EQ(PackOpen(pack_, nullptr), Result::kFailed);
}

TEST_F(PackReader, LookupLowersOnlyTheWantedNameAndTheFirstRecordWins) {
  const auto path = dir_.Write("p.pak", PackAt(0, {{"title.bin", Bytes("title")},
                                                   {"Title.bin", Bytes("upper")},
                                                   {"dup", Bytes("first")},
                                                   {"dup", Bytes("second")},
                                                   {"\xC3\x89t\xC3\xA9", Bytes("bytes")}}));
  ASSERT_EQ(Open(path), 0);
  EXPECT_EQ(ReadText(pack_, "Title.BIN", 5), "title");
  EXPECT_EQ(ReadText(pack_, "DUP", 5), "first");
  EXPECT_EQ(ReadText(pack_, "\xC3\x89T\xC3\xA9", 5), "bytes");  // bytes above 0x7F unchanged
  EXPECT_FALSE(PackLookup(pack_, "\xC3\xA9t\xC3\xA9"));
  EXPECT_FALSE(PackLookup(pack_, "title.bi"));
  // A record stored with a capital is never found: the read goes to the disk file.
  const auto disk = dir_.Write("Title.bin", Bytes("on disk"));
  EXPECT_EQ(ReadText(pack_, disk, 7), "on disk");
}

TEST_F(PackReader, PackedReadsRunPastTheEntryIntoWhatFollows) {
  const auto first = Counting(50, 0);
  const auto second = Counting(100, 50);
  const auto path = dir_.Write("p.pak", PackAt(7, {{"a", first}, {"b", second}}));
  ASSERT_EQ(Open(path + ",7"), 0);
  std::vector<uint8_t> buffer(100);
  ASSERT_EQ(PackRead(pack_, "a", buffer, 10), 100);
  EXPECT_EQ(buffer, Counting(100, 10));
  // Up to the end of the file and no further.
  EXPECT_EQ(PackRead(pack_, "b", buffer, 90), 10);
  EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 10), Counting(10, 140));
}

TEST_F(PackReader, NegativeOffsetsReadFromTheStartOnDiskAndBeforeTheEntryInAPack) {
  const auto diskPath = dir_.Write("disk.bin", Counting(20, 0));
  std::vector<uint8_t> buffer(4);
  ASSERT_EQ(PackRead(pack_, diskPath.c_str(), buffer, -5), 4);
  EXPECT_EQ(buffer, Counting(4, 0));

  const auto path =
      dir_.Write("p.pak", PackAt(0, {{"a", Counting(10, 100)}, {"b", Counting(10, 110)}}));
  ASSERT_EQ(Open(path), 0);
  ASSERT_EQ(PackRead(pack_, "b", buffer, -5), 4);
  EXPECT_EQ(buffer, Counting(4, 105));
}

TEST_F(PackReader, MissingFilesReadAsMinusOne) {
  std::vector<uint8_t> buffer(4);
  EXPECT_EQ(PackRead(pack_, dir_.Path("nothing").c_str(), buffer, 0), -1);
  // A packed name whose pack file has gone is not looked for on disk.
  const auto path = dir_.Write("p.pak", PackAt(0, {{"a", Counting(4, 0)}}));
  ASSERT_EQ(Open(path), 0);
  pack_.fileName = dir_.Path("gone.pak");
  EXPECT_EQ(PackRead(pack_, "a", buffer, 0), -1);
}

TEST_F(PackReader, BlockReadsHoldOnlyTheBytesThatExist) {
  const auto path = dir_.Write("big.bin", Counting(200000, 3));
  std::vector<uint8_t> block;
  ASSERT_TRUE(PackReadBlock(pack_, path.c_str(), 5, INT32_MAX, block));
  EXPECT_EQ(block.size(), 200000u - 5);
  EXPECT_EQ(block.front(), 8);
  EXPECT_EQ(block.back(), static_cast<uint8_t>(3 + 199999));
  ASSERT_TRUE(PackReadBlock(pack_, path.c_str(), 0, 70000, block));
  EXPECT_EQ(block, Counting(70000, 3));
  ASSERT_TRUE(PackReadBlock(pack_, path.c_str(), 0, -4, block));
  EXPECT_TRUE(block.empty());
}

}  // namespace
}  // namespace tavikit
