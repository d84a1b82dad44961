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
#
#   arrayforge_add_resources(<target> NAME <name> [BASE dir] [FORMAT form]
#                            FILES file... | GLOB pattern...)
# puts many files into <target> as one table (arrayforge --table): <name>.c
# holds them all, <name>.h declares <name>_entries, <name>_count and
# <name>_find(path), each file found by its path below BASE (default: the
# current source folder). FILES are relative to the current source folder;
# GLOB patterns are matched there, through subfolders, and again at every
# build (CONFIGURE_DEPENDS), so an added file joins the table. FORMAT is
# string (the default, also for AUTO) or list. One rule writes the table,
# again when any of its files or arrayforge changes.

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

# Stops the configure step where another call would write `header` for
# `target` too.
function(_arrayforge_claim caller target name header input)
  get_property(taken GLOBAL PROPERTY "arrayforge_add_data:${header}")
  if(taken)
    message(FATAL_ERROR "${caller}: ${taken} and ${input} would both be embedded in ${target} "
                        "as '${name}'; give one of them another NAME")
  endif()
  set_property(GLOBAL PROPERTY "arrayforge_add_data:${header}" "${input}")
endfunction()

# The rule that runs arrayforge with OPTIONS, at build time and again when
# one of INPUTS or arrayforge changes, SOURCE_DATE_EPOCH passed on; its
# OUTPUTS join the target and `folder` its include path. A C source becomes
# C++ where the project has no C.
function(_arrayforge_add_rule target folder comment)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "" "OUTPUTS;INPUTS;OPTIONS")
  set(command "$<TARGET_FILE:Arrayforge::arrayforge>" ${arg_OPTIONS})
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(command "${CMAKE_COMMAND}" -E env "SOURCE_DATE_EPOCH=$ENV{SOURCE_DATE_EPOCH}" ${command})
  endif()
  get_property(languages GLOBAL PROPERTY ENABLED_LANGUAGES)
  foreach(output IN LISTS arg_OUTPUTS)
    if(output MATCHES "\\.c$" AND NOT "C" IN_LIST languages)
      set_source_files_properties("${output}" PROPERTIES LANGUAGE CXX)
    endif()
  endforeach()
  file(MAKE_DIRECTORY "${folder}")
  add_custom_command(
    OUTPUT ${arg_OUTPUTS}
    COMMAND ${command}
    DEPENDS ${arg_INPUTS} "$<TARGET_FILE:Arrayforge::arrayforge>"
    COMMENT "${comment}"
    VERBATIM)
  target_sources(${target} PRIVATE ${arg_OUTPUTS})
  target_include_directories(${target} PRIVATE "${folder}")
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
  _arrayforge_claim(arrayforge_add_data ${target} "${name}" "${header}" "${input}")

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
    endif()
    set(outputs "${source}" "${header}")
    list(APPEND options -o "${source}" --header "${header}")
  endif()
  _arrayforge_add_rule(${target} "${folder}" "Embedding ${file} as ${name}"
                       OUTPUTS ${outputs} INPUTS "${input}" OPTIONS ${options} "${input}")
endfunction()

function(arrayforge_add_resources target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "NAME;BASE;FORMAT" "FILES;GLOB")
  if(arg_UNPARSED_ARGUMENTS OR NOT arg_NAME OR (arg_FILES AND arg_GLOB) OR NOT (arg_FILES OR arg_GLOB))
    message(FATAL_ERROR "arrayforge_add_resources: takes <target> NAME <name> [BASE dir] [FORMAT form] "
                        "and FILES file... or GLOB pattern...")
  endif()
  set(inputs "")
  foreach(file IN LISTS arg_FILES)
    get_filename_component(input "${file}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    list(APPEND inputs "${input}")
  endforeach()
  if(arg_GLOB)
    set(patterns "")
    foreach(pattern IN LISTS arg_GLOB)
      get_filename_component(pattern "${pattern}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
      list(APPEND patterns "${pattern}")
    endforeach()
    # Globbed again at every build: an added or removed file reconfigures,
    # and the rule's changed command writes the table again.
    file(GLOB_RECURSE inputs LIST_DIRECTORIES false CONFIGURE_DEPENDS ${patterns})
    if(NOT inputs)
      message(FATAL_ERROR "arrayforge_add_resources: ${arg_GLOB} matches no file")
    endif()
  endif()
  set(base "${arg_BASE}")
  if(NOT base)
    set(base "${CMAKE_CURRENT_SOURCE_DIR}")
  endif()
  get_filename_component(base "${base}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  set(format "${arg_FORMAT}")
  if(NOT format OR format STREQUAL "AUTO")
    set(format string)
  endif()
  set(folder "${CMAKE_CURRENT_BINARY_DIR}/arrayforge/${target}")
  set(source "${folder}/${arg_NAME}.c")
  set(header "${folder}/${arg_NAME}.h")
  _arrayforge_claim(arrayforge_add_resources ${target} "${arg_NAME}" "${header}" "the table ${arg_NAME}")
  list(LENGTH inputs count)
  _arrayforge_add_rule(${target} "${folder}" "Embedding ${count} files as the table ${arg_NAME}"
                       OUTPUTS "${source}" "${header}" INPUTS ${inputs}
                       OPTIONS -f -q --eol lf --utf8 --format "${format}" --table "${arg_NAME}" --base "${base}"
                               -o "${source}" --header "${header}" ${inputs})
endfunction()
