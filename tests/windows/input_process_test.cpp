// The joystick and the file utilities of Tavikit.DLL inside a Windows process, next to the Win32
// calls that they make.
#include <windows.h>

#include <mmsystem.h>

#include <string>

#include "harness/fixture.h"
#include "harness/temp_dir.h"

namespace tavitest {
namespace {

using InputProcessTest = ExportTest;

TEST_F(InputProcessTest, JoyGetWithoutAJoystickWritesZeroAndReturnsZero) {
  JOYINFO info{};
  if (joyGetPos(0, &info) == JOYERR_NOERROR) GTEST_SKIP() << "a joystick is plugged in";
  for (const uint32_t mask : {0u, 0xFFFu}) {
    int32_t result = -1;
    EXPECT_EQ(lib().tavi_JoyGet(Word(&result), mask, 0, 0), 0);
    EXPECT_EQ(result, 0) << mask;
  }
}

TEST_F(InputProcessTest, FileCallsAgreeWithTheWin32Calls) {
  TempDir dir;
  const std::string a = dir.Write("a.dat", {'A'}), b = dir.Write("b.dat", {'B'});
  EXPECT_EQ(lib().tavi_frename(Word(a.c_str()), Word(b.c_str()), 0, 0), -1);
  EXPECT_NE(GetFileAttributesA(a.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(lib().tavi_fattrib(0, Word(a.c_str()), FILE_ATTRIBUTE_READONLY, 0), 0);
  EXPECT_NE(GetFileAttributesA(a.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  for (const std::string& name : {a, b, dir.Path("")}) {
    DWORD attributes = 0;
    EXPECT_EQ(lib().tavi_fgetattr(Word(&attributes), Word(name.c_str()), 0, 0), 0) << name;
    EXPECT_EQ(attributes, GetFileAttributesA(name.c_str())) << name;
  }
  const std::string moved = dir.Path("moved.dat");
  EXPECT_EQ(lib().tavi_frename(Word(a.c_str()), Word(moved.c_str()), 0, 0), 0);
  EXPECT_EQ(GetFileAttributesA(a.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesA(moved.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(lib().tavi_fattrib(0, Word(moved.c_str()), FILE_ATTRIBUTE_NORMAL, 0), 0);
  EXPECT_EQ(GetFileAttributesA(moved.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

}  // namespace
}  // namespace tavitest
