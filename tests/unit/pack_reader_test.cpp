// The pack reader with a fresh pack state per case: the open texts, lookup and reads.
#include "pack/pack_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/temp_dir.h"
#include "tools/writer/formats.h"

namespace tavikit {
namespace {

using tavitest::TempDir;
using taviwriter::PackEntry;

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// A pack of the given entries placed `lead` bytes into a file whose other bytes are 0xEE.
std::vector<uint8_t> PackAt(size_t lead, const std::vector<PackEntry>& entries) {
  std::vector<uint8_t> file(lead, 0xEE);
  const auto pack = taviwriter::BuildPack(entries);
  file.insert(file.end(), pack.begin(), pack.end());
  return file;
}

std::string ReadText(PackState& pack, const std::string& name, size_t size) {
  std::vector<uint8_t> buffer(size);
  const int32_t got = PackRead(pack, name.c_str(), buffer, 0);
  if (got < 0) return "<missing>";
  return {buffer.begin(), buffer.begin() + got};
}

class PackReader : public ::testing::Test {
 protected:
  // Opens the text and returns the result; the text as the caller sees it afterwards is kept.
  int32_t Open(const std::string& text) {
    spec_.assign(text.begin(), text.end());
    spec_.push_back('\0');
    return static_cast<int32_t>(PackOpen(pack_, spec_.data()));
  }
  std::string SpecAfter() const { return spec_.data(); }

  TempDir dir_;
  PackState pack_;
  std::vector<char> spec_;
};

// The file holds 0xEE bytes, then at 4096 a pack; what follows the comma is a decimal number
// after white space (tab to carriage return, and space) and an optional sign, up to any other byte.
TEST_F(PackReader, OpenTexts) {
  const auto path = dir_.Write("data.pak", PackAt(4096, {{"a.bin", Bytes("packed-a")}}));
  const auto atZero = dir_.Write("zero.pak", PackAt(0, {{"a.bin", Bytes("zero")}}));
  struct Case {
    std::string file, suffix;
    int32_t result, base;
  };
  const Case cases[] = {
      {path, ",4096", 0, 4096},
      {path, ",+4096", 0, 4096},
      {path, ", \t4096", 0, 4096},
      {path, ",\r\n\v\f4096", 0, 4096},
      {path, ",4096junk", 0, 4096},
      {path, ",\b4096", -1, 0},
      {path,
       ",\x0e"
       "4096",
       -1, 0},
      {path, ",-4096", -1, 0},
      {path, "", -1, 0},
      {path, ",99999999999", -1, INT32_MAX},
      {atZero, "", 0, 0},
      {atZero, ",  +0junk", 0, 0},
      {atZero, ",x12", 0, 0},
      {atZero, ",-0", 0, 0},
      {atZero, ",-1", -1, 0},
  };
  for (const Case& c : cases) {
    pack_ = PackState{};
    EXPECT_EQ(Open(c.file + c.suffix), c.result) << c.suffix;
    EXPECT_EQ(pack_.open, c.result == 0) << c.suffix;
    EXPECT_EQ(pack_.baseOffset, c.base) << c.suffix;
    EXPECT_EQ(SpecAfter(), c.file) << c.suffix;  // the "," became the end of the text
    EXPECT_EQ(ReadText(pack_, "a.bin", 4),
              c.result == 0 ? (c.file == path ? "pack" : "zero") : "<missing>")
        << c.suffix;
  }
}

TEST_F(PackReader, PackWithoutEntriesFindsNothingAndDoesNotBlockTheNextOpen) {
  const auto empty = dir_.Write("empty.pak", PackAt(0, {}));
  const auto full = dir_.Write("full.pak", PackAt(0, {{"x.bin", Bytes("full")}}));
  const auto lower =
      dir_.Write("lower.pak", {'d', 'p', 'm', 'x', 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  dir_.Write("x.bin", Bytes("disk"));
  ASSERT_EQ(Open(empty), 0);
  InputFile file = InputFile::Open(empty.c_str());
  EXPECT_FALSE(PackLookup(pack_, "x.bin", file).has_value());
  EXPECT_EQ(ReadText(pack_, dir_.Path("x.bin"), 4), "disk");
  EXPECT_EQ(Open(lower), -1);  // a lower-case magic is no pack
  EXPECT_FALSE(pack_.open);
  EXPECT_EQ(Open(empty), 0);
  EXPECT_EQ(Open(full), 0);
  EXPECT_EQ(ReadText(pack_, "x.bin", 4), "full");
}

// Only "A" to "Z" of the wanted name are lowered ("@" and "[" on either side are not); a name
// that fills its 24 bytes runs on into the record's offset, here 96 ("`").
TEST_F(PackReader, Lookup) {
  const std::string full24 = "abcdefghijklmnopqrstuvwx";
  const auto path = dir_.Write("p.pak", PackAt(0, {{"title.bin", Bytes("title")},
                                                   {"Title.bin", Bytes("upper")},
                                                   {"dup", Bytes("first")},
                                                   {"dup", Bytes("second")},
                                                   {"az@[", Bytes("edges")},
                                                   {"\xC3\x89t", Bytes("bytes")},
                                                   {"pad", std::vector<uint8_t>(65)},
                                                   {full24, Bytes("full")}}));
  ASSERT_EQ(Open(path), 0);
  const std::pair<const char*, int32_t> cases[] = {
      {"Title.BIN", 0},
      {"TITLE.BIN", 0},
      {"DUP", 10},
      {"AZ@[", 21},
      {"az`{", -1},
      {"\xC3\x89T", 26},
      {"\xC3\xA9t", -1},
      {"title.bi", -1},
      {"abcdefghijklmnopqrstuvwx", -1},
      {"abcdefghijklmnopqrstuvwx`", 96},
  };
  InputFile file = InputFile::Open(path.c_str());
  for (const auto& [name, offset] : cases)
    EXPECT_EQ(PackLookup(pack_, name, file).value_or(-1), offset) << name;
}

}  // namespace
}  // namespace tavikit
