# Linux arm64 with Debian's cross GCC.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CROSS_TRIPLE aarch64-linux-gnu)
set(CROSS_PACKAGE g++-aarch64-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/debian_cross_gcc.cmake)
