# What `cmake --install` gives.
#  - Windows (the win32 preset): one folder holding Tavikit.DLL, the C header with the export
#    table, and the reference of the exports.
#  - Elsewhere: libtavikit.so with its soname, the headers, a pkg-config file (tavikit.pc), a
#    CMake package (find_package(Tavikit) gives Tavikit::tavikit), the reference, and the
#    tavikit tool.
set(TAVIKIT_PUBLIC_HEADERS "${PROJECT_SOURCE_DIR}/include/tavikit.h"
                           "${PROJECT_SOURCE_DIR}/include/tavikit_exports.h")
set(TAVIKIT_REFERENCE "${PROJECT_SOURCE_DIR}/docs/exports.md")

if(WIN32)
  install(FILES "$<TARGET_FILE:tavikit>" ${TAVIKIT_PUBLIC_HEADERS} "${TAVIKIT_REFERENCE}"
          DESTINATION .)
  return()
endif()

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

target_include_directories(tavikit INTERFACE "$<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>")
install(TARGETS tavikit EXPORT TavikitTargets LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}")
install(FILES ${TAVIKIT_PUBLIC_HEADERS} DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}")
install(FILES "${TAVIKIT_REFERENCE}" DESTINATION "${CMAKE_INSTALL_DOCDIR}")

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
