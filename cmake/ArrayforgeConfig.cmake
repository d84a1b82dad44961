# The installed Arrayforge package:
#   find_package(Arrayforge CONFIG REQUIRED)
# gives the imported program Arrayforge::arrayforge and
#   arrayforge_add_data(<target> <file> [NAME name] [TYPE type] [FORMAT form]
#                       [CONST] [STATIC] [LENGTH] [NUL])
# which embeds <file> (relative to the current source folder) in <target>:
# at build time, and again whenever <file> changes, arrayforge writes
# <name>.c and <name>.h into the build folder; the source joins the target
# and the header's folder its include path. NAME defaults to the file name
# made into an identifier (logo.png gives logo_png); TYPE and FORMAT take
# what arrayforge's -t and --format take; LENGTH defines <name>_size. With
# STATIC there is no source: <name>.h holds the static array itself, for
# the one file that includes it. The header comment is UTF-8, lines end in
# LF. SOURCE_DATE_EPOCH, when set while configuring, fixes the header's
# time as it does for arrayforge. Two files that would get one name in one
# target stop the configure step.

include("${CMAKE_CURRENT_LIST_DIR}/ArrayforgeTargets.cmake")

function(arrayforge_add_data target file)
  cmake_parse_arguments(PARSE_ARGV 2 arg "CONST;STATIC;LENGTH;NUL" "NAME;TYPE;FORMAT" "")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "arrayforge_add_data: unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  get_filename_component(input "${file}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  set(name "${arg_NAME}")
  if(NOT name)
    get_filename_component(file_name "${input}" NAME)
    string(MAKE_C_IDENTIFIER "${file_name}" name)
  endif()
  set(folder "${CMAKE_CURRENT_BINARY_DIR}/arrayforge/${target}")
  set(header "${folder}/${name}.h")
  # One name, one pair of files: a second file would silently take the first one's place.
  get_property(taken GLOBAL PROPERTY "arrayforge_add_data:${header}")
  if(taken)
    message(FATAL_ERROR "arrayforge_add_data: ${taken} and ${input} would both be embedded in ${target} "
                        "as '${name}'; give one of them another NAME")
  endif()
  set_property(GLOBAL PROPERTY "arrayforge_add_data:${header}" "${input}")
  set(options -f -q --eol lf --utf8 -n "${name}")
  if(arg_TYPE)
    list(APPEND options -t "${arg_TYPE}")
  endif()
  if(arg_FORMAT)
    list(APPEND options --format "${arg_FORMAT}")
  endif()
  foreach(flag CONST STATIC LENGTH NUL)
    if(arg_${flag})
      string(TOLOWER "--${flag}" option)
      list(APPEND options "${option}")
    endif()
  endforeach()

  if(arg_STATIC)
    set(outputs "${header}")
    list(APPEND options -o "${header}")
  else()
    set(source "${folder}/${name}.c")
    set(outputs "${source}" "${header}")
    list(APPEND options -o "${source}" --header "${header}")
    get_property(languages GLOBAL PROPERTY ENABLED_LANGUAGES)
    if(NOT "C" IN_LIST languages)
      set_source_files_properties("${source}" PROPERTIES LANGUAGE CXX)
    endif()
  endif()
  set(command "$<TARGET_FILE:Arrayforge::arrayforge>" ${options} "${input}")
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(command "${CMAKE_COMMAND}" -E env "SOURCE_DATE_EPOCH=$ENV{SOURCE_DATE_EPOCH}" ${command})
  endif()
  file(MAKE_DIRECTORY "${folder}")
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND ${command}
    DEPENDS "${input}"
    COMMENT "Embedding ${file} as ${name}"
    VERBATIM)
  target_sources(${target} PRIVATE ${outputs})
  target_include_directories(${target} PRIVATE "${folder}")
endfunction()
