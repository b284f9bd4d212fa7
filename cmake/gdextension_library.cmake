# The extension's configuration file is the one list of library files: the
# engine loads the file of the [libraries] entry "<platform>.<variant>.<arch>"
# that matches it, so the build names and places its library by that entry.

# The engine's name of the platform and architecture being built for.
function(gdextension_platform out_var)
  set(names Linux linux Windows windows Android android Darwin macos iOS ios Emscripten web)
  list(FIND names "${CMAKE_SYSTEM_NAME}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "The engine has no platform name known here for CMAKE_SYSTEM_NAME '${CMAKE_SYSTEM_NAME}'")
  endif()
  math(EXPR at "${at} + 1")
  list(GET names ${at} platform)
  set(${out_var} ${platform} PARENT_SCOPE)
endfunction()

function(gdextension_architecture out_var)
  string(TOLOWER "${CMAKE_SYSTEM_PROCESSOR}" processor)
  if(processor MATCHES "^(x86_64|amd64|x64|em64t)$")
    set(arch x86_64)
  elseif(processor MATCHES "^(i.86|x86)$")
    set(arch x86_32)
  elseif(processor MATCHES "^(aarch64|arm64|armv8.*)$")
    set(arch arm64)
  elseif(processor MATCHES "^arm")
    set(arch arm32)
  else()
    set(arch "${processor}")
  endif()
  # A 32-bit build on a 64-bit Windows host still reports the host's processor.
  if(arch STREQUAL "x86_64" AND CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(arch x86_32)
  endif()
  set(${out_var} ${arch} PARENT_SCOPE)
endfunction()

# The path inside the game project (after "res://") that the entry names.
function(gdextension_library_entry gdextension entry out_var)
  # Lines with a ';' (comments) are left out: they would split into a list.
  file(STRINGS "${gdextension}" lines REGEX "^[^;]*$")
  set(section "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*\\[([^]]*)\\]")
      set(section "${CMAKE_MATCH_1}")
    elseif(section STREQUAL "libraries" AND line MATCHES "^[ \t]*([^ \t=]+)[ \t]*=[ \t]*\"([^\"]*)\"")
      if(CMAKE_MATCH_1 STREQUAL entry)
        set(path "${CMAKE_MATCH_2}")
        if(NOT path MATCHES "^res://(.+)$")
          message(FATAL_ERROR "${gdextension}: the entry ${entry} names '${path}', not a res:// path")
        endif()
        set(${out_var} "${CMAKE_MATCH_1}" PARENT_SCOPE)
        return()
      endif()
    endif()
  endforeach()
  message(FATAL_ERROR "${gdextension} has no [libraries] entry ${entry}: no library name for this platform, variant and architecture")
endfunction()

# Names target's file as the entry for this platform and architecture and the
# given variant (debug or release) names it, in the same folder under the
# build directory as under the game project.
function(gdextension_name_library target gdextension variant)
  gdextension_platform(platform)
  gdextension_architecture(arch)
  gdextension_library_entry("${gdextension}" "${platform}.${variant}.${arch}" path)

  get_filename_component(folder "${path}" DIRECTORY)
  get_filename_component(file "${path}" NAME)
  # The last extension is the suffix, so that an import library is named after
  # the rest (mossglimmer-poc.release.lib, not mossglimmer-poc.release.dll.lib).
  get_filename_component(suffix "${file}" LAST_EXT)
  string(LENGTH "${file}" file_length)
  string(LENGTH "${suffix}" suffix_length)
  math(EXPR stem_length "${file_length} - ${suffix_length}")
  string(SUBSTRING "${file}" 0 ${stem_length} stem)

  set(output_directory "${CMAKE_BINARY_DIR}/${folder}")
  # A DLL is a runtime output, a shared object a library output; a
  # multi-config generator reads the per-configuration properties.
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    OUTPUT_NAME "${stem}"
    SUFFIX "${suffix}"
    LIBRARY_OUTPUT_DIRECTORY "${output_directory}"
    RUNTIME_OUTPUT_DIRECTORY "${output_directory}")
  foreach(config IN LISTS CMAKE_CONFIGURATION_TYPES)
    string(TOUPPER "${config}" config)
    set_target_properties(${target} PROPERTIES
      LIBRARY_OUTPUT_DIRECTORY_${config} "${output_directory}"
      RUNTIME_OUTPUT_DIRECTORY_${config} "${output_directory}")
  endforeach()
  message(STATUS "Library for ${platform}.${variant}.${arch}: ${output_directory}/${file}")
endfunction()
