// What only a Windows process shows about Tavikit.DLL as a host loads it: names resolved the way
// a host resolves them, the standard-call convention of the exports seen from the stack pointer,
// and the version resource as GetFileVersionInfo reads it.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "harness/fixture.h"
#include "host/host_screen.h"

namespace {

// What a call made by hand left behind.
struct CallReport {
  int32_t result;
  int32_t stackDelta;  // stack pointer after the call minus before the four pushes, in bytes
  uint32_t ebx, esi, edi;
};

}  // namespace

// CallChecked(fn, args, report): pushes args[3] .. args[0], loads marks into the registers that
// a callee must preserve, calls fn, and reports its result, how far the stack pointer moved
// and the registers, without letting the compiler's own stack bookkeeping hide anything.
extern "C" void CallChecked(tavi_export_fn fn, const tavi_word* args, CallReport* report);
asm(R"(
  .text
  .globl _CallChecked
_CallChecked:
  pushl %ebp
  movl %esp, %ebp
  pushl %ebx
  pushl %esi
  pushl %edi
  movl 12(%ebp), %ecx
  pushl 12(%ecx)
  pushl 8(%ecx)
  pushl 4(%ecx)
  pushl (%ecx)
  movl $0xB0B0B0B0, %ebx
  movl $0x51515151, %esi
  movl $0xD1D1D1D1, %edi
  call *8(%ebp)
  movl 16(%ebp), %ecx
  movl %eax, (%ecx)
  leal -12(%ebp), %edx
  movl %esp, %eax
  subl %edx, %eax
  movl %eax, 4(%ecx)
  movl %ebx, 8(%ecx)
  movl %esi, 12(%ecx)
  movl %edi, 16(%ecx)
  leal -12(%ebp), %esp
  popl %edi
  popl %esi
  popl %ebx
  popl %ebp
  ret
)");

// A function that leaves its arguments on the stack, as a callee of the other convention would.
extern "C" int32_t __cdecl LeavesItsArguments(tavi_word a, tavi_word, tavi_word, tavi_word d) {
  return static_cast<int32_t>(a + d);
}

namespace tavitest {
namespace {

HMODULE Module() { return reinterpret_cast<HMODULE>(Tavikit().handle); }

CallReport Call(tavi_export_fn fn, tavi_word a, tavi_word b, tavi_word c, tavi_word d) {
  const tavi_word args[4] = {a, b, c, d};
  CallReport report{};
  CallChecked(fn, args, &report);
  return report;
}

void ExpectBalanced(const CallReport& report, const char* what) {
  EXPECT_EQ(report.stackDelta, 0) << what << " left the stack pointer moved";
  EXPECT_EQ(report.ebx, 0xB0B0B0B0u) << what << " changed ebx";
  EXPECT_EQ(report.esi, 0x51515151u) << what << " changed esi";
  EXPECT_EQ(report.edi, 0xD1D1D1D1u) << what << " changed edi";
}

using DllProcessTest = ExportTest;

TEST_F(DllProcessTest, TheMeasurementSeesACalleeThatLeavesItsArguments) {
  const auto wrong =
      reinterpret_cast<tavi_export_fn>(reinterpret_cast<void (*)()>(&LeavesItsArguments));
  const CallReport report = Call(wrong, 40, 0, 0, 2);
  EXPECT_EQ(report.result, 42);
  EXPECT_EQ(report.stackDelta, -16);
}

TEST_F(DllProcessTest, EachExportRemovesItsSixteenArgumentBytes) {
  uint8_t version[16];
  std::memset(version, 0xEE, sizeof version);
  CallReport report = Call(lib().tavi_GetTaviVER, 1, 2, 3, Word(version));
  ExpectBalanced(report, "tavi_GetTaviVER");
  EXPECT_EQ(report.result, 0);
  EXPECT_EQ(std::memcmp(version, "[tavi 2.11]", 12), 0);
  EXPECT_EQ(version[12], 0xEE);

  HostScreen source(16, 4), target(16, 4);
  source.FillRandom(5);
  target.Fill(0);
  target.SetCursor(4, 1);
  ExpectBalanced(Call(lib().tavi_fset, source.record(), 0, 0, 0), "tavi_fset");
  ExpectBalanced(Call(lib().tavi_tset, target.record(), 0, 0, 0), "tavi_tset");
  ExpectBalanced(Call(lib().tavi_copyset, 0, 0, 8, 2), "tavi_copyset");
  report = Call(lib().tavi_gcopy, 2, 1, 8, 2);
  ExpectBalanced(report, "tavi_gcopy");
  EXPECT_EQ(report.result, 0);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(target.at(4 + x, 1 + y), source.at(2 + x, 1 + y)) << x << "," << y;
  }
  target.SetCursor(0, 0);
  ExpectBalanced(Call(lib().tavi_tilecopy, 16, 4, 0, 0), "tavi_tilecopy");
  EXPECT_EQ(target.at(8, 2), source.at(0, 0));  // the 8 x 2 tile, twice across and down
}

// A script runtime keeps the stack aligned to 4 bytes only. CallChecked's frame leaves it 8 bytes
// off a 16-byte boundary at the export's entry, where the colour cube's SSE code keeps values.
TEST_F(DllProcessTest, AnExportWorksOnAStackAlignedToFourBytesOnly) {
  HostScreen screen(8, 8);
  screen.RandomPalette(3);
  const CallReport report = Call(lib().tavi_AlphaInit, screen.record(), 256, 0, 1);
  ExpectBalanced(report, "tavi_AlphaInit");
  EXPECT_LT(report.result, 0);  // minus the count of palette entries the cube uses
}

TEST_F(DllProcessTest, EveryExportIsFoundOnlyUnderItsDecoratedName) {
#define TAVITEST_CHECK_NAME(name)                                                          \
  EXPECT_NE(GetProcAddress(Module(), "_" #name "@16"), nullptr) << #name;                  \
  EXPECT_EQ(GetProcAddress(Module(), #name), nullptr) << #name " is exported undecorated"; \
  EXPECT_EQ(GetProcAddress(Module(), #name "@16"), nullptr) << #name "@16 is exported";    \
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(Module(), "_" #name "@16")),            \
            reinterpret_cast<void*>(lib().name));
#define TAVITEST_CHECK_ALIAS(name, entry) \
  TAVITEST_CHECK_NAME(name)               \
  EXPECT_EQ(reinterpret_cast<void*>(lib().name), reinterpret_cast<void*>(lib().entry)) << #name;
  TAVIKIT_EXPORTS(TAVITEST_CHECK_NAME, TAVITEST_CHECK_ALIAS)
#undef TAVITEST_CHECK_ALIAS
#undef TAVITEST_CHECK_NAME
}

TEST_F(DllProcessTest, TheHostFindsTheModuleByNameAndLoadsItOnce) {
  EXPECT_EQ(GetModuleHandleA("Tavikit.DLL"), Module());
  const HMODULE again = LoadLibraryA("Tavikit.DLL");
  EXPECT_EQ(again, Module());
  EXPECT_NE(FreeLibrary(again), 0);
  EXPECT_EQ(GetModuleHandleA("Tavikit.DLL"), Module());
}

TEST_F(DllProcessTest, ASecondCopyLoadsWorksAndUnloadsTwice) {
  char path[MAX_PATH], folder[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(Module(), path, MAX_PATH), 0u);
  ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
  const std::string copy = std::string(folder) + "TavikitSecondCopy.dll";
  ASSERT_NE(CopyFileA(path, copy.c_str(), FALSE), 0);
  for (int round = 0; round < 2; ++round) {
    const HMODULE second = LoadLibraryA(copy.c_str());  // attach: the load hook reports success
    ASSERT_NE(second, nullptr) << round;
    EXPECT_NE(second, Module());
    const auto version = reinterpret_cast<tavi_export_fn>(
        reinterpret_cast<void (*)()>(GetProcAddress(second, "_tavi_GetTaviVER@16")));
    ASSERT_NE(version, nullptr);
    char text[12] = {};
    EXPECT_EQ(version(0, 0, 0, Word(text)), 0);
    EXPECT_STREQ(text, "[tavi 2.11]");
    EXPECT_NE(FreeLibrary(second), 0) << round;  // detach
  }
  EXPECT_NE(DeleteFileA(copy.c_str()), 0);
}

// The version resource of the loaded module, read as Windows reads it.
class VersionResource {
 public:
  explicit VersionResource(HMODULE module) {
    char path[MAX_PATH];
    if (GetModuleFileNameA(module, path, MAX_PATH) == 0) return;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) return;
    data_.resize(size);
    if (GetFileVersionInfoA(path, 0, size, data_.data()) == 0) data_.clear();
  }

  const VS_FIXEDFILEINFO* Fixed() {
    void* value = nullptr;
    UINT length = 0;
    if (data_.empty() || VerQueryValueA(data_.data(), "\\", &value, &length) == 0 ||
        length < sizeof(VS_FIXEDFILEINFO))
      return nullptr;
    return static_cast<const VS_FIXEDFILEINFO*>(value);
  }

  // The string field `key` in the first language and code page the resource lists.
  std::string String(const char* key) {
    void* value = nullptr;
    UINT length = 0;
    if (data_.empty() ||
        VerQueryValueA(data_.data(), "\\VarFileInfo\\Translation", &value, &length) == 0 ||
        length < 4)
      return "<no translation>";
    WORD translation[2];
    std::memcpy(translation, value, sizeof translation);
    char query[96];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation[0],
                  translation[1], key);
    if (VerQueryValueA(data_.data(), query, &value, &length) == 0) return "<missing>";
    return std::string(static_cast<const char*>(value));
  }

 private:
  std::vector<uint8_t> data_;
};

TEST_F(DllProcessTest, VersionResourceReads2110) {
  VersionResource resource(Module());
  const VS_FIXEDFILEINFO* fixed = resource.Fixed();
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, (2u << 16) | 1u);
  EXPECT_EQ(fixed->dwFileVersionLS, (1u << 16) | 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, (2u << 16) | 1u);
  EXPECT_EQ(fixed->dwProductVersionLS, (1u << 16) | 0u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
}

TEST_F(DllProcessTest, VersionResourceStringsNameTheLibrary) {
  VersionResource resource(Module());
  for (const char* key : {"FileDescription", "InternalName", "OriginalFilename", "ProductName"})
    EXPECT_EQ(resource.String(key), "Tavikit.DLL") << key;
  EXPECT_EQ(resource.String("FileVersion"), "2, 1, 1, 0");
  EXPECT_EQ(resource.String("ProductVersion"), "2, 1, 1, 0");
}

}  // namespace
}  // namespace tavitest
