// The engine changes the scene while the XR session goes on (a respawn, the
// next level): the runtime sends no session event again, and the game runs
// on from the new scene as the session stands.
#include "xr_manager/scene_change_fixture.hpp"

#include "sequences/welcome_back_sequence.hpp"
#include "sequences/welcome_sequence.hpp"

using namespace godot;
using godot_host::Host;
using godot_host::Log;

using XRManagerSceneChange = XRSceneChangeTest;

TEST_F(XRManagerSceneChange, ReloadWhilePlayingGoesOnPlaying) {
	play_to_game();
	const uint64_t old_manager = manager->get_instance_id();
	const int banners_before = banners();
	reload();
	EXPECT_EQ(ObjectDB::get_instance(old_manager), nullptr);
	expect_game_runs_here();
	EXPECT_EQ(manager->welcome_sequence, nullptr);
	EXPECT_EQ(manager->welcome_back_sequence, nullptr);
	EXPECT_EQ(banners(), banners_before);
	// The recentre chord works on the new controllers.
	const size_t recentres = recentre_count();
	press(0, "ax_button");
	press(1, "by_button");
	EXPECT_EQ(recentre_count(), recentres + 1);
	// Focus lost and regained in the new scene: the short greeting, as ever.
	emit_session("session_visible");
	EXPECT_TRUE(paused());
	emit_session("session_focussed");
	EXPECT_NE(Object::cast_to<WelcomeBackSequence>(manager->welcome_back_sequence), nullptr);
	ASSERT_TRUE(answer_until_running());
	EXPECT_TRUE(game_errors().empty());
}

// A script that calls a session handler tells that manager, not what the
// runtime said: the next scene takes the session as the runtime left it.
TEST_F(XRManagerSceneChange, AHandlerCalledByAScriptLeavesTheSessionAsItIs) {
	play_to_game();
	manager->_on_session_visible();
	manager->_on_session_stopping();
	reload();
	expect_game_runs_here();
}

TEST_F(XRManagerSceneChange, ReloadWhileTheFocusIsLostWaitsPausedForIt) {
	play_to_game();
	emit_session("session_visible");
	reload();
	EXPECT_TRUE(paused());
	EXPECT_TRUE(hud->is_visible());
	EXPECT_FALSE(world->is_visible());
	EXPECT_FALSE(skeleton->is_visible());
	emit_session("session_focussed");
	ASSERT_TRUE(answer_until_running());
	expect_game_runs_here();
}

TEST_F(XRManagerSceneChange, ReloadDuringTheFirstGreetingStartsTheGame) {
	emit_session("session_begun");
	emit_session("session_visible");
	emit_session("session_focussed");
	const uint64_t greeting = manager->welcome_sequence->get_instance_id();
	Host::advance(3.0, 1.0 / 60.0);
	reload();
	EXPECT_EQ(ObjectDB::get_instance(greeting), nullptr);
	// The first-run greeting was given: the new scene plays at once.
	Host::advance(2.5, 1.0 / 60.0);
	expect_game_runs_here();
	EXPECT_EQ(manager->welcome_sequence, nullptr);
}

TEST_F(XRManagerSceneChange, ReloadMidFadeFadesOnFromThere) {
	emit_session("session_begun");
	Host::advance(0.5, 1.0 / 60.0);
	const float reached = master_volume();
	ASSERT_GT(reached, 0.1f);
	ASSERT_LT(reached, 0.5f);
	AudioServer::get_singleton()->_host_reset();
	reload();
	EXPECT_TRUE(hud->is_visible());
	Host::advance(2.5, 1.0 / 60.0);
	const auto &calls = AudioServer::get_singleton()->_host_linear_volume_calls();
	ASSERT_FALSE(calls.empty());
	float last = reached;
	for (const AudioServer::VolumeCall &c : calls) {
		EXPECT_GE(c.linear, last) << "never back down";
		last = c.linear;
	}
	EXPECT_EQ(last, 1.0f);
}

// A scene without a manager (a menu, say) mid-greeting: nothing is left to
// end the greeting or fade in, so the library gives the game back.
TEST_F(XRManagerSceneChange, ASceneWithoutAManagerGetsTheGameBack) {
	emit_session("session_begun");
	emit_session("session_visible");
	emit_session("session_focussed");
	Host::advance(0.5, 1.0 / 60.0);
	Ref<PackedScene> menu;
	menu.instantiate();
	menu->_host_set_builder([]() -> Node * { return memnew(Node3D); });
	ASSERT_EQ(Host::tree()->change_scene_to_packed(menu), OK);
	end_frame();
	EXPECT_FALSE(paused());
	EXPECT_EQ(master_volume(), 1.0f);
	EXPECT_EQ(Globals::get_xr_camera(), nullptr);
	EXPECT_EQ(Globals::get_hand_controller(0), nullptr);
	EXPECT_TRUE(Globals::pos_trackers[0].is_null());

	// The game's scene again: it takes the session as it is.
	ASSERT_EQ(Host::tree()->change_scene_to_file(LEVEL_PATH), OK);
	end_frame();
	use_scene(made);
	expect_game_runs_here();
}

// The session shows and gains the focus while a scene without a manager (a
// loading screen) runs: the library follows the session all the same, and
// the game's scene, when it comes, gives the first-run greeting at once.
TEST_F(XRManagerSceneChange, EventsWhileNoManagerIsThereAreNotLost) {
	emit_session("session_begun");
	Ref<PackedScene> loading;
	loading.instantiate();
	loading->_host_set_builder([]() -> Node * { return memnew(Node3D); });
	ASSERT_EQ(Host::tree()->change_scene_to_packed(loading), OK);
	end_frame();
	emit_session("session_visible");
	emit_session("session_focussed");
	ASSERT_EQ(Host::tree()->change_scene_to_file(LEVEL_PATH), OK);
	end_frame();
	use_scene(made);
	EXPECT_TRUE(paused());
	EXPECT_TRUE(hud->is_visible());
	EXPECT_NE(Object::cast_to<WelcomeSequence>(manager->welcome_sequence), nullptr);
	ASSERT_TRUE(answer_until_running());
	Host::advance(3.0, 1.0 / 60.0);
	expect_game_runs_here();
}
