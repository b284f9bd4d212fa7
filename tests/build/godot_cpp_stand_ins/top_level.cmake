# The top level of godot-cpp's CMakeLists.txt in the 4.4 series, the same in
# 4.4.0 and 4.4.1: its options, then the Python that its binding generator
# needs, then its project and targets (from cmake/godotcpp.cmake, where the
# two versions differ).
include(${CMAKE_CURRENT_SOURCE_DIR}/cmake/godotcpp.cmake)
godotcpp_options()

find_package(Python3 3.4 REQUIRED)

project(godot-cpp VERSION 4.4 LANGUAGES CXX)

godotcpp_generate()
