# The engine finds the library through its entry point alone. On ELF platforms
# a version script keeps every other symbol local, weak copies of inline and
# template code included. A Windows DLL exports only what is marked dllexport
# (the entry point): once one symbol is, the linker exports nothing by itself.
set(EXPORT_ENTRY_POINT_MAP ${CMAKE_CURRENT_LIST_DIR}/exports.map)

function(export_entry_point_only target)
  if(CMAKE_SYSTEM_NAME MATCHES "^(Linux|Android)$")
    target_link_options(${target} PRIVATE "LINKER:--version-script=${EXPORT_ENTRY_POINT_MAP}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${EXPORT_ENTRY_POINT_MAP})
  endif()
endfunction()
