# The package for users: a ZIP holding the program, its help file and a
# short readme, named with the version (Arrayforge-<version>-win32.zip).
# Made in the build folder by `cpack` or `ninja package`.

if(NOT ARRAYFORGE_ICONV OR NOT ARRAYFORGE_CHMCMD)
  message(WARNING "No package: the help file cannot be built here (help/CMakeLists.txt)")
  return()
endif()

# The readme, written for Windows' own editors: code page 932, CR LF.
set(package_readme "${CMAKE_BINARY_DIR}/package/README.txt")
add_custom_command(
  OUTPUT "${package_readme}"
  COMMAND ${CMAKE_COMMAND}
          -DINPUT=${PROJECT_SOURCE_DIR}/cmake/PackageReadme.txt -DVERSION=${PROJECT_VERSION}
          -DOUTPUT=${package_readme}
          -DICONV=${ARRAYFORGE_ICONV}
          -P ${PROJECT_SOURCE_DIR}/cmake/CodePage932.cmake
  DEPENDS "${PROJECT_SOURCE_DIR}/cmake/PackageReadme.txt" "${PROJECT_SOURCE_DIR}/cmake/CodePage932.cmake"
  VERBATIM)
add_custom_target(arrayforge_package_readme ALL DEPENDS "${package_readme}")

# Only this component goes into the package.
install(TARGETS Tabulo RUNTIME DESTINATION . COMPONENT user)
install(FILES "${ARRAYFORGE_HELP_FILE}" "${package_readme}" DESTINATION . COMPONENT user)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Arrayforge)
set(CPACK_PACKAGE_VENDOR Corvane)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_FILE_NAME "Arrayforge-${PROJECT_VERSION}-win32")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_COMPONENTS_ALL user)
set(CPACK_STRIP_FILES ON)
include(CPack)
