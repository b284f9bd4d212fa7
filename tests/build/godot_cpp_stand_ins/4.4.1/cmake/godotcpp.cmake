include(${CMAKE_CURRENT_LIST_DIR}/../../stand_in_library.cmake)

function(godotcpp_options)
  set(GODOTCPP_TARGET template_debug CACHE STRING
    "Which target to generate. valid values are: template_debug, template_release, and editor")
  set_property(CACHE GODOTCPP_TARGET PROPERTY STRINGS template_debug template_release editor)
  stand_in_options()
endfunction()

# One target, built for the variant the cache variable names.
function(godotcpp_generate)
  stand_in_library(godot-cpp ${GODOTCPP_TARGET})
  add_library(godot::cpp ALIAS godot-cpp)
endfunction()
