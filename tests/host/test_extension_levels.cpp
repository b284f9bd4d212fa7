// The engine's start-up and shut-down of an extension's initialisation levels.
#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/godot.hpp>
#include <godot_host/host.hpp>
#include <godot_host/log.hpp>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace godot;
using godot_host::Extension;
using godot_host::Host;

namespace {

std::vector<std::string> calls;

void on_init(ModuleInitializationLevel p_level) {
	calls.push_back("init " + std::to_string((int)p_level));
}

void on_terminate(ModuleInitializationLevel p_level) {
	calls.push_back("term " + std::to_string((int)p_level));
}

// An extension that asks for SCENE as its minimum, as the game does.
GDExtensionBool scene_minimum_entry(GDExtensionInterfaceGetProcAddress p_get_proc_address, GDExtensionClassLibraryPtr p_library, GDExtensionInitialization *r_initialization) {
	GDExtensionBinding::InitObject init(p_get_proc_address, p_library, r_initialization);
	init.register_initializer(on_init);
	init.register_terminator(on_terminate);
	init.set_minimum_library_initialization_level(MODULE_INITIALIZATION_LEVEL_SCENE);
	return init.init();
}

} // namespace

TEST(ExtensionLevels, StartUpCallsEveryLevelFromCoreWhateverTheMinimumAndShutDownReverses) {
	for (bool editor : { false, true }) {
		calls.clear();
		Host::set_editor_hint(editor);
		Extension ext;
		ASSERT_TRUE(ext.open_entry(scene_minimum_entry));
		EXPECT_EQ(ext.minimum_level(), GDEXTENSION_INITIALIZATION_SCENE);
		ext.initialize();
		ext.close();
		std::vector<std::string> expected = { "init 0", "init 1", "init 2" };
		if (editor) {
			expected.push_back("init 3");
			expected.push_back("term 3");
		}
		for (const char *down : { "term 2", "term 1", "term 0" }) {
			expected.push_back(down);
		}
		EXPECT_EQ(calls, expected) << (editor ? "editor" : "game");
	}
	Host::set_editor_hint(false);
	godot_host::Log::clear();
}
