// What only a Windows process shows about Tavikit64.DLL as a host loads it: every export found
// under its plain name and under _name@16, and every call of the suite made the way the strictest
// caller may make it. Each export the tests call goes through CallChecked64, which puts marks
// into every register the Win64 convention makes a callee keep (rbx, rbp, rdi, rsi, r12-r15,
// xmm6-xmm15) and calls on a stack 16 mod 64 (Windows promises 16-byte alignment, nothing more),
// then reports the registers as the export left them.
#if defined(_WIN64)
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>

#include "harness/fixture.h"

namespace {

constexpr int kKept = 8;      // rbx, rbp, rdi, rsi, r12, r13, r14, r15
constexpr int kKeptXmm = 10;  // xmm6 .. xmm15
const char* const kKeptNames[kKept] = {"rbx", "rbp", "rdi", "rsi", "r12", "r13", "r14", "r15"};

struct CallReport {
  int64_t result;
  uint64_t kept[kKept];       // after the call, in the order of kKeptNames
  uint64_t stackMod64;        // rsp modulo 64 at the call instruction
  uint64_t xmm[kKeptXmm][2];  // xmm6 .. xmm15 after the call
};

}  // namespace

// The marks loaded before each call: one a register, the general ones first, then two quads for
// each of xmm6 .. xmm15; all different, none zero.
extern "C" {
extern const uint64_t tavitest_marks[kKept + 2 * kKeptXmm];
alignas(16) const uint64_t tavitest_marks[kKept + 2 * kKeptXmm] = {
    0xB0B1B2B3B4B5B6B7, 0xB8B9BABBBCBDBEBF, 0xC0C1C2C3C4C5C6C7, 0xC8C9CACBCCCDCECF,
    0xD0D1D2D3D4D5D6D7, 0xD8D9DADBDCDDDEDF, 0xE0E1E2E3E4E5E6E7, 0xE8E9EAEBECEDEEEF,
    0x0606060606060606, 0x6060606060606060, 0x0707070707070707, 0x7070707070707070,
    0x0808080808080808, 0x8080808080808080, 0x0909090909090909, 0x9090909090909090,
    0x0A0A0A0A0A0A0A0A, 0xA0A0A0A0A0A0A0A0, 0x0B0B0B0B0B0B0B0B, 0xB0B0B0B0B0B0B0B0,
    0x0C0C0C0C0C0C0C0C, 0xC0C0C0C0C0C0C0C0, 0x0D0D0D0D0D0D0D0D, 0xD0D0D0D0D0D0D0D0,
    0x0E0E0E0E0E0E0E0E, 0xE0E0E0E0E0E0E0E0, 0x0F0F0F0F0F0F0F0F, 0xF0F0F0F0F0F0F0F0};
}

// CallChecked64(fn, args, report): saves the caller's kept registers, aligns the stack to 64 and
// steps 48 bytes down (16 mod 64, the 32 bytes of shadow space included), loads the four
// arguments and the marks, calls fn and writes its result and the kept registers to report.
// ClobbersKeptRegisters: a function that breaks the convention, for the test of the check.
extern "C" void CallChecked64(tavi_export_fn fn, const tavi_word* args, CallReport* report);
extern "C" int32_t ClobbersKeptRegisters(tavi_word, tavi_word, tavi_word, tavi_word);
asm(R"(
  .text
  .globl CallChecked64
CallChecked64:
  pushq %rbp
  movq %rsp, %rbp
  pushq %rbx
  pushq %rdi
  pushq %rsi
  pushq %r12
  pushq %r13
  pushq %r14
  pushq %r15
  subq $168, %rsp
  movdqu %xmm6, 0(%rsp)
  movdqu %xmm7, 16(%rsp)
  movdqu %xmm8, 32(%rsp)
  movdqu %xmm9, 48(%rsp)
  movdqu %xmm10, 64(%rsp)
  movdqu %xmm11, 80(%rsp)
  movdqu %xmm12, 96(%rsp)
  movdqu %xmm13, 112(%rsp)
  movdqu %xmm14, 128(%rsp)
  movdqu %xmm15, 144(%rsp)
  andq $-64, %rsp
  subq $112, %rsp
  movq %r8, 32(%rsp)
  movq %rbp, 40(%rsp)
  movq %rcx, 48(%rsp)
  movq %rsp, %rax
  andq $63, %rax
  movq %rax, 72(%r8)
  movq %rdx, %r10
  movq 0(%r10), %rcx
  movq 8(%r10), %rdx
  movq 16(%r10), %r8
  movq 24(%r10), %r9
  leaq tavitest_marks(%rip), %rax
  movdqu 64(%rax), %xmm6
  movdqu 80(%rax), %xmm7
  movdqu 96(%rax), %xmm8
  movdqu 112(%rax), %xmm9
  movdqu 128(%rax), %xmm10
  movdqu 144(%rax), %xmm11
  movdqu 160(%rax), %xmm12
  movdqu 176(%rax), %xmm13
  movdqu 192(%rax), %xmm14
  movdqu 208(%rax), %xmm15
  movq 0(%rax), %rbx
  movq 8(%rax), %rbp
  movq 16(%rax), %rdi
  movq 24(%rax), %rsi
  movq 32(%rax), %r12
  movq 40(%rax), %r13
  movq 48(%rax), %r14
  movq 56(%rax), %r15
  callq *48(%rsp)
  movq 32(%rsp), %r10
  movq %rax, 0(%r10)
  movq %rbx, 8(%r10)
  movq %rbp, 16(%r10)
  movq %rdi, 24(%r10)
  movq %rsi, 32(%r10)
  movq %r12, 40(%r10)
  movq %r13, 48(%r10)
  movq %r14, 56(%r10)
  movq %r15, 64(%r10)
  movdqu %xmm6, 80(%r10)
  movdqu %xmm7, 96(%r10)
  movdqu %xmm8, 112(%r10)
  movdqu %xmm9, 128(%r10)
  movdqu %xmm10, 144(%r10)
  movdqu %xmm11, 160(%r10)
  movdqu %xmm12, 176(%r10)
  movdqu %xmm13, 192(%r10)
  movdqu %xmm14, 208(%r10)
  movdqu %xmm15, 224(%r10)
  movq 40(%rsp), %rbp
  leaq -224(%rbp), %rsp
  movdqu 0(%rsp), %xmm6
  movdqu 16(%rsp), %xmm7
  movdqu 32(%rsp), %xmm8
  movdqu 48(%rsp), %xmm9
  movdqu 64(%rsp), %xmm10
  movdqu 80(%rsp), %xmm11
  movdqu 96(%rsp), %xmm12
  movdqu 112(%rsp), %xmm13
  movdqu 128(%rsp), %xmm14
  movdqu 144(%rsp), %xmm15
  addq $168, %rsp
  popq %r15
  popq %r14
  popq %r13
  popq %r12
  popq %rsi
  popq %rdi
  popq %rbx
  popq %rbp
  ret

  .globl ClobbersKeptRegisters
ClobbersKeptRegisters:
  movq $1, %r13
  pxor %xmm9, %xmm9
  xorl %eax, %eax
  ret
)");

namespace tavitest {
namespace {

CallReport CallThrough(tavi_export_fn fn, tavi_word a, tavi_word b, tavi_word c, tavi_word d) {
  const tavi_word args[4] = {a, b, c, d};
  CallReport report{};
  CallChecked64(fn, args, &report);
  return report;
}

// What differs in a report from a call that kept the convention; empty when nothing does.
std::string Broken(const CallReport& report) {
  std::string broken;
  for (int i = 0; i < kKept; ++i) {
    if (report.kept[i] != tavitest_marks[i]) broken += std::string(" ") + kKeptNames[i];
  }
  for (int i = 0; i < kKeptXmm; ++i) {
    if (std::memcmp(report.xmm[i], &tavitest_marks[kKept + 2 * i], 16) != 0)
      broken += " xmm" + std::to_string(6 + i);
  }
  if (report.stackMod64 != 16)
    broken += " (called on a stack " + std::to_string(report.stackMod64) + " mod 64)";
  return broken;
}

std::map<std::string, int>& CallCounts() {
  static std::map<std::string, int> counts;
  return counts;
}

int32_t CheckedCall(tavi_export_fn fn, const char* name, tavi_word a, tavi_word b, tavi_word c,
                    tavi_word d) {
  const CallReport report = CallThrough(fn, a, b, c, d);
  ++CallCounts()[name];
  const std::string broken = Broken(report);
  if (!broken.empty()) ADD_FAILURE() << name << " changed registers it must keep:" << broken;
  return static_cast<int32_t>(report.result);
}

#define TAVITEST_CHECKED(name)                                                 \
  int32_t Checked_##name(tavi_word a, tavi_word b, tavi_word c, tavi_word d) { \
    return CheckedCall(Tavikit().name, #name, a, b, c, d);                     \
  }
#define TAVITEST_CHECKED_ALIAS(name, entry) TAVITEST_CHECKED(name)
TAVIKIT_EXPORTS(TAVITEST_CHECKED, TAVITEST_CHECKED_ALIAS)
#undef TAVITEST_CHECKED_ALIAS
#undef TAVITEST_CHECKED

// After a run of the whole suite (no filter), every export has been called through the check.
class EveryExportChecked : public ::testing::Environment {
 public:
  void TearDown() override {
    if (GTEST_FLAG_GET(filter) != "*") return;
    std::string never;
#define TAVITEST_NEVER(name) \
  if (CallCounts().count(#name) == 0) never += " " #name;
#define TAVITEST_NEVER_ALIAS(name, entry) TAVITEST_NEVER(name)
    TAVIKIT_EXPORTS(TAVITEST_NEVER, TAVITEST_NEVER_ALIAS)
#undef TAVITEST_NEVER_ALIAS
#undef TAVITEST_NEVER
    EXPECT_TRUE(never.empty()) << "exports the suite never called through the check:" << never;
  }
};
::testing::Environment* const kEveryExportChecked =
    ::testing::AddGlobalTestEnvironment(new EveryExportChecked);

HMODULE Module() { return reinterpret_cast<HMODULE>(Tavikit().handle); }

TEST(CheckedCallsX64, TheCheckSeesAFunctionThatBreaksTheConvention) {
  const CallReport report = CallThrough(ClobbersKeptRegisters, 1, 2, 3, 4);
  EXPECT_EQ(Broken(report), " r13 xmm9");
}

using DllProcessTest = ExportTest;

// The exports that the behaviour tests reach on no path of this machine, called here so that
// every export goes through the check: the picture writers that do nothing, and the sound calls
// that, with the device closed, report that there is none.
TEST_F(DllProcessTest, TheExportsNoOtherTestCallsHereKeepTheConvention) {
  EXPECT_EQ(lib().tavi_PCPDiffPos(1, 2, 3, 4) | lib().tavi_PCPEncode(1, 2, 3, 4) |
                lib().tavi_PCPSaveA(1, 2, 3, 4) | lib().tavi_PCPSaveD(1, 2, 3, 4),
            0);
  lib().tavi_dsexit(0, 0, 0, 0);
  const tavi_word name = Word("missing.bank");
  EXPECT_EQ(lib().tavi_dsloadB(name, 0, 3, 0), -1);
  EXPECT_EQ(lib().tavi_dsstop(3, 0, 0, 0), -1);
  EXPECT_EQ(lib().tavi_dssetvol(3, -100, 0, 0), -1);
  EXPECT_EQ(lib().tavi_dssetpan(3, 100, 0, 0), -1);
}

TEST_F(DllProcessTest, EveryExportIsFoundUnderItsPlainAndItsDecoratedName) {
#define TAVITEST_CHECK_NAME(name)                                                       \
  EXPECT_NE(GetProcAddress(Module(), #name), nullptr) << #name;                         \
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(Module(), "_" #name "@16")),         \
            reinterpret_cast<void*>(GetProcAddress(Module(), #name)))                   \
      << "_" #name "@16";                                                               \
  EXPECT_EQ(GetProcAddress(Module(), #name "@16"), nullptr) << #name "@16 is exported"; \
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(Module(), #name)),                   \
            reinterpret_cast<void*>(Tavikit().name));
#define TAVITEST_CHECK_ALIAS(name, entry)                                                      \
  TAVITEST_CHECK_NAME(name)                                                                    \
  EXPECT_EQ(reinterpret_cast<void*>(Tavikit().name), reinterpret_cast<void*>(Tavikit().entry)) \
      << #name;
  TAVIKIT_EXPORTS(TAVITEST_CHECK_NAME, TAVITEST_CHECK_ALIAS)
#undef TAVITEST_CHECK_ALIAS
#undef TAVITEST_CHECK_NAME
}

}  // namespace

const Library& CheckedExports() {
  static const Library checked = [] {
    Library l = Tavikit();
#define TAVITEST_USE_CHECKED(name) l.name = Checked_##name;
#define TAVITEST_USE_CHECKED_ALIAS(name, entry) TAVITEST_USE_CHECKED(name)
    TAVIKIT_EXPORTS(TAVITEST_USE_CHECKED, TAVITEST_USE_CHECKED_ALIAS)
#undef TAVITEST_USE_CHECKED_ALIAS
#undef TAVITEST_USE_CHECKED
    return l;
  }();
  return checked;
}

}  // namespace tavitest
#endif
