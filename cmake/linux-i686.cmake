# 32-bit x86 Linux build (Debian: g++-multilib). Its programs run directly where the machine runs
# 32-bit code, and through qemu-i386 (qemu-user) where it does not: a small program is built and
# run once, when the build is first configured, to find out.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
# SSE2 is the baseline, as on x86-64 (see src/common/cpu.h); wider vectors are chosen at run time.
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
# pkg-config finds the 32-bit packages only, not the machine's 64-bit ones.
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig")

get_property(tavikit_in_try_compile GLOBAL PROPERTY IN_TRY_COMPILE)
if(NOT tavikit_in_try_compile)
  if(NOT DEFINED TAVIKIT_I686_RUNS_HERE)
    set(tavikit_probe "${CMAKE_BINARY_DIR}/CMakeFiles/i686-probe")
    file(WRITE "${tavikit_probe}.c" "int main(void) { return 0; }\n")
    execute_process(COMMAND "${CMAKE_C_COMPILER}" -m32 "${tavikit_probe}.c" -o "${tavikit_probe}"
                    RESULT_VARIABLE tavikit_built OUTPUT_QUIET ERROR_QUIET)
    set(tavikit_ran 1)
    if(tavikit_built EQUAL 0)
      execute_process(COMMAND "${tavikit_probe}" RESULT_VARIABLE tavikit_ran OUTPUT_QUIET ERROR_QUIET)
    endif()
    if(tavikit_ran STREQUAL "0")
      set(tavikit_runs ON)
    else()
      set(tavikit_runs OFF)
    endif()
    set(TAVIKIT_I686_RUNS_HERE ${tavikit_runs} CACHE BOOL
        "32-bit x86 programs run on this machine without qemu-i386 (probed once)")
  endif()
  if(NOT TAVIKIT_I686_RUNS_HERE)
    find_program(TAVIKIT_QEMU_I386 qemu-i386 REQUIRED)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${TAVIKIT_QEMU_I386};-L;/")
  endif()
endif()
