// Entry, registration and shut-down of the library, as the engine sees them.
#include "_register_nodes.hpp"
#include "globals.hpp"
#include "support/game_fixture.hpp"

#include <godot_cpp/core/class_db.hpp>

#include <dlfcn.h>

using namespace godot;
using godot_host::Extension;
using godot_host::Host;
using godot_host::Log;

namespace {

std::vector<std::string> names(const std::vector<StringName> &p_list) {
	std::vector<std::string> out;
	for (const StringName &n : p_list) {
		out.push_back(String(n).utf8().get_data());
	}
	return out;
}

std::vector<std::string> virtuals_of(const char *p_class) {
	const ClassDB::ClassRecord *rec = ClassDB::get_class_record(p_class);
	return rec ? names(rec->virtuals) : std::vector<std::string>{ "<missing>" };
}

const std::vector<std::string> CLASS_ORDER = { "Player", "BoneCollider", "BoneColliderIK", "HUD", "XRManager", "WelcomeSequence", "WelcomeBackSequence" };

} // namespace

class RegistrationTest : public ::testing::Test {
protected:
	void SetUp() override {
		Host::set_editor_hint(false);
		Host::set_engine_version(4, 4, 1);
		Log::clear();
	}
	void TearDown() override {
		Host::set_engine_version(4, 4, 1);
		Host::set_editor_hint(false);
		Log::clear();
	}
};

TEST_F(RegistrationTest, SevenClassesAtSceneLevelInOrderWithTheirBases) {
	Extension ext;
	ASSERT_TRUE(ext.open_entry(init_nodes));
	EXPECT_EQ(ext.minimum_level(), GDEXTENSION_INITIALIZATION_SCENE);
	EXPECT_TRUE(ClassDB::get_extension_classes().empty()) << "nothing before the levels are initialised";
	ext.initialize();
	EXPECT_EQ(names(ClassDB::get_extension_classes()), CLASS_ORDER);
	const std::vector<std::pair<const char *, const char *>> bases = { { "Player", "RigidBody3D" }, { "BoneCollider", "CollisionShape3D" },
		{ "BoneColliderIK", "BoneCollider" }, { "HUD", "MeshInstance3D" }, { "XRManager", "Node" }, { "WelcomeSequence", "Object" },
		{ "WelcomeBackSequence", "Object" } };
	for (const auto &b : bases) {
		const ClassDB::ClassRecord *rec = ClassDB::get_class_record(b.first);
		ASSERT_NE(rec, nullptr) << b.first;
		EXPECT_EQ(String(rec->parent), String(b.second)) << b.first;
		EXPECT_FALSE(rec->is_virtual);
		EXPECT_FALSE(rec->is_abstract);
		EXPECT_TRUE(rec->is_exposed);
		EXPECT_FALSE(rec->is_runtime);
		EXPECT_EQ(rec->level, MODULE_INITIALIZATION_LEVEL_SCENE);
		EXPECT_TRUE(ClassDB::can_instantiate(b.first));
	}
	ext.close();
	for (const std::string &c : CLASS_ORDER) {
		EXPECT_FALSE(ClassDB::class_exists(c.c_str())) << c << " still registered after shut-down";
	}
	EXPECT_EQ(Log::error_count(), 0);
}

TEST_F(RegistrationTest, OnlyOverriddenVirtualsAreBoundInSlotOrder) {
	Extension ext;
	ASSERT_TRUE(ext.open_entry(init_nodes));
	ext.initialize();
	EXPECT_EQ(virtuals_of("Player"), (std::vector<std::string>{ "_process", "_physics_process", "_ready", "_integrate_forces" }));
	EXPECT_EQ(virtuals_of("BoneCollider"), (std::vector<std::string>{ "_process", "_physics_process", "_ready" }));
	EXPECT_EQ(virtuals_of("BoneColliderIK"), (std::vector<std::string>{ "_process", "_physics_process", "_ready" }));
	EXPECT_EQ(virtuals_of("HUD"), (std::vector<std::string>{ "_ready" }));
	// Entering and leaving the tree hands the game over.
	EXPECT_EQ(virtuals_of("XRManager"), (std::vector<std::string>{ "_process", "_enter_tree", "_exit_tree", "_ready" }));
	EXPECT_EQ(virtuals_of("WelcomeSequence"), std::vector<std::string>{});
	EXPECT_EQ(virtuals_of("WelcomeBackSequence"), std::vector<std::string>{});
	ext.close();
}

TEST_F(RegistrationTest, OtherLevelsRegisterAndReleaseNothing) {
	for (ModuleInitializationLevel level : { MODULE_INITIALIZATION_LEVEL_CORE, MODULE_INITIALIZATION_LEVEL_SERVERS, MODULE_INITIALIZATION_LEVEL_EDITOR }) {
		register_nodes(level);
		EXPECT_TRUE(ClassDB::get_extension_classes().empty()) << "level " << level;
	}
	XRController3D *controller = memnew(XRController3D);
	Globals::set_hand_controller(0, controller);
	Globals::pos_trackers.resize(5);
	for (ModuleInitializationLevel level : { MODULE_INITIALIZATION_LEVEL_CORE, MODULE_INITIALIZATION_LEVEL_SERVERS, MODULE_INITIALIZATION_LEVEL_EDITOR }) {
		terminate_nodes(level);
	}
	EXPECT_EQ(Globals::get_hand_controller(0), controller);
	EXPECT_EQ(Globals::pos_trackers.size(), 5u);
	terminate_nodes(MODULE_INITIALIZATION_LEVEL_SCENE);
	EXPECT_EQ(Globals::get_hand_controller(0), nullptr);
	EXPECT_EQ(Globals::pos_trackers.size(), 3u);
	memdelete(controller);
}

TEST_F(RegistrationTest, EditorRunsTheEditorLevelWithoutRegisteringAnythingThere) {
	Host::set_editor_hint(true);
	Extension ext;
	ASSERT_TRUE(ext.open_entry(init_nodes));
	ext.initialize();
	EXPECT_EQ(ext.initialized_level(), GDEXTENSION_INITIALIZATION_EDITOR);
	EXPECT_EQ(names(ClassDB::get_extension_classes()), CLASS_ORDER);
	for (const std::string &c : CLASS_ORDER) {
		EXPECT_EQ(ClassDB::get_class_record(c.c_str())->level, MODULE_INITIALIZATION_LEVEL_SCENE);
	}
	ext.close();
	EXPECT_EQ(ext.initialized_level(), -1);
	EXPECT_TRUE(ClassDB::get_extension_classes().empty());
}

TEST_F(RegistrationTest, AnOlderEngineIsRefusedWithTheBindingsMessage) {
	Host::set_engine_version(4, 4, 0);
	Extension ext;
	EXPECT_FALSE(ext.open_entry(init_nodes));
	EXPECT_FALSE(ext.is_open());
	std::vector<godot_host::LogEntry> errors = Log::errors();
	ASSERT_GE(errors.size(), 1u);
	EXPECT_EQ(errors[0].text, "Cannot load a GDExtension built for Godot 4.4.1 using an older version of Godot (4.4.0).");
	ext.initialize(); // refused: the engine never calls the level callbacks
	EXPECT_TRUE(ClassDB::get_extension_classes().empty());

	Host::set_engine_version(4, 5, 0); // newer engines are accepted
	Extension newer;
	EXPECT_TRUE(newer.open_entry(init_nodes));
	newer.close();
}

TEST_F(RegistrationTest, TheBuiltLibraryLoadsThroughItsEntrySymbolOnly) {
	Extension ext;
	ASSERT_TRUE(ext.open(MOSSGLIMMER_LIBRARY)) << ext.last_error();
	ext.initialize();
	EXPECT_EQ(names(ClassDB::get_extension_classes()), CLASS_ORDER);
	Object *hud = ClassDB::instantiate("HUD");
	ASSERT_NE(hud, nullptr);
	EXPECT_TRUE(hud->is_class("MeshInstance3D"));
	EXPECT_EQ(hud->get_class(), String("HUD"));
	memdelete(hud);
	ext.close();
	EXPECT_FALSE(ClassDB::class_exists("HUD"));

	// Everything but the entry point stays inside the library.
	void *handle = dlopen(MOSSGLIMMER_LIBRARY, RTLD_NOW | RTLD_LOCAL);
	ASSERT_NE(handle, nullptr);
	EXPECT_NE(dlsym(handle, "init_nodes"), nullptr);
	EXPECT_EQ(dlsym(handle, "_Z14register_nodesN5godot25ModuleInitializationLevelE"), nullptr);
	EXPECT_EQ(dlsym(handle, "_ZN5godot7Globals6is_devE"), nullptr);
	dlclose(handle);
}
