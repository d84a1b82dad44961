# Makes the users' package into a folder of its own and checks what it holds:
#   cmake -DCPACK=cpack -DCONFIG=CPackConfig.cmake -DWORK=dir -DVERSION=<version> -P CheckPackage.cmake
file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND "${CPACK}" --config "${CONFIG}" -B "${WORK}" RESULT_VARIABLE result OUTPUT_VARIABLE log
                ERROR_VARIABLE log)
set(package "${WORK}/Arrayforge-${VERSION}-win32.zip")
if(NOT result EQUAL 0 OR NOT EXISTS "${package}")
  message(FATAL_ERROR "no package ${package}:\n${log}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf "${package}" OUTPUT_VARIABLE listing)
string(REGEX REPLACE "[^\n]*/\n" "" listing "${listing}")  # the folders
# The program, its help and readme; the console front end and its CMake package.
set(expected "README.txt;Tabulo.chm;Tabulo.exe;arrayforge.exe;cmake/ArrayforgeConfig.cmake;cmake/ArrayforgeConfigVersion.cmake;cmake/ArrayforgeTargets-release.cmake;cmake/ArrayforgeTargets.cmake")
list(TRANSFORM expected PREPEND "Arrayforge-${VERSION}-win32/")
string(STRIP "${listing}" listing)
string(REPLACE "\n" ";" entries "${listing}")
list(SORT entries)
if(NOT entries STREQUAL expected)
  message(FATAL_ERROR "${package} holds\n  ${entries}\ninstead of\n  ${expected}")
endif()
file(REMOVE_RECURSE "${WORK}")
