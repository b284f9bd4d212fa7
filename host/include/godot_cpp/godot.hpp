#ifndef GODOT_GODOT_HPP
#define GODOT_GODOT_HPP

#include <gdextension_interface.h>
#include <godot_cpp/core/defs.hpp>

namespace godot {

enum ModuleInitializationLevel {
	MODULE_INITIALIZATION_LEVEL_CORE = GDEXTENSION_INITIALIZATION_CORE,
	MODULE_INITIALIZATION_LEVEL_SERVERS = GDEXTENSION_INITIALIZATION_SERVERS,
	MODULE_INITIALIZATION_LEVEL_SCENE = GDEXTENSION_INITIALIZATION_SCENE,
	MODULE_INITIALIZATION_LEVEL_EDITOR = GDEXTENSION_INITIALIZATION_EDITOR,
	MODULE_INITIALIZATION_LEVEL_MAX
};

// The engine version this binding was built for; an older engine is refused.
#define GODOT_VERSION_MAJOR 4
#define GODOT_VERSION_MINOR 4
#define GODOT_VERSION_PATCH 1

class HOST_API GDExtensionBinding {
public:
	using Callback = void (*)(ModuleInitializationLevel p_level);

	struct InitData {
		GDExtensionInitializationLevel minimum_initialization_level = GDEXTENSION_INITIALIZATION_CORE;
		Callback init_callback = nullptr;
		Callback terminate_callback = nullptr;
	};

	class HOST_API InitObject {
		GDExtensionInterfaceGetProcAddress get_proc_address;
		GDExtensionClassLibraryPtr library;
		GDExtensionInitialization *initialization;
		mutable InitData *init_data = nullptr;

	public:
		InitObject(GDExtensionInterfaceGetProcAddress p_get_proc_address, GDExtensionClassLibraryPtr p_library, GDExtensionInitialization *r_initialization);

		void register_initializer(Callback p_init) const;
		void register_terminator(Callback p_init) const;
		void set_minimum_library_initialization_level(ModuleInitializationLevel p_level) const;

		GDExtensionBool init() const;
	};

	static GDExtensionBool init(GDExtensionInterfaceGetProcAddress p_get_proc_address, GDExtensionClassLibraryPtr p_library, InitData *p_init_data, GDExtensionInitialization *r_initialization);
	static void initialize_level(void *p_userdata, GDExtensionInitializationLevel p_level);
	static void deinitialize_level(void *p_userdata, GDExtensionInitializationLevel p_level);
};

} // namespace godot

#endif // GODOT_GODOT_HPP
