#include "_register_nodes.hpp"

#include "bone_collider.hpp"
#include "bone_collider_ik.hpp"
#include "globals.hpp"
#include "hud.hpp"
#include "player.hpp"
#include "sequences/welcome_back_sequence.hpp"
#include "sequences/welcome_sequence.hpp"
#include "xr_manager.hpp"

#include <godot_cpp/core/class_db.hpp>

using namespace godot;

void register_nodes(ModuleInitializationLevel p_level) {
	if (p_level != MODULE_INITIALIZATION_LEVEL_SCENE) {
		return;
	}
	// BoneCollider must come before BoneColliderIK, which derives from it.
	GDREGISTER_CLASS(Player);
	GDREGISTER_CLASS(BoneCollider);
	GDREGISTER_CLASS(BoneColliderIK);
	GDREGISTER_CLASS(HUD);
	GDREGISTER_CLASS(XRManager);
	GDREGISTER_CLASS(WelcomeSequence);
	GDREGISTER_CLASS(WelcomeBackSequence);
}

void terminate_nodes(ModuleInitializationLevel p_level) {
	if (p_level != MODULE_INITIALIZATION_LEVEL_SCENE) {
		return;
	}
	Globals::cleanup();
}

extern "C" {
GDExtensionBool GDE_EXPORT init_nodes(GDExtensionInterfaceGetProcAddress p_get_proc_address, GDExtensionClassLibraryPtr p_library, GDExtensionInitialization *r_initialization) {
	godot::GDExtensionBinding::InitObject init_obj(p_get_proc_address, p_library, r_initialization);
	init_obj.register_initializer(register_nodes);
	init_obj.register_terminator(terminate_nodes);
	init_obj.set_minimum_library_initialization_level(MODULE_INITIALIZATION_LEVEL_SCENE);
	return init_obj.init();
}
}
