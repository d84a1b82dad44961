# Makes the users' package into a folder of its own and checks what it holds:
#   cmake -DCPACK=cpack -DCONFIG=CPackConfig.cmake -DWORK=dir -DVERSION=1.0.5.1
#         -DREADME_SOURCE=help/PackageReadme.txt -DICONV=iconv -P CheckPackage.cmake

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(
  COMMAND "${CPACK}" --config "${CONFIG}" -B "${WORK}"
  RESULT_VARIABLE result
  OUTPUT_VARIABLE log
  ERROR_VARIABLE log)
set(package "${WORK}/Arrayforge-${VERSION}-win32.zip")
if(NOT result EQUAL 0 OR NOT EXISTS "${package}")
  message(FATAL_ERROR "no package ${package}:\n${log}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf "${package}" OUTPUT_VARIABLE listing RESULT_VARIABLE result)
string(STRIP "${listing}" listing)
string(REPLACE "\n" ";" entries "${listing}")
list(FILTER entries EXCLUDE REGEX "/$")
list(SORT entries)
set(expected README.txt Tabulo.chm Tabulo.exe)
list(TRANSFORM expected PREPEND "Arrayforge-${VERSION}-win32/")
if(NOT entries STREQUAL expected)
  message(FATAL_ERROR "${package} holds\n  ${entries}\ninstead of\n  ${expected}")
endif()

# The readme, as Windows' own editors read it: the text of its source in
# code page 932 with CR LF line ends. (Compared as files: file(READ) and
# captured output both drop CRs.)
file(MAKE_DIRECTORY "${WORK}/unpacked")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf "${package}" WORKING_DIRECTORY "${WORK}/unpacked")
execute_process(
  COMMAND "${ICONV}" -f CP932 -t UTF-8 "${WORK}/unpacked/Arrayforge-${VERSION}-win32/README.txt"
  OUTPUT_FILE "${WORK}/README.decoded"
  RESULT_VARIABLE decoded)
file(READ "${README_SOURCE}" source)
string(REPLACE "\n" "\r\n" source "${source}")
file(WRITE "${WORK}/README.expected" "${source}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/README.expected" "${WORK}/README.decoded"
  RESULT_VARIABLE different)
if(NOT decoded EQUAL 0 OR NOT different EQUAL 0)
  message(FATAL_ERROR "README.txt is not ${README_SOURCE} in code page 932 with CR LF line ends")
endif()
file(REMOVE_RECURSE "${WORK}")
message(STATUS "${package}: ${entries}")
