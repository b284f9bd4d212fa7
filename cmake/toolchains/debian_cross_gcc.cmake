# Included by the toolchain files: Debian's cross GCC for CROSS_TRIPLE (its
# posix-thread build first, where there are two), from CROSS_PACKAGE; the
# target's libraries, headers and packages come from its sysroot only,
# programs from this machine.
find_program(CMAKE_CXX_COMPILER NAMES ${CROSS_TRIPLE}-g++-posix ${CROSS_TRIPLE}-g++)
find_program(CMAKE_C_COMPILER NAMES ${CROSS_TRIPLE}-gcc-posix ${CROSS_TRIPLE}-gcc)
if(NOT CMAKE_CXX_COMPILER)
  message(FATAL_ERROR "No ${CROSS_TRIPLE}-g++: install the Debian package ${CROSS_PACKAGE}")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
