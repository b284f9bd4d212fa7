// What leaves while the game runs: the manager freed (at once or queued) at
// each stage, its partners freed, scripts that free more while the library
// gives the world back, the library's shut-down with the scene alive, and
// what the library hands scripts afterwards.
#include "game_life/game_life_fixture.hpp"

using namespace godot;
using godot_host::Host;
using godot_host::Log;

class LifeLeaving : public GameLifeTest {
protected:
	// With no manager left, the library gives back what it held (a pause
	// that a script made is the script's).
	static void expect_given_back(const SceneNodes &p_scene, bool p_script_paused);
};

void LifeLeaving::expect_given_back(const SceneNodes &p_scene, bool p_script_paused) {
	EXPECT_EQ(Host::tree()->is_paused(), p_script_paused);
	const auto &calls = AudioServer::get_singleton()->_host_linear_volume_calls();
	EXPECT_TRUE(calls.empty() || calls.back().linear == 1.0f);
	EXPECT_TRUE(p_scene.world->is_visible());
	EXPECT_FALSE(p_scene.hidden->is_visible());
	EXPECT_TRUE(p_scene.skeleton->is_visible());
	EXPECT_FALSE(p_scene.hud->is_visible());
	EXPECT_EQ(Globals::get_xr_camera(), nullptr);
	EXPECT_EQ(Globals::get_hand_controller(0), nullptr);
}

TEST_F(LifeLeaving, ManagerFreedOrQueuedAtEachStageGivesTheGameBack) {
	for (Stage stage : { NONE, BEGUN, VISIBLE, GREETING, PLAYING, PAUSED_BY_SCRIPT }) {
		for (bool queued : { false, true }) {
			SCOPED_TRACE(std::string(stage_name(stage)) + (queued ? " / queue_free" : " / free"));
			GameLifeTest::TearDown();
			SetUp();
			reach(stage);
			if (stage == GREETING) {
				ASSERT_TRUE(advance_welcome_to(3));
			}
			if (queued) {
				manager->queue_free();
			} else {
				memdelete(manager);
			}
			Host::advance(0.5, 1.0 / 60.0);
			expect_given_back(made, stage == PAUSED_BY_SCRIPT);
			// The level again: it takes the session as it stands.
			change_now(BY_FILE);
			go_on_from(stage);
			expect_plays_on();
		}
	}
}

// Partners freed while the manager runs mid-greeting: the greeting ends or
// goes on, the game plays; the next level's partners are the ones named.
TEST_F(LifeLeaving, PartnersFreedMidGreetingThenANewLevelPlays) {
	enum Gone { HUD_GONE, PLAYER_GONE, LEFT_CONTROLLER_GONE, BOTH_CONTROLLERS_GONE, ORIGIN_GONE, CAMERA_GONE };
	for (Gone gone : { HUD_GONE, PLAYER_GONE, LEFT_CONTROLLER_GONE, BOTH_CONTROLLERS_GONE, ORIGIN_GONE, CAMERA_GONE }) {
		SCOPED_TRACE((int)gone);
		GameLifeTest::TearDown();
		SetUp();
		reach(GREETING);
		ASSERT_TRUE(advance_welcome_to(2));
		switch (gone) {
			case HUD_GONE:
				memdelete(hud);
				break;
			case PLAYER_GONE:
				memdelete(player);
				break;
			case LEFT_CONTROLLER_GONE:
				memdelete(controllers[0]);
				break;
			case BOTH_CONTROLLERS_GONE:
				memdelete(controllers[0]);
				memdelete(controllers[1]);
				break;
			case ORIGIN_GONE:
				memdelete(manager->find_child("XROrigin3D", true, false));
				break;
			case CAMERA_GONE:
				memdelete(manager->find_child("XRCamera3D", true, false));
				break;
		}
		if (gone == HUD_GONE || gone == PLAYER_GONE || gone == BOTH_CONTROLLERS_GONE) {
			// Nothing can answer the greeting: it ends within a few seconds.
			EXPECT_TRUE(advance_until([]() { return !paused(); }, 5.0));
		} else if (gone == LEFT_CONTROLLER_GONE) {
			// The right hand answers.
			for (int i = 0; i < 8 && paused(); i++) {
				advance_until([&]() { return !paused() || controllers[1]->_host_connection_count("button_pressed") > 1; }, 10.0);
				if (paused()) {
					press(1, "ax_button");
				}
			}
			EXPECT_FALSE(paused());
		} else {
			ASSERT_TRUE(answer_until_running());
		}
		change_now(BY_RELOAD);
		expect_plays_on();
	}
}

// Scripts on the world's "visibility_changed" free more as the library puts
// the world back at the greeting's end: the manager itself, its parent (the
// rig with player and HUD), or the whole level.
TEST_F(LifeLeaving, ScriptsFreeingMoreWhileTheWorldIsRestored) {
	enum Victim { MANAGER, RIG, LEVEL };
	for (Victim victim : { MANAGER, RIG, LEVEL }) {
		SCOPED_TRACE((int)victim);
		GameLifeTest::TearDown();
		SetUp();
		reach(GREETING);
		ASSERT_TRUE(advance_welcome_to(8));
		SceneNodes level = made;
		bool fired = false;
		world->connect("visibility_changed", on_first_signal(world, [&]() {
			fired = true;
			switch (victim) {
				case MANAGER:
					memdelete(level.manager);
					break;
				case RIG:
					memdelete(level.manager->get_parent());
					break;
				case LEVEL:
					level.root->queue_free();
					break;
			}
		}));
		press(0, "ax_button");
		ASSERT_TRUE(fired);
		Host::advance(0.5, 1.0 / 60.0);
		EXPECT_FALSE(paused());
		EXPECT_EQ(master_volume(), 1.0f);
		if (victim == MANAGER) {
			EXPECT_TRUE(level.world->is_visible());
			EXPECT_TRUE(level.skeleton->is_visible());
			EXPECT_FALSE(level.hud->is_visible());
		}
		if (victim != LEVEL) {
			change_now(BY_RELOAD);
		} else {
			change_now(BY_FILE);
		}
		expect_plays_on();
	}
}

// A script on the HUD's "visibility_changed" frees the manager as the session
// shows (the library hides the world and shows the HUD), and another on the
// level's "tree_exited" frees the rig as the level is changed mid-greeting.
TEST_F(LifeLeaving, ScriptsFreeingTheManagerOrItsRigFromTreeSignals) {
	const uint64_t first_manager = manager->get_instance_id();
	hud->connect("visibility_changed", on_first_signal(hud, [&]() { memdelete(manager); }));
	emit_session("session_begun");
	end_frame();
	EXPECT_EQ(ObjectDB::get_instance(first_manager), nullptr);
	// The world the manager hid is shown again: nobody runs the game.
	EXPECT_TRUE(world->is_visible());
	EXPECT_FALSE(paused());
	change_now(BY_FILE);
	emit_session("session_visible");
	emit_session("session_focussed");
	ASSERT_TRUE(advance_welcome_to(4));
	SceneNodes level = made;
	Node *rig = level.manager->get_parent();
	root->connect("tree_exited", on_first_signal(root, [rig]() { memdelete(rig); }));
	change_now(BY_FILE);
	expect_plays_on();
}

// The library's shut-down (its terminator's cleanup) runs while the scene is
// still alive mid-greeting: the frames, the session's events and freeing the
// scene afterwards use nothing it released.
TEST_F(LifeLeaving, CleanupWithTheSceneAliveThenTheSceneGoes) {
	reach(GREETING);
	ASSERT_TRUE(advance_welcome_to(2));
	Globals::cleanup();
	Host::advance(1.0, 1.0 / 60.0);
	press(0, "ax_button");
	emit_session("session_visible");
	emit_session("pose_recentered");
	openxr->emit_signal("refresh_rate_changed", 72.0);
	Host::advance(1.0, 1.0 / 60.0);
	const uint64_t first = manager->get_instance_id();
	tree()->change_scene_to_packed(empty_scene());
	end_frame();
	EXPECT_EQ(ObjectDB::get_instance(first), nullptr);
	EXPECT_FALSE(paused());
}

// What the library hands scripts after the manager left: a greeting a
// script made and gave the manager returns nothing once that manager is
// freed, and its handlers do nothing.
TEST_F(LifeLeaving, AGreetingsValueAfterItsManagerLeft) {
	reach(PLAYING);
	for (const char *cls : { "WelcomeSequence", "WelcomeBackSequence" }) {
		SCOPED_TRACE(cls);
		Object *greeting = ClassDB::instantiate(StringName(cls));
		ASSERT_NE(greeting, nullptr);
		greeting->call("set_value", manager);
		EXPECT_EQ(Object::cast_to<XRManager>(greeting->call("get_value")), manager);
		change_now(BY_RELOAD);
		Variant value = greeting->call("get_value");
		EXPECT_EQ(value.get_type() == Variant::OBJECT ? (Object *)value : nullptr, nullptr);
		greeting->call("_on_timer_timeout");
		greeting->call("_on_finished_typing");
		greeting->call("_on_button_pressed", String("ax_button"), 0);
		memdelete(greeting);
		expect_plays_on();
	}
}
