#ifndef MOSSGLIMMER_TESTS_SCENE_CHANGE_FIXTURE_HPP
#define MOSSGLIMMER_TESTS_SCENE_CHANGE_FIXTURE_HPP

// The game's scene as a file that the engine loads, changes and reloads while
// the XR session goes on, and the checks that the game then runs from the
// scene in the tree.
#include "xr_manager/xr_scene.hpp"

#include <godot_cpp/classes/packed_scene.hpp>
#include <godot_cpp/classes/resource_loader.hpp>
#include <godot_cpp/classes/xr_positional_tracker.hpp>

class XRSceneChangeTest : public XRSceneTest {
protected:
	static constexpr const char *LEVEL_PATH = "res://levels/game.tscn";
	// The nodes of the scene that the level file made last.
	SceneNodes made;
	godot::Ref<godot::XRPositionalTracker> left_tracker;

	void SetUp() override {
		XRSceneTest::SetUp();
		add_openxr();
		left_tracker.instantiate();
		left_tracker->set_tracker_name("left_hand");
		server()->add_tracker(left_tracker);
		godot::ResourceLoader::get_singleton()->_host_register(LEVEL_PATH, [this]() -> godot::Ref<godot::Resource> {
			godot::Ref<godot::PackedScene> scene;
			scene.instantiate();
			scene->_host_set_builder([this]() -> godot::Node * {
				made = make_scene();
				return made.root;
			});
			return scene;
		});
		ASSERT_EQ(godot_host::Host::tree()->change_scene_to_file(LEVEL_PATH), godot::OK);
		end_frame();
		use_scene(made);
	}

	void TearDown() override {
		godot::ResourceLoader::get_singleton()->_host_unregister(LEVEL_PATH);
		left_tracker.unref();
		XRSceneTest::TearDown();
	}

	static void end_frame() { godot_host::Host::iteration(1.0 / 60.0); }

	// The level is reloaded by a script; the helpers work on the new one.
	void reload() {
		ASSERT_EQ(godot_host::Host::tree()->reload_current_scene(), godot::OK);
		end_frame();
		use_scene(made);
	}

	// The session up to the game: greeted, answered, faded in.
	void play_to_game() {
		emit_session("session_begun");
		emit_session("session_visible");
		emit_session("session_focussed");
		ASSERT_TRUE(answer_until_running());
		godot_host::Host::advance(2.5, 1.0 / 60.0);
		ASSERT_EQ(master_volume(), 1.0f);
	}

	// The game runs from the scene in the helpers: its manager runs, the
	// world shows, the shared state names its nodes, and its controllers
	// reach its player.
	void expect_game_runs_here() {
		EXPECT_TRUE(manager->is_running());
		EXPECT_FALSE(paused());
		EXPECT_EQ(master_volume(), 1.0f);
		EXPECT_TRUE(world->is_visible());
		EXPECT_FALSE(hidden->is_visible());
		EXPECT_TRUE(skeleton->is_visible());
		EXPECT_FALSE(hud->is_visible());
		EXPECT_EQ(godot::Globals::get_xr_camera(), manager->find_child("XRCamera3D", true, false));
		EXPECT_EQ(godot::Globals::get_xr_origin(), manager->find_child("XROrigin3D", true, false));
		EXPECT_EQ(godot::Globals::get_hand_controller(0), controllers[0]);
		EXPECT_EQ(godot::Globals::get_hand_controller(1), controllers[1]);
		ASSERT_EQ(godot::Globals::pos_trackers.size(), 3u);
		EXPECT_EQ(godot::Globals::pos_trackers[0], left_tracker);
		const float before = player->finger_targets[1][1];
		controllers[1]->emit_signal("input_float_changed", godot::String("trigger"), before + 0.5f);
		EXPECT_NE(player->finger_targets[1][1], before) << "input reaches the player";
		controllers[1]->emit_signal("input_float_changed", godot::String("trigger"), 0.0f);
	}

	int banners() {
		int n = 0;
		for (const std::string &l : godot_host::Log::printed_lines()) {
			n += l.rfind("++++++++++", 0) == 0 ? 1 : 0;
		}
		return n;
	}
};

#endif // MOSSGLIMMER_TESTS_SCENE_CHANGE_FIXTURE_HPP
