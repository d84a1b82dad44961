# Cross build of the Windows program with MinGW-w64 on Linux, for the
# processor in ARRAYFORGE_MINGW_ARCH (set by mingw-i686.cmake or
# mingw-x86_64.cmake). The posix-thread flavour is needed for std::mutex
# (GoogleTest uses it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${ARRAYFORGE_MINGW_ARCH})
set(CMAKE_C_COMPILER ${ARRAYFORGE_MINGW_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${ARRAYFORGE_MINGW_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${ARRAYFORGE_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ARRAYFORGE_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# ctest starts every test executable through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
