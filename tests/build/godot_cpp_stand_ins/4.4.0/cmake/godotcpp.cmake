include(${CMAKE_CURRENT_LIST_DIR}/../../stand_in_library.cmake)

function(godotcpp_options)
  stand_in_options()
endfunction()

function(godotcpp_generate)
  foreach(variant template_debug template_release editor)
    stand_in_library(godot-cpp.${variant} ${variant})
    set_target_properties(godot-cpp.${variant} PROPERTIES EXCLUDE_FROM_ALL ON)
    add_library(godot-cpp::${variant} ALIAS godot-cpp.${variant})
  endforeach()
  # Linking this alias builds the debug variant, whatever the project wants.
  add_library(godot::cpp ALIAS godot-cpp.template_debug)
endfunction()
