# 32-bit x86 Linux build (Debian: g++-multilib). How its programs run here comes from
# scripts/i386-mode.sh, asked at every configure: directly where the kernel runs 32-bit code,
# through qemu-i386 (qemu-user) everywhere else, named as the build's emulator so that it is
# used whether or not a binfmt_misc handler is registered.
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
  execute_process(COMMAND "${CMAKE_CURRENT_LIST_DIR}/../scripts/i386-mode.sh"
                  OUTPUT_VARIABLE tavikit_i386_mode OUTPUT_STRIP_TRAILING_WHITESPACE
                  TIMEOUT 30)
  set(TAVIKIT_I386_MODE "${tavikit_i386_mode}" CACHE INTERNAL
      "how this machine runs 32-bit programs (scripts/i386-mode.sh)" FORCE)
  if(NOT TAVIKIT_I386_MODE STREQUAL "direct")
    find_program(TAVIKIT_QEMU_I386 qemu-i386 REQUIRED)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${TAVIKIT_QEMU_I386};-L;/")
  endif()
endif()
