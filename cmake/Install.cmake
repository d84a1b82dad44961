# What a developer installs: the arrayforge program, its manual page and the
# CMake package (cmake/ArrayforgeConfig.cmake). Natively `cpack -G DEB` in
# the build folder packs them; on Windows they join the ZIP for users
# (cmake/Packaging.cmake): arrayforge.exe beside Tabulo.exe, the package
# under cmake/.
include(CMakePackageConfigHelpers)

if(WIN32)
  set(arrayforge_bin_dir .)
  set(arrayforge_cmake_dir cmake)
else()
  include(GNUInstallDirs)
  set(arrayforge_bin_dir ${CMAKE_INSTALL_BINDIR})
  set(arrayforge_cmake_dir lib/cmake/Arrayforge)
  configure_file("${PROJECT_SOURCE_DIR}/cli/arrayforge.1.in" "${CMAKE_BINARY_DIR}/arrayforge.1" @ONLY)
  install(FILES "${CMAKE_BINARY_DIR}/arrayforge.1" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT user)
endif()

install(TARGETS arrayforge EXPORT ArrayforgeTargets RUNTIME DESTINATION ${arrayforge_bin_dir} COMPONENT user)
install(EXPORT ArrayforgeTargets NAMESPACE Arrayforge:: DESTINATION ${arrayforge_cmake_dir} COMPONENT user)
write_basic_package_version_file("${CMAKE_BINARY_DIR}/ArrayforgeConfigVersion.cmake"
                                 COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
install(FILES "${PROJECT_SOURCE_DIR}/cmake/ArrayforgeConfig.cmake" "${CMAKE_BINARY_DIR}/ArrayforgeConfigVersion.cmake"
        DESTINATION ${arrayforge_cmake_dir} COMPONENT user)

if(NOT WIN32)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME arrayforge)
  set(CPACK_PACKAGE_VENDOR Corvane)
  set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turns any file into C/C++ source holding its bytes as an array")
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Corvane <support@corvane.example>")
  set(CPACK_DEBIAN_PACKAGE_SECTION devel)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_STRIP_FILES ON)
  include(CPack)
endif()
