// The file utilities and the joystick's failed poll through the exports, on real files.
#include <filesystem>
#include <string>

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
  const std::string file = dir.Write("plain.dat", {1, 2, 3});
  int32_t attributes = -7;
  ASSERT_EQ(lib().tavi_fgetattr(Word(&attributes), Word(file.c_str()), 0, 0), 0);
  EXPECT_EQ(attributes, 32);  // archive: a regular file, writable, not hidden
  EXPECT_EQ(lib().tavi_fattrib(0, Word(file.c_str()), 1, 0), 0);
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::owner_write, fs::perms::none);
  ASSERT_EQ(lib().tavi_fgetattr(Word(&attributes), Word(file.c_str()), 0, 0), 0);
  EXPECT_EQ(attributes, 33);
  EXPECT_EQ(lib().tavi_fattrib(0, Word(file.c_str()), 0, 0), 0);
  EXPECT_NE(fs::status(file).permissions() & fs::perms::owner_write, fs::perms::none);
  ASSERT_EQ(lib().tavi_fgetattr(Word(&attributes), Word(file.c_str()), 0, 0), 0);
  EXPECT_EQ(attributes, 32);
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
}

TEST_F(FilesTest, JoystickPollNeverFailsTheCall) {
  int32_t result = 0x7FFFFFFF;
  EXPECT_EQ(lib().tavi_JoyGet(Word(&result), 0xFFF, 5, 0), 0);
  EXPECT_EQ(result & ~0xFF, 0);  // written: directions and four buttons at most
}

}  // namespace
}  // namespace tavitest
