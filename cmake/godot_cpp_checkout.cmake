# The build against a godot-cpp checkout (GODOT_CPP_PATH): what the checkout
# must be, and which of its targets the library links. Every refusal says what
# was found and what is needed, so that a wrong path, an empty submodule or a
# missing Python stop the configure with one message instead of an error deep
# inside godot-cpp's CMake.

set(GODOT_CPP_TAG godot-4.4.1-stable)

function(godot_cpp_refuse found)
  message(FATAL_ERROR
    "GODOT_CPP_PATH is '${GODOT_CPP_PATH}': ${found}.\n"
    "Needed: a godot-cpp checkout for Godot 4.4.1 with its CMake build (CMakeLists.txt and cmake/godotcpp.cmake):\n"
    "  git clone --branch ${GODOT_CPP_TAG} https://github.com/godotengine/godot-cpp")
endfunction()

# Refuses a path that can't be godot-cpp 4.4's tree, before CMake descends
# into it.
function(godot_cpp_check_checkout path)
  if(NOT EXISTS "${path}")
    godot_cpp_refuse("nothing exists at that path")
  endif()
  if(NOT IS_DIRECTORY "${path}")
    godot_cpp_refuse("that is a file, not a directory")
  endif()
  # A submodule that was never updated is an empty directory, or holds only
  # its .git file.
  file(GLOB entries LIST_DIRECTORIES true "${path}/*")
  list(FILTER entries EXCLUDE REGEX "/\\.git$")
  if(NOT entries)
    godot_cpp_refuse("an empty directory (a git submodule not yet checked out? run: git submodule update --init)")
  endif()
  if(NOT EXISTS "${path}/CMakeLists.txt")
    godot_cpp_refuse("a directory with no CMakeLists.txt, so no CMake build of godot-cpp")
  endif()
  # Our own tree, among others, has a CMakeLists.txt; only godot-cpp 4.4 and
  # later have this file (older ones built with a different CMake).
  if(NOT EXISTS "${path}/cmake/godotcpp.cmake")
    godot_cpp_refuse("a CMake project without cmake/godotcpp.cmake: not godot-cpp, or a godot-cpp older than 4.4")
  endif()
endfunction()

# godot-cpp generates its bindings with Python when it is configured; a
# machine without it would stop inside godot-cpp's find_package.
function(godot_cpp_check_python)
  find_package(Python3 3.4 QUIET)
  if(NOT Python3_FOUND)
    message(FATAL_ERROR
      "godot-cpp generates its C++ bindings with Python 3 (3.4 or newer), and none was found: "
      "install the Debian package python3, or name an interpreter with -DPython3_EXECUTABLE=/path/to/python3")
  endif()
endfunction()

# The target that builds godot-cpp for the variant GODOTCPP_TARGET names.
# godot-cpp 4.4.1 and the 4.4 branch define one target, godot-cpp, and build
# it for the variant in their cache variable GODOTCPP_TARGET (the one this
# project sets); 4.4.0 defined one target per variant.
function(godot_cpp_variant_target out_var)
  if(TARGET godot-cpp)
    set(${out_var} godot-cpp PARENT_SCOPE)
  elseif(TARGET godot-cpp.${GODOTCPP_TARGET})
    set(${out_var} godot-cpp.${GODOTCPP_TARGET} PARENT_SCOPE)
  else()
    godot_cpp_refuse("its CMake defines neither the target godot-cpp (godot-cpp 4.4.1 and later) nor godot-cpp.${GODOTCPP_TARGET} (4.4.0)")
  endif()
endfunction()
