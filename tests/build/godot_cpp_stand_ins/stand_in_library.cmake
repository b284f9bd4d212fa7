# What both stand-ins give each godot-cpp library target, as godot-cpp's
# CMake of the 4.4 series does for a project that links it: the archive's name
# and folder, the headers' include directory (system headers with
# GODOTCPP_SYSTEM_HEADERS) and the usage requirements that carry the variant
# to the project's sources. Nothing is ever built: the one source is empty.

set(STAND_IN_SOURCE ${CMAKE_CURRENT_LIST_DIR}/nothing_to_build.cpp)

# godot-cpp's names of the platform and architecture, in the archive's name.
function(stand_in_platform_and_arch out_platform out_arch)
  set(platforms Linux linux Windows windows Android android Darwin macos iOS ios Emscripten web)
  list(FIND platforms "${CMAKE_SYSTEM_NAME}" at)
  math(EXPR at "${at} + 1")
  list(GET platforms ${at} platform)
  string(TOLOWER "${CMAKE_SYSTEM_PROCESSOR}" arch)
  if(arch MATCHES "^(amd64|x86-64|w64)$")
    set(arch x86_64)
  elseif(arch MATCHES "^(aarch64|armv8|armv8-a|arm64v8)$")
    set(arch arm64)
  endif()
  set(${out_platform} ${platform} PARENT_SCOPE)
  set(${out_arch} ${arch} PARENT_SCOPE)
endfunction()

# A static library target built for the variant (template_debug,
# template_release or editor).
function(stand_in_library target variant)
  add_library(${target} STATIC ${STAND_IN_SOURCE})

  stand_in_platform_and_arch(platform arch)
  set(suffix ".${platform}.${variant}")
  if(GODOTCPP_DEV_BUILD)
    string(APPEND suffix ".dev")
  endif()
  if(GODOTCPP_PRECISION STREQUAL "double")
    string(APPEND suffix ".double")
  endif()
  string(APPEND suffix ".${arch}")
  if(NOT GODOTCPP_THREADS)
    string(APPEND suffix ".nothreads")
  endif()
  set_target_properties(${target} PROPERTIES
    CXX_STANDARD 17
    CXX_EXTENSIONS OFF
    POSITION_INDEPENDENT_CODE ON
    PREFIX lib
    OUTPUT_NAME "godot-cpp${suffix}"
    ARCHIVE_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bin")

  set(system "")
  if(GODOTCPP_SYSTEM_HEADERS)
    set(system SYSTEM)
  endif()
  target_include_directories(${target} ${system} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include)
  # Debug features for every variant but the release template.
  target_compile_definitions(${target} PUBLIC
    GDEXTENSION
    $<$<NOT:$<STREQUAL:${variant},template_release>>:DEBUG_ENABLED>
    $<$<STREQUAL:${GODOTCPP_PRECISION},double>:REAL_T_IS_DOUBLE>)
  target_compile_options(${target} PUBLIC $<$<BOOL:${GODOTCPP_DISABLE_EXCEPTIONS}>:-fno-exceptions>)
endfunction()

# The options that the 4.4 series reads under these names.
function(stand_in_options)
  set(GODOTCPP_PRECISION single CACHE STRING "Set the floating-point precision level (single|double)")
  option(GODOTCPP_DISABLE_EXCEPTIONS "Force disabling exception handling code (ON|OFF)" ON)
  option(GODOTCPP_SYSTEM_HEADERS "Expose headers as SYSTEM." OFF)
  option(GODOTCPP_WARNING_AS_ERROR "Treat warnings as errors" OFF)
  option(GODOTCPP_DEV_BUILD "Developer build with dev-only debugging code (DEV_ENABLED)" OFF)
  set(GODOTCPP_THREADS ON CACHE BOOL "Enable threading support")
endfunction()
