# The 32-bit x86 Linux build, its programs run directly: the sanitizer build, whose programs
# qemu-i386 does not finish (a sanitized `int main() {}` runs for minutes there). Refused where
# scripts/i386-mode.sh says the kernel does not run 32-bit programs itself.
include("${CMAKE_CURRENT_LIST_DIR}/linux-i686.cmake")
get_property(tavikit_in_try_compile GLOBAL PROPERTY IN_TRY_COMPILE)
if(NOT tavikit_in_try_compile AND NOT TAVIKIT_I386_MODE STREQUAL "direct")
  message(FATAL_ERROR "this build runs its 32-bit programs directly, and this machine runs them "
                      "only through qemu-i386 or not at all (scripts/i386-mode.sh: "
                      "${TAVIKIT_I386_MODE})")
endif()
unset(CMAKE_CROSSCOMPILING_EMULATOR)
