# Windows x86_64 with Debian's MinGW-w64 GCC, posix threads: the standard
# library's threads and mutexes need them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CROSS_TRIPLE x86_64-w64-mingw32)
set(CROSS_PACKAGE g++-mingw-w64-x86-64-posix)
include(${CMAKE_CURRENT_LIST_DIR}/debian_cross_gcc.cmake)
find_program(CMAKE_RC_COMPILER NAMES ${CROSS_TRIPLE}-windres)
