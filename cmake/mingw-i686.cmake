# The Windows program as it ships: 32-bit MinGW-w64.
set(ARRAYFORGE_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
