// The file utilities and the joystick's failed poll through the exports, on real files.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "harness/fixture.h"
#include "harness/temp_dir.h"

namespace tavitest {
namespace {

namespace fs = std::filesystem;

using FilesTest = ExportTest;

TEST_F(FilesTest, RenameMovesAndNeverReplaces) {
  TempDir dir;
  const std::string a = dir.Write("a.dat", {'A'}), b = dir.Write("b.dat", {'B', 'B'});
  EXPECT_EQ(lib().tavi_frename(Word(a.c_str()), Word(b.c_str()), 0, 0), -1);
  EXPECT_EQ(fs::file_size(a) * 10 + fs::file_size(b), 12u);  // both as they were
  const std::string missing = dir.Path("missing.dat"), moved = dir.Path("sub/moved.dat");
  fs::create_directory(dir.Path("sub"));
  EXPECT_EQ(lib().tavi_frename(Word(missing.c_str()), Word(moved.c_str()), 0, 0), -1);
  EXPECT_EQ(lib().tavi_frename(Word(a.c_str()), Word(moved.c_str()), 0, 0), 0);
  EXPECT_FALSE(fs::exists(a));
  EXPECT_EQ(fs::file_size(moved), 1u);
}

TEST_F(FilesTest, ReadOnlyRoundTrip) {
  TempDir dir;
  struct Row {
    std::string name;
    int32_t attributes;                    // while writable
    fs::perms before, readOnly, writable;  // read-only takes every write bit, the owner's returns
  };
  std::vector<Row> rows = {
      {dir.Write("plain.dat", {1, 2, 3}), 32, fs::perms(0666), fs::perms(0444), fs::perms(0644)}};
#ifndef _WIN32
  fs::create_directory(dir.Path("d"));
  rows.push_back({dir.Path("d"), 16, fs::perms(01777), fs::perms(01555), fs::perms(01755)});
#endif
  for (const Row& r : rows) {
    fs::permissions(r.name, r.before);
    for (const int32_t readOnly : {1, 0}) {
      int32_t attributes = -7;
      ASSERT_EQ(lib().tavi_fattrib(0, Word(r.name.c_str()), readOnly, 0), 0);
      ASSERT_EQ(lib().tavi_fgetattr(Word(&attributes), Word(r.name.c_str()), 0, 0), 0);
      EXPECT_EQ(attributes, r.attributes + readOnly) << r.name;
      EXPECT_EQ(fs::status(r.name).permissions() & fs::perms::owner_write,
                readOnly != 0 ? fs::perms::none : fs::perms::owner_write);
#ifndef _WIN32
      EXPECT_EQ(fs::status(r.name).permissions(), readOnly != 0 ? r.readOnly : r.writable);
#endif
    }
  }
}

TEST_F(FilesTest, MissingFilesDirectoriesAndHiddenNames) {
  TempDir dir;
  const std::string missing = dir.Path("missing.dat");
  int32_t attributes = -7;
  EXPECT_EQ(lib().tavi_fattrib(0, Word(missing.c_str()), 1, 0), -1);
  EXPECT_EQ(lib().tavi_fgetattr(Word(&attributes), Word(missing.c_str()), 0, 0), -1);
  EXPECT_EQ(attributes, -7);
  const std::string folder = dir.Path("folder"), hidden = dir.Write(".hidden", {0});
  fs::create_directory(folder);
  ASSERT_EQ(lib().tavi_fgetattr(Word(&attributes), Word(folder.c_str()), 0, 0), 0);
  EXPECT_EQ(attributes & 0x13, 0x10);  // a directory, not read-only, not hidden
  ASSERT_EQ(lib().tavi_fgetattr(Word(&attributes), Word(hidden.c_str()), 0, 0), 0);
  EXPECT_EQ(attributes, 0x22);  // hidden, archive
#ifndef _WIN32
  // A name is hidden by its last component, trailing slashes aside; "." and ".." are not.
  fs::create_directory(dir.Path(".d"));
  const std::pair<std::string, int32_t> names[] = {
      {folder + "/.", 0x10},        {folder + "/..", 0x10},        {dir.Path(".d") + "//", 0x12},
      {dir.Write(".a", {0}), 0x22}, {dir.Write("..a", {0}), 0x22}, {dir.Write("a.", {0}), 0x20},
      {"/dev/null", 0x80}};
  for (const auto& [name, want] : names) {
    ASSERT_EQ(lib().tavi_fgetattr(Word(&attributes), Word(name.c_str()), 0, 0), 0);
    EXPECT_EQ(attributes, want) << name;
  }
#endif
}

TEST_F(FilesTest, JoystickPollNeverFailsTheCall) {
  int32_t result = 0x7FFFFFFF;
  EXPECT_EQ(lib().tavi_JoyGet(Word(&result), 0xFFF, 5, 0), 0);
  EXPECT_EQ(result & ~0xFF, 0);  // written: directions and four buttons at most
}

}  // namespace
}  // namespace tavitest
