// What only a Windows process shows about Tavikit.DLL as a host loads it: names resolved the way
// a host resolves them and the standard-call convention of the exports seen from the stack
// pointer (the version resource is read from the file by the export check). The 64-bit twin is
// checked_calls_x64.cpp.
#if defined(__i386__)
#include <windows.h>

#include <cstdint>
#include <cstring>

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

TEST_F(DllProcessTest, EachExportRemovesItsSixteenArgumentBytes) {
  uint8_t version[16];
  std::memset(version, 0xEE, sizeof version);
  CallReport report = Call(lib().tavi_GetTaviVER, 1, 2, 3, Word(version));
  ExpectBalanced(report, "tavi_GetTaviVER");
  EXPECT_EQ(report.result, 0);
  EXPECT_EQ(std::memcmp(version, "[tavi 2.11]", 12), 0);
  EXPECT_EQ(version[12], 0xEE);

  HostScreen source(16, 4), target(16, 4);
  ExpectBalanced(Call(lib().tavi_fset, source.record(), 0, 0, 0), "tavi_fset");
  ExpectBalanced(Call(lib().tavi_tset, target.record(), 0, 0, 0), "tavi_tset");
  ExpectBalanced(Call(lib().tavi_copyset, 0, 0, 8, 2), "tavi_copyset");
  ExpectBalanced(Call(lib().tavi_gcopy, 2, 1, 8, 2), "tavi_gcopy");
  ExpectBalanced(Call(lib().tavi_tilecopy, 16, 4, 0, 0), "tavi_tilecopy");
  ExpectBalanced(Call(lib().chibi_GetInfo, 0, 1, 0, 0), "chibi_GetInfo");
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

}  // namespace
}  // namespace tavitest
#endif
