# The same sources for 64-bit Windows: the tests where the kernel runs no
# 32-bit programs (and so no 32-bit Wine).
set(ARRAYFORGE_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
