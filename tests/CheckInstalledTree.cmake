# Installs the native build into an empty prefix, then builds and runs a C program against the
# installed tree with nothing but what `pkg-config --cflags --libs tavikit` says; the tree carries
# the licence as Debian's copyright file.
#   cmake -DBUILD=<build dir> -DPREFIX=<scratch dir> -DCC=cc -P CheckInstalledTree.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(GLOB_RECURSE pc_files "${PREFIX}/*/tavikit.pc")
list(GET pc_files 0 pc_file)
get_filename_component(pc_dir "${pc_file}" DIRECTORY)
set(ENV{PKG_CONFIG_PATH} "${pc_dir}")
execute_process(COMMAND pkg-config --cflags --libs tavikit OUTPUT_VARIABLE flags
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
separate_arguments(flags UNIX_COMMAND "${flags}")
file(WRITE "${PREFIX}/version.c" [=[
#include <stdio.h>
#include <tavikit.h>
int main(void) {
  char text[12];
  int32_t result = tavi_GetTaviVER(0, 0, 0, (tavi_word)text);
  printf("%d %s\n", (int)result, text);
  return 0;
}
]=])
execute_process(COMMAND "${CC}" "${PREFIX}/version.c" -o "${PREFIX}/version" ${flags}
                COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCH "-L([^ ;]+)" libdir "${flags}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E env "LD_LIBRARY_PATH=${CMAKE_MATCH_1}"
                        "${PREFIX}/version" OUTPUT_VARIABLE out COMMAND_ERROR_IS_FATAL ANY)
if(NOT out STREQUAL "0 [tavi 2.11]\n")
  message(FATAL_ERROR "the program built against the installed tree printed \"${out}\"")
endif()
file(GLOB soname "${CMAKE_MATCH_1}/libtavikit.so.[0-9]")
if(NOT soname OR NOT EXISTS "${PREFIX}/bin/tavikit" OR
   NOT EXISTS "${pc_dir}/../cmake/Tavikit/TavikitConfig.cmake")
  message(FATAL_ERROR "the installed tree lacks the soname link, the tool or the CMake package")
endif()
file(STRINGS "${PREFIX}/share/doc/tavikit/copyright" licence REGEX "^(License: Zlib|Copyright: .+)$")
if(NOT licence MATCHES "^Copyright: [^;]+;License: Zlib;License: Zlib$")
  message(FATAL_ERROR "share/doc/tavikit/copyright does not give the Zlib licence: ${licence}")
endif()
