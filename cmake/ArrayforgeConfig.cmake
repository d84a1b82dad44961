# The installed Arrayforge package:
#   find_package(Arrayforge CONFIG REQUIRED)
# gives the imported program Arrayforge::arrayforge and
#   arrayforge_add_data(<target> <file> [NAME name] [TYPE type] [FORMAT form]
#                       [ALIGN n] [SECTION name] [CONST] [STATIC] [LENGTH] [NUL])
# which embeds <file> (relative to the current source folder) in <target>:
# at build time, and again whenever <file> or arrayforge changes, arrayforge
# writes <name>.h and the data into the build folder; the data joins the
# target and the header's folder its include path. NAME defaults to the
# file name made into an identifier (logo.png gives logo_png); TYPE, FORMAT,
# ALIGN and SECTION take what arrayforge's -t, --format, --align and
# --section take; LENGTH defines <name>_size. FORMAT AUTO, the default,
# writes an object file (<name>.o, or .obj with MSVC) for the toolchain in
# use where arrayforge knows it (MSVC, GCC or Clang making ELF, COFF or
# Mach-O for x86, x86-64 or ARM), else <name>.c: the string form for
# one-byte types, the list for the others. With STATIC there is no data
# file: <name>.h holds the static array itself, for the one file that
# includes it. Headers and sources are UTF-8, lines end in LF.
# SOURCE_DATE_EPOCH, when set while configuring, fixes the header's time as
# it does for arrayforge. Two files that would get one name in one target
# stop the configure step.

include("${CMAKE_CURRENT_LIST_DIR}/ArrayforgeTargets.cmake")

# The object file target (as arrayforge --target names it) of the toolchain
# in use, or empty where arrayforge writes none for it.
function(_arrayforge_object_target out)
  set(target "")
  foreach(language C CXX)
    if(CMAKE_${language}_COMPILER_LOADED)
      set(id "${CMAKE_${language}_COMPILER_ID}")
      set(architecture "${CMAKE_${language}_COMPILER_ARCHITECTURE_ID}")  # MSVC's own: X86, x64, ARM64
      break()
    endif()
  endforeach()
  if(NOT architecture)
    set(architecture "${CMAKE_SYSTEM_PROCESSOR}")
  endif()
  string(TOLOWER "${architecture}" architecture)
  if(architecture MATCHES "^(x86_64|amd64|x64|i.86|x86)$")
    set(machine x86)
  elseif(architecture MATCHES "^(aarch64|arm64)")
    set(machine arm64)
  elseif(architecture MATCHES "^arm")
    set(machine arm)
  endif()
  set(bits 32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(bits 64)
  endif()
  if(NOT id MATCHES "^(MSVC|GNU|Clang|AppleClang)$" OR NOT machine)
    # Another compiler or processor: no object file
  elseif(WIN32)
    set(names x86-32 pe-i386 x86-64 pe-x86-64 arm64-64 pe-aarch64-little)
  elseif(APPLE)
    set(names x86-64 mach-o-x86-64 arm64-64 mach-o-arm64)
  else()
    set(names x86-32 elf32-i386 x86-64 elf64-x86-64 arm64-64 elf64-littleaarch64 arm-32 elf32-littlearm)
  endif()
  list(FIND names "${machine}-${bits}" found)
  if(found GREATER -1)
    math(EXPR found "${found} + 1")
    list(GET names ${found} target)
  endif()
  set(${out} "${target}" PARENT_SCOPE)
endfunction()

function(arrayforge_add_data target file)
  cmake_parse_arguments(PARSE_ARGV 2 arg "CONST;STATIC;LENGTH;NUL" "NAME;TYPE;FORMAT;ALIGN;SECTION" "")
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

  # AUTO, the default: an object file where arrayforge writes one for this
  # toolchain (nothing to compile), else the string form for one-byte types
  # and the list for the others.
  set(format "${arg_FORMAT}")
  if(NOT format OR format STREQUAL "AUTO")
    _arrayforge_object_target(object_target)
    if(object_target AND NOT arg_STATIC)
      set(format object)
    elseif(NOT arg_TYPE OR arg_TYPE MATCHES "^(char|uchar|u8)$")
      set(format string)
    else()
      set(format list)
    endif()
  endif()
  set(options -f -q --eol lf --utf8 -n "${name}" --format "${format}")
  if(format STREQUAL "object")
    if(NOT object_target)
      _arrayforge_object_target(object_target)
    endif()
    list(APPEND options --target "${object_target}")
  endif()
  if(arg_TYPE)
    list(APPEND options -t "${arg_TYPE}")
  endif()
  foreach(value ALIGN SECTION)
    if(arg_${value})
      string(TOLOWER "--${value}" option)
      list(APPEND options "${option}" "${arg_${value}}")
    endif()
  endforeach()
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
    if(format STREQUAL "object")
      set(source "${folder}/${name}.o")
      if(MSVC)
        set(source "${folder}/${name}.obj")
      endif()
      set_source_files_properties("${source}" PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
    else()
      set(source "${folder}/${name}.c")
      get_property(languages GLOBAL PROPERTY ENABLED_LANGUAGES)
      if(NOT "C" IN_LIST languages)
        set_source_files_properties("${source}" PROPERTIES LANGUAGE CXX)
      endif()
    endif()
    set(outputs "${source}" "${header}")
    list(APPEND options -o "${source}" --header "${header}")
  endif()
  set(command "$<TARGET_FILE:Arrayforge::arrayforge>" ${options} "${input}")
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(command "${CMAKE_COMMAND}" -E env "SOURCE_DATE_EPOCH=$ENV{SOURCE_DATE_EPOCH}" ${command})
  endif()
  file(MAKE_DIRECTORY "${folder}")
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND ${command}
    # Again when the file changes, and when arrayforge itself does.
    DEPENDS "${input}" "$<TARGET_FILE:Arrayforge::arrayforge>"
    COMMENT "Embedding ${file} as ${name}"
    VERBATIM)
  target_sources(${target} PRIVATE ${outputs})
  target_include_directories(${target} PRIVATE "${folder}")
endfunction()
