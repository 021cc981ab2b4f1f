# What `cmake --install` gives.
#  - Windows (the win32 and win64 presets): the folder a script writer unpacks into HSP's own:
#    Tavikit.DLL (or Tavikit64.DLL, which the release adds to the win32 tree),
#    common/tavikit.as, the help in Japanese (hsphelp/) and English (hsphelp_en/), the samples,
#    the references and READMEs in both languages, the licence and an SDK for C hosts.
#  - Elsewhere: libtavikit.so with its soname, the headers, a pkg-config file (tavikit.pc), a
#    CMake package (find_package(Tavikit) gives Tavikit::tavikit), the reference, the licence
#    as Debian's machine-readable copyright file, tavikit.as for hsp3cl (share/tavikit/), and the
#    tavikit tool.
set(TAVIKIT_PUBLIC_HEADERS "${PROJECT_SOURCE_DIR}/include/tavikit.h"
                           "${PROJECT_SOURCE_DIR}/include/tavikit_exports.h")
set(TAVIKIT_REFERENCE "${PROJECT_SOURCE_DIR}/docs/exports.md")

if(WIN32)
  # Laid out as HSP's own folder, so that unpacking it there puts each file where the compiler
  # (common/), the runtime (the DLL beside it), the editor's help (hsphelp/) and the samples
  # (sample/) are looked for. Install with --strip for the size the release ships.
  set(built "${PROJECT_BINARY_DIR}/src")
  install(TARGETS tavikit RUNTIME DESTINATION .)
  install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION . RENAME LICENSE.txt)
  install(FILES "${built}/tavikit.as" DESTINATION common)
  install(FILES "${built}/tavikit.hs" DESTINATION hsphelp)
  install(FILES "${built}/tavikit_en.hs" DESTINATION hsphelp_en RENAME tavikit.hs)
  install(DIRECTORY "${PROJECT_SOURCE_DIR}/examples/" DESTINATION sample/tavikit)
  install(FILES "${built}/index.html" "${built}/index_en.html" "${built}/results.md"
                "${TAVIKIT_REFERENCE}" DESTINATION doc/tavikit)
  install(FILES "${PROJECT_SOURCE_DIR}/docs/win32-readme.txt" DESTINATION doc/tavikit
          RENAME README.txt)
  install(FILES "${PROJECT_SOURCE_DIR}/docs/win32-readme_ja.txt" DESTINATION doc/tavikit
          RENAME README_ja.txt)
  install(DIRECTORY "${PROJECT_SOURCE_DIR}/docs/gallery" DESTINATION doc/tavikit OPTIONAL
          FILES_MATCHING PATTERN "*.png")
  install(FILES ${TAVIKIT_PUBLIC_HEADERS} DESTINATION sdk/include)
  # The SDK's import library, made from its module-definition file: for Tavikit.DLL it links a
  # caller's references to name@16 with the DLL's _name@16 exports (libtavikit.dll.a), for
  # Tavikit64.DLL the plain names (libtavikit64.dll.a).
  string(TOLOWER "${TAVIKIT_DLL_BASE}" import_name)
  set(import_def "${built}/sdk/${TAVIKIT_DLL_BASE}.def")
  set(import_library "${built}/sdk/lib${import_name}.dll.a")
  tavikit_write_import_def("${import_def}")
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    find_program(TAVIKIT_DLLTOOL NAMES x86_64-w64-mingw32-dlltool dlltool)
  else()
    find_program(TAVIKIT_DLLTOOL NAMES i686-w64-mingw32-dlltool dlltool)
  endif()
  add_custom_command(OUTPUT "${import_library}"
                     COMMAND "${TAVIKIT_DLLTOOL}" -d "${import_def}" -l "${import_library}"
                     DEPENDS "${import_def}" COMMENT "The SDK's import library")
  add_custom_target(tavikit_import_library ALL DEPENDS "${import_library}")
  install(FILES "${import_def}" "${import_library}" DESTINATION sdk/lib)
  return()
endif()

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

target_include_directories(tavikit INTERFACE "$<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>")
install(TARGETS tavikit EXPORT TavikitTargets LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}")
install(FILES ${TAVIKIT_PUBLIC_HEADERS} DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}")

# The reference and the licence, where Debian keeps a package's (/usr/share/doc/tavikit/). The
# licence is Debian's machine-readable copyright file: the copyright line of LICENSE and its
# terms, the Zlib licence's text.
set(TAVIKIT_DOC_DIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/tavikit")
file(STRINGS "${PROJECT_SOURCE_DIR}/LICENSE" licence_holder REGEX "^Copyright \\(c\\) " LIMIT_COUNT 1)
string(REGEX REPLACE "^Copyright \\(c\\) " "" licence_holder "${licence_holder}")
file(READ "${PROJECT_SOURCE_DIR}/LICENSE" licence_terms)
string(REGEX REPLACE "^.*\nCopyright[^\n]*\n\n" "" licence_terms "${licence_terms}")
string(REGEX REPLACE "\n+$" "" licence_terms "${licence_terms}")
string(REPLACE "\n\n" "\n.\n" licence_terms "${licence_terms}")
string(REPLACE "\n" "\n " licence_terms " ${licence_terms}")
file(CONFIGURE OUTPUT "${PROJECT_BINARY_DIR}/copyright" @ONLY CONTENT
     "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Tavikit

Files: *
Copyright: @licence_holder@
License: Zlib

License: Zlib
@licence_terms@
")
install(FILES "${TAVIKIT_REFERENCE}" "${PROJECT_BINARY_DIR}/copyright"
        DESTINATION "${TAVIKIT_DOC_DIR}")
# The declarations for HSP's Linux runtimes (hsp3cl), which load libtavikit.so.2: the same
# tavikit.as as the Windows zip's, to copy beside a script or into the runtime's common folder.
install(FILES "${PROJECT_BINARY_DIR}/src/tavikit.as" DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/tavikit")

# pkg-config: cflags and libs of the installed tree, wherever the tree is put.
file(RELATIVE_PATH TAVIKIT_PC_TO_PREFIX "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
configure_file("${CMAKE_CURRENT_LIST_DIR}/tavikit.pc.in" "${PROJECT_BINARY_DIR}/tavikit.pc" @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/tavikit.pc" DESTINATION "${CMAKE_INSTALL_LIBDIR}/pkgconfig")

# The CMake package.
set(TAVIKIT_PACKAGE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/Tavikit")
install(EXPORT TavikitTargets NAMESPACE Tavikit:: DESTINATION "${TAVIKIT_PACKAGE_DIR}")
file(WRITE "${PROJECT_BINARY_DIR}/TavikitConfig.cmake"
     "include(\"\${CMAKE_CURRENT_LIST_DIR}/TavikitTargets.cmake\")\n")
write_basic_package_version_file("${PROJECT_BINARY_DIR}/TavikitConfigVersion.cmake"
                                 COMPATIBILITY SameMajorVersion)
install(FILES "${PROJECT_BINARY_DIR}/TavikitConfig.cmake"
              "${PROJECT_BINARY_DIR}/TavikitConfigVersion.cmake"
        DESTINATION "${TAVIKIT_PACKAGE_DIR}")

if(TARGET tavikit_cli)
  set_target_properties(tavikit_cli PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
  install(TARGETS tavikit_cli RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
endif()

# Packages of this tree, made by cpack in the build folder (./build.sh release):
# tavikit-<version>-linux-x86_64.tar.gz holds the tree as installed, tavikit_<version>_amd64.deb
# installs it under /usr with the dependencies dpkg-shlibdeps finds (needs dpkg-dev).
set(CPACK_PACKAGE_NAME tavikit)
set(CPACK_PACKAGE_VENDOR Tavikit)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Palette screen copies, sprite cells, data packs, sound and joysticks for HSP hosts")
set(CPACK_PACKAGE_FILE_NAME "tavikit-${PROJECT_VERSION}-linux-x86_64")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_GENERATOR TGZ DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tavikit maintainers")
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "libtavikit.so (the exports of Tavikit.DLL for C and C++ hosts), its headers, pkg-config
file and CMake package, and the tavikit tool that writes its pictures, archives, packs and
sound files.")
set(CPACK_STRIP_FILES ON)
include(CPack)
