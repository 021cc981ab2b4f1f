# Checks that a 64-bit Windows DLL moves no ymm or zmm register to or from the stack with an
# aligned move. Windows aligns a thread's stack to 16 bytes only; GCC (bug 54412) may spill 32- and
# 64-byte registers with vmovaps/vmovdqa as if the stack were aligned to their size, which faults on
# Windows about every other run (Wine starts threads on stacks that happen to be aligned, so it
# does not show). The toolchain file has the assembler write every aligned vector move as an
# unaligned one; this check reads the disassembly for any that remain.
#   cmake -DDLL=Tavikit64.DLL -DOBJDUMP=x86_64-w64-mingw32-objdump -P CheckVectorSpills.cmake
execute_process(COMMAND "${OBJDUMP}" -d --no-show-raw-insn "${DLL}" OUTPUT_VARIABLE dump
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -d failed on ${DLL}")
endif()
string(REGEX MATCHALL "[^\n]*%[yz]mm[0-9]+[^\n]*" wide "${dump}")
list(LENGTH wide wide_count)
set(aligned_moves "vmovap[sd]|vmovdqa(32|64)?|vmovntp[sd]|vmovntdqa?")
set(spills "")
foreach(line IN LISTS wide)
  if(line MATCHES "[ \t](${aligned_moves})[ \t]" AND line MATCHES "\\(%r[sb]p[,)]")
    string(STRIP "${line}" line)
    string(APPEND spills "  ${line}\n")
  endif()
endforeach()
if(spills)
  message(FATAL_ERROR "${DLL}: aligned ymm/zmm moves to or from the stack:\n${spills}")
endif()
if(wide_count EQUAL 0)
  message(FATAL_ERROR "${DLL}: no ymm or zmm instruction at all: the wide vector loops are missing")
endif()
message(STATUS "${DLL}: ${wide_count} ymm/zmm instructions, none an aligned move to or from the stack")
