#ifndef MOSSGLIMMER_REGISTER_NODES_HPP
#define MOSSGLIMMER_REGISTER_NODES_HPP

#include <gdextension_interface.h>
#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/godot.hpp>

using namespace godot;

void register_nodes(ModuleInitializationLevel p_level);
void terminate_nodes(ModuleInitializationLevel p_level);

extern "C" {
GDExtensionBool GDE_EXPORT init_nodes(GDExtensionInterfaceGetProcAddress p_get_proc_address, GDExtensionClassLibraryPtr p_library, GDExtensionInitialization *r_initialization);
}

#endif // MOSSGLIMMER_REGISTER_NODES_HPP
