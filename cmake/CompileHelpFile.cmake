# Compiles the help book into a help file:
#   cmake -DBOOK=dir -DSTAGING=dir -DOUTPUT=file.chm -DICONV=iconv -DCHMCMD=chmcmd -DVERSION=1.2.3.4 -P CompileHelpFile.cmake
# Every file of BOOK is written as a code page 932 text (CodePage932.cmake)
# into STAGING, where chmcmd compiles the project Tabulo.hhp. A file that has a character
# outside code page 932, a missing file or a broken link fails the build.

include("${CMAKE_CURRENT_LIST_DIR}/CodePage932.cmake")

file(REMOVE_RECURSE "${STAGING}")
file(MAKE_DIRECTORY "${STAGING}")
file(GLOB book_files RELATIVE "${BOOK}" "${BOOK}/*")
foreach(file IN LISTS book_files)
  write_code_page_932_text("${BOOK}/${file}" "${STAGING}/${file}" "${ICONV}")
endforeach()

# chmcmd answers 0 even when it reports missing files or undefined anchors.
execute_process(
  COMMAND "${CHMCMD}" Tabulo.hhp
  WORKING_DIRECTORY "${STAGING}"
  RESULT_VARIABLE result
  OUTPUT_VARIABLE log
  ERROR_VARIABLE log)
if(NOT result EQUAL 0 OR log MATCHES "(Error|Warning):" OR NOT EXISTS "${STAGING}/Tabulo.chm")
  message(FATAL_ERROR "chmcmd failed on ${BOOK}/Tabulo.hhp:\n${log}")
endif()
file(COPY_FILE "${STAGING}/Tabulo.chm" "${OUTPUT}")
