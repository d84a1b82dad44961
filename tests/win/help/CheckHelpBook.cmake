# Checks the help book and the help file compiled from it:
#   cmake -DBOOK=help/book -DHELP_FILE=Tabulo.chm -P CheckHelpBook.cmake
# The contents list every page, every link of the contents, the index and
# the pages leads to a file of the book, and the help file holds every page.
file(GLOB pages RELATIVE "${BOOK}" "${BOOK}/*.htm")
set(failures "")
file(READ "${BOOK}/Tabulo.hhc" contents)
foreach(page IN LISTS pages)
  if(NOT contents MATCHES "name=\"Local\" value=\"${page}[\"#]")
    string(APPEND failures "  Tabulo.hhc does not list ${page}\n")
  endif()
endforeach()

foreach(file IN LISTS pages ITEMS Tabulo.hhc Tabulo.hhk)
  file(READ "${BOOK}/${file}" text)
  string(REGEX MATCHALL "(href|src|\"Local\" value)=\"[^\"#:]+[\"#]" links "${text}")
  foreach(link IN LISTS links)
    string(REGEX REPLACE "^.*=\"|[\"#]$" "" target "${link}")
    if(NOT EXISTS "${BOOK}/${target}")
      string(APPEND failures "  ${file} links to the missing ${target}\n")
    endif()
  endforeach()
endforeach()

# Its directory names each page as "/page".
file(READ "${HELP_FILE}" compiled HEX)
foreach(page IN LISTS pages)
  string(HEX "/${page}" name)
  string(FIND "${compiled}" "${name}" at)
  if(at EQUAL -1)
    string(APPEND failures "  ${HELP_FILE} does not hold ${page}\n")
  endif()
endforeach()

list(LENGTH pages count)
if(count EQUAL 0 OR NOT failures STREQUAL "")
  message(FATAL_ERROR "The help book (${count} pages) has faults:\n${failures}")
endif()
