# Cross-build for 64-bit Windows with mingw-w64 (Debian: g++-mingw-w64-x86-64): Tavikit64.DLL,
# which HSP's 64-bit runtime loads.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
# The posix thread model: GoogleTest needs std::mutex; -static keeps winpthread out of the imports.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
# Windows keeps the stack aligned to 16 bytes only, while GCC (bug 54412) may spill ymm and zmm
# registers with aligned moves as if it were aligned to 32 or 64: the assembler writes every
# aligned vector move as its unaligned twin, which is as fast on aligned data. The vector_spills
# check reads the disassembly for any that remain.
set(CMAKE_C_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")
set(CMAKE_CXX_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
# pkg-config finds the cross-built packages only, not the machine's own.
set(ENV{PKG_CONFIG_LIBDIR} "/usr/x86_64-w64-mingw32/lib/pkgconfig")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
