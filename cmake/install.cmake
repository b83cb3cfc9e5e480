# cmake --install: the library (static and shared), its headers, the kelvane command, a CMake
# package (find_package(Kelvane) gives Kelvane::kelvane, the static library, and
# Kelvane::kelvane_shared), a pkg-config file, kelvane.pc, the man page kelvane(1) and the licence
# (MIT) in the doc folder.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

foreach(target kelvane kelvane_shared)
  # Installed, the headers are found under the prefix instead of the source tree.
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES
    "$<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/include>;$<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>")
  # The public headers need C++20.
  target_compile_features(${target} INTERFACE cxx_std_20)
endforeach()
set_target_properties(kelvane PROPERTIES EXPORT_NAME kelvane)
set_target_properties(kelvane_shared PROPERTIES EXPORT_NAME kelvane_shared
  VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})

install(TARGETS kelvane kelvane_shared EXPORT KelvaneTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# The command links the static library, so it runs from any prefix without a search path.
install(TARGETS kelvane_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/include/kelvane DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# The manual page of the kelvane command (generated, see docs/reference/generate.py); in its own
# component too, so that `cmake --install BUILD --component man` installs it alone.
install(FILES ${CMAKE_SOURCE_DIR}/docs/kelvane.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT man)

set(KELVANE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Kelvane)
install(EXPORT KelvaneTargets NAMESPACE Kelvane:: DESTINATION ${KELVANE_CMAKE_DIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/KelvaneConfig.cmake.in
  ${CMAKE_BINARY_DIR}/package/KelvaneConfig.cmake INSTALL_DESTINATION ${KELVANE_CMAKE_DIR}
  PATH_VARS CMAKE_INSTALL_DOCDIR)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/KelvaneConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/KelvaneConfig.cmake ${CMAKE_BINARY_DIR}/package/KelvaneConfigVersion.cmake
  DESTINATION ${KELVANE_CMAKE_DIR})

# The prefix is found from where the file is, so that an install with --prefix finds itself.
file(RELATIVE_PATH KELVANE_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" KELVANE_PC_TO_PREFIX "${KELVANE_PC_TO_PREFIX}")
configure_file(${CMAKE_SOURCE_DIR}/cmake/kelvane.pc.in ${CMAKE_BINARY_DIR}/package/kelvane.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/package/kelvane.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

if(KELVANE_TESTS)
  # Installs into a temporary prefix and builds tests/install/consumer against it, with
  # find_package and with pkg-config.
  add_test(NAME Install.ConsumerBuildsAgainstTheInstalledTree
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/install/consumer_build.sh ${CMAKE_BINARY_DIR}
            ${CMAKE_SOURCE_DIR}/tests/install/consumer)
  set_tests_properties(Install.ConsumerBuildsAgainstTheInstalledTree PROPERTIES ENVIRONMENT
    "CXX=${CMAKE_CXX_COMPILER};CXXFLAGS=${CMAKE_CXX_FLAGS}")
endif()
