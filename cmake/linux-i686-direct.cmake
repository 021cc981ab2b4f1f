# The 32-bit x86 Linux build, its programs run directly: for machines whose kernel runs 32-bit
# code (build.sh probes that first). Used by the sanitizer build, which qemu-i386 cannot run.
include("${CMAKE_CURRENT_LIST_DIR}/linux-i686.cmake")
unset(CMAKE_CROSSCOMPILING_EMULATOR)
