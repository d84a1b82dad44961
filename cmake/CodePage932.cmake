# Writes a UTF-8 text file as a Windows text file: code page 932
# (Shift-JIS), the code page of the program and its help, with CR LF line
# ends. A character outside code page 932 is an error. "@ARRAYFORGE_VERSION@"
# becomes VERSION, the project's version, so the texts never repeat it.
#   cmake -DINPUT=file -DOUTPUT=file -DICONV=iconv -DVERSION=1.2.3.4 -P CodePage932.cmake
# or include() it and call write_code_page_932_text().

function(write_code_page_932_text input output iconv)
  file(READ "${input}" text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  string(REPLACE "@ARRAYFORGE_VERSION@" "${VERSION}" text "${text}")
  set(windows_text "${output}.utf-8")
  file(WRITE "${windows_text}" "${text}")
  execute_process(
    COMMAND "${iconv}" -f UTF-8 -t CP932 "${windows_text}"
    OUTPUT_FILE "${output}"
    RESULT_VARIABLE result
    ERROR_VARIABLE error)
  file(REMOVE "${windows_text}")
  if(NOT result EQUAL 0)
    file(REMOVE "${output}")
    message(FATAL_ERROR "${input} cannot be written in code page 932: ${error}")
  endif()
endfunction()

if(DEFINED INPUT)
  write_code_page_932_text("${INPUT}" "${OUTPUT}" "${ICONV}")
endif()
