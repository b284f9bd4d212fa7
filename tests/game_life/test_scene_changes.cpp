// The engine changes the level at every stage of the session, by each of its
// three ways, twice in a frame and from inside the game's own signals. The
// runtime sends no session event again; the game must run on from the new
// scene.
#include "game_life/game_life_fixture.hpp"

using namespace godot;
using godot_host::Host;
using godot_host::Log;

using LifeSceneChange = GameLifeTest;

TEST_F(LifeSceneChange, EachWayOfChangingAtEachStagePlaysOn) {
	for (Stage stage : { NONE, BEGUN, VISIBLE, GREETING, PLAYING, PAUSED_BY_SCRIPT }) {
		for (Change how : { BY_FILE, BY_PACKED, BY_RELOAD }) {
			SCOPED_TRACE(std::string(stage_name(stage)) + " / way " + std::to_string((int)how));
			GameLifeTest::TearDown();
			SetUp();
			reach(stage);
			change_now(how);
			if (stage == NONE) {
				EXPECT_TRUE(paused()) << "waits paused for the session";
			}
			go_on_from(stage);
			expect_plays_on();
		}
	}
}

// At every wait of the first-run greeting (its start delay, each typing and
// each press), the level is reloaded: the first greeting was given, so the
// new scene plays at once.
TEST_F(LifeSceneChange, ChangeAtEachWaitOfTheFirstGreetingPlaysOn) {
	for (int32_t state = 0; state <= 8; state++) {
		SCOPED_TRACE(state);
		GameLifeTest::TearDown();
		SetUp();
		reach(GREETING);
		ASSERT_TRUE(advance_welcome_to(state));
		const uint64_t greeting = manager->welcome_sequence->get_instance_id();
		change_now(Change(state % 3));
		EXPECT_EQ(ObjectDB::get_instance(greeting), nullptr);
		Host::advance(0.5, 1.0 / 60.0);
		EXPECT_FALSE(paused()) << "plays at once";
		expect_plays_on();
	}
}

// Two changes in one frame: the second wins, the first pending scene (never
// in the tree, its manager never ready) goes without a trace.
TEST_F(LifeSceneChange, TwoChangesInOneFrameLeaveTheSecondScenePlaying) {
	for (Stage stage : { BEGUN, GREETING, PLAYING }) {
		SCOPED_TRACE(stage_name(stage));
		GameLifeTest::TearDown();
		SetUp();
		reach(stage);
		ASSERT_EQ(change(BY_RELOAD), OK);
		SceneNodes first = made;
		const uint64_t first_manager = first.manager->get_instance_id();
		ASSERT_EQ(change(BY_PACKED), OK);
		end_frame();
		use_scene(made);
		EXPECT_EQ(ObjectDB::get_instance(first_manager), nullptr);
		EXPECT_EQ(tree()->get_current_scene(), root);
		go_on_from(stage);
		expect_plays_on();
	}
}

// A script on the HUD's "finished_typing" reloads the level: the greeting
// that listens to the same signal is ended by the change under it.
TEST_F(LifeSceneChange, ReloadFromFinishedTypingPlaysOn) {
	reach(GREETING);
	bool changed = false;
	hud->connect("finished_typing", on_first_signal(hud, [&]() {
		changed = true;
		EXPECT_EQ(tree()->reload_current_scene(), OK);
	}));
	ASSERT_TRUE(advance_until([&]() { return changed; }, 10.0));
	end_frame();
	use_scene(made);
	expect_plays_on();
}

// A script listening to the greeting's own timer changes the level, once at
// the start delay's end and once at a later watch.
TEST_F(LifeSceneChange, ChangeFromTheGreetingTimersTimeoutPlaysOn) {
	for (int32_t at_state : { 0, 2 }) {
		SCOPED_TRACE(at_state);
		GameLifeTest::TearDown();
		SetUp();
		reach(GREETING);
		ASSERT_TRUE(advance_welcome_to(at_state));
		WelcomeSequence *greeting = Object::cast_to<WelcomeSequence>(manager->welcome_sequence);
		ASSERT_NE(greeting->timer, nullptr);
		bool changed = false;
		greeting->timer->connect("timeout", on_first_signal(greeting->timer, [&]() {
			changed = true;
			EXPECT_EQ(tree()->change_scene_to_file(LEVEL_PATH), OK);
		}));
		ASSERT_TRUE(advance_until([&]() { return changed; }, 10.0));
		end_frame();
		use_scene(made);
		expect_plays_on();
	}
}

// A world node's "visibility_changed" reloads the level while the library
// hides the world (the session shows) and while it shows it again (the
// greeting's end).
TEST_F(LifeSceneChange, ReloadFromAWorldNodesVisibilityChangedPlaysOn) {
	bool changed = false;
	world->connect("visibility_changed", on_first_signal(world, [&]() {
		changed = true;
		EXPECT_EQ(tree()->reload_current_scene(), OK);
	}));
	emit_session("session_begun");
	ASSERT_TRUE(changed);
	end_frame();
	use_scene(made);
	EXPECT_TRUE(hud->is_visible());
	EXPECT_FALSE(world->is_visible());

	// The new scene's world, as the greeting ends.
	emit_session("session_visible");
	emit_session("session_focussed");
	ASSERT_TRUE(advance_welcome_to(8));
	changed = false;
	world->connect("visibility_changed", on_first_signal(world, [&]() {
		changed = true;
		EXPECT_EQ(tree()->reload_current_scene(), OK);
	}));
	press(0, "ax_button");
	ASSERT_TRUE(changed);
	end_frame();
	use_scene(made);
	expect_plays_on();
}

// A script on a controller's "button_pressed" reloads the level: at the
// press that ends the greeting, and at the recentre chord while playing.
TEST_F(LifeSceneChange, ReloadFromAControllersButtonHandlerPlaysOn) {
	reach(GREETING);
	ASSERT_TRUE(advance_welcome_to(8));
	controllers[0]->connect("button_pressed", on_first_signal(controllers[0], [&]() { EXPECT_EQ(tree()->reload_current_scene(), OK); }));
	press(0, "ax_button");
	release(0, "ax_button");
	end_frame();
	use_scene(made);
	expect_plays_on();

	controllers[1]->connect("button_pressed", on_first_signal(controllers[1], [&]() { EXPECT_EQ(tree()->reload_current_scene(), OK); }));
	press(0, "ax_button");
	press(1, "by_button");
	end_frame();
	use_scene(made);
	expect_plays_on();
	// The old scene's held button does not linger in the new one: a single
	// press recentres nothing.
	const size_t recentres = recentre_count();
	press(1, "by_button");
	EXPECT_EQ(recentres, recentre_count());
}
