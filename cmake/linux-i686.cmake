# 32-bit x86 Linux build (Debian: g++-multilib). How its programs run here comes from
# scripts/i386-mode.sh, asked at every configure: directly where the kernel runs 32-bit code,
# through qemu-i386 (qemu-user) everywhere else, named as the build's emulator (with the options
# the script gives) so that it is used whether or not a binfmt_misc handler is registered.
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
  set(tavikit_i386_mode "${CMAKE_CURRENT_LIST_DIR}/../scripts/i386-mode.sh")
  execute_process(COMMAND "${tavikit_i386_mode}" OUTPUT_VARIABLE TAVIKIT_I386_MODE
                  OUTPUT_STRIP_TRAILING_WHITESPACE TIMEOUT 30)
  execute_process(COMMAND "${tavikit_i386_mode}" --emulator OUTPUT_VARIABLE tavikit_emulator
                  OUTPUT_STRIP_TRAILING_WHITESPACE TIMEOUT 30)
  if(NOT TAVIKIT_I386_MODE STREQUAL "direct" AND tavikit_emulator STREQUAL "")
    message(FATAL_ERROR "this machine runs no 32-bit programs and has no qemu-i386 (Debian: qemu-user)")
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR "${tavikit_emulator}")
endif()
