// The engine's scene changes: the current scene leaves the tree at once, and
// at the end of the frame it is freed and then the new one added, current
// before its nodes are ready; and what each call returns when it can't.
#include "support/code_receiver.hpp"
#include "support/game_fixture.hpp"

#include <godot_cpp/classes/packed_scene.hpp>
#include <godot_cpp/classes/resource_loader.hpp>
#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/classes/window.hpp>

#include <string>
#include <vector>

using namespace godot;
using godot_host::Host;

namespace {

const char *const LEVEL_PATH = "res://levels/level.tscn";

// A packed scene whose instances are a "Level" with one child; p_made counts them.
Ref<PackedScene> level_scene(int *p_made) {
	Ref<PackedScene> scene;
	scene.instantiate();
	scene->_host_set_builder([p_made]() -> Node * {
		Node *level = memnew(Node);
		level->set_name("Level");
		Node *child = memnew(Node);
		child->set_name("Child");
		level->add_child(child);
		(*p_made)++;
		return level;
	});
	return scene;
}

} // namespace

class SceneChangeTest : public GameTest {
protected:
	int made = 0;
	Node *first = nullptr;

	void SetUp() override {
		GameTest::SetUp();
		first = memnew(Node);
		first->set_name("First");
		Host::set_current_scene(first);
	}

	void TearDown() override {
		ResourceLoader::get_singleton()->_host_unregister(LEVEL_PATH);
		GameTest::TearDown();
	}

	static SceneTree *tree() { return Host::tree(); }
};

TEST_F(SceneChangeTest, TheOldSceneLeavesAtOnceAndGoesBeforeTheNewOneComes) {
	const uint64_t first_id = first->get_instance_id();
	// What a script in the new scene sees as it becomes ready.
	std::vector<std::string> seen;
	Ref<PackedScene> scene;
	scene.instantiate();
	scene->_host_set_builder([&]() -> Node * {
		Node *level = memnew(Node);
		level->connect("ready", on_signal(level, [&, level]() {
			seen.push_back(ObjectDB::get_instance(first_id) ? "old scene alive" : "old scene freed");
			seen.push_back(tree()->get_current_scene() == level ? "current" : "not current");
		}));
		return level;
	});

	EXPECT_EQ(tree()->change_scene_to_packed(scene), OK);
	EXPECT_FALSE(first->is_inside_tree());
	EXPECT_EQ(tree()->get_current_scene(), nullptr);
	EXPECT_TRUE(ObjectDB::get_instance(first_id) != nullptr) << "freed only at the end of the frame";
	EXPECT_TRUE(seen.empty());

	Host::iteration(1.0 / 60.0);
	EXPECT_EQ(ObjectDB::get_instance(first_id), nullptr);
	EXPECT_EQ(seen, (std::vector<std::string>{ "old scene freed", "current" }));
	Node *level = tree()->get_current_scene();
	ASSERT_NE(level, nullptr);
	EXPECT_EQ(level->get_parent(), tree()->get_root());
	EXPECT_TRUE(level->is_inside_tree());
}

TEST_F(SceneChangeTest, ByFileAndReloadMakeFreshInstancesOfTheFile) {
	ResourceLoader::get_singleton()->_host_register(LEVEL_PATH, [this]() -> Ref<Resource> { return level_scene(&made); });
	EXPECT_EQ(tree()->change_scene_to_file(LEVEL_PATH), OK);
	Host::iteration(1.0 / 60.0);
	Node *level = tree()->get_current_scene();
	ASSERT_NE(level, nullptr);
	EXPECT_EQ(level->get_scene_file_path(), String(LEVEL_PATH));
	EXPECT_EQ(made, 1);

	const uint64_t level_id = level->get_instance_id();
	EXPECT_EQ(tree()->reload_current_scene(), OK);
	EXPECT_FALSE(level->is_inside_tree());
	EXPECT_EQ(tree()->get_current_scene(), nullptr);
	Host::iteration(1.0 / 60.0);
	EXPECT_EQ(ObjectDB::get_instance(level_id), nullptr);
	ASSERT_NE(tree()->get_current_scene(), nullptr);
	EXPECT_EQ(made, 2);
	EXPECT_EQ(tree()->get_current_scene()->get_child_count(), 1);
}

TEST_F(SceneChangeTest, WhatCantBeLoadedOrMadeChangesNothing) {
	EXPECT_EQ(tree()->change_scene_to_file("res://levels/missing.tscn"), ERR_CANT_OPEN);
	EXPECT_EQ(tree()->change_scene_to_packed(Ref<PackedScene>()), ERR_INVALID_PARAMETER);
	Ref<PackedScene> empty;
	empty.instantiate(); // nothing to instantiate
	EXPECT_EQ(tree()->change_scene_to_packed(empty), ERR_CANT_CREATE);
	// A scene made in code has no file to reload from.
	EXPECT_EQ(tree()->reload_current_scene(), ERR_CANT_OPEN);
	EXPECT_EQ(tree()->get_current_scene(), first);
	EXPECT_TRUE(first->is_inside_tree());
	Host::iteration(1.0 / 60.0);
	EXPECT_EQ(tree()->get_current_scene(), first);

	tree()->get_root()->remove_child(first);
	EXPECT_EQ(tree()->reload_current_scene(), ERR_UNCONFIGURED);
	memdelete(first);
}

TEST_F(SceneChangeTest, TheLastOfTwoChangesInAFrameWins) {
	const uint64_t first_id = first->get_instance_id();
	Ref<PackedScene> scene = level_scene(&made);
	ASSERT_EQ(tree()->change_scene_to_packed(scene), OK);
	ASSERT_EQ(tree()->change_scene_to_packed(scene), OK);
	EXPECT_EQ(made, 2);
	Host::iteration(1.0 / 60.0);
	EXPECT_EQ(ObjectDB::get_instance(first_id), nullptr);
	EXPECT_EQ(tree()->get_root()->get_child_count(), 1) << "the first new scene was freed, not added";
	EXPECT_NE(tree()->get_current_scene(), nullptr);
}
