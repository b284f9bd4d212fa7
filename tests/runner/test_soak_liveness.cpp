// The soak's liveness check: with the session focussed and no greeting under
// way, a game left paused, muted, hidden or deaf to the stick is reported
// once it has lasted a few seconds, and only then; a script's own doing and
// a session without focus are not the library's.
#include "soak_fixture.hpp"

#include <godot_cpp/classes/audio_server.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>

using namespace godot;
using godot_host::Host;

namespace {

const char *const PAUSED = "the game stays paused";
const char *const MUTED = "the master volume stays below full";
const char *const WORLD = "the world stays hidden";
const char *const HUD_SHOWN = "the HUD stays shown";
const char *const NO_INPUT = "the right stick does not move the player";

TEST_F(SoakTest, APlayableGameIsNoFaultAndTheStickMovesThePlayer) {
	play(12.0);
	EXPECT_TRUE(reports.empty()) << reports.front();
	EXPECT_GT(liveness->counts().judged_frames, 0);
	EXPECT_GT(liveness->counts().probes, 5);
	EXPECT_EQ(liveness->counts().probes_reached, liveness->counts().probes);
}

TEST_F(SoakTest, AStuckStateIsReportedOnceAfterAFewSeconds) {
	play(1.0);
	// Left so by the library, as a manager that waits for events that never come.
	Host::tree()->set_pause(true);
	AudioServer::get_singleton()->set_bus_volume_linear(0, 0.25f);
	play(SoakLiveness::SETTLE_SECONDS - 1.0);
	EXPECT_TRUE(reports.empty()) << reports.front();
	play(2.0);
	EXPECT_EQ(reported(PAUSED), 1);
	EXPECT_EQ(reported(MUTED), 1);
	// The volume is turned up again, as a script would, so a later fault shows
	// too; the pause is reported once until it ends.
	EXPECT_FLOAT_EQ(AudioServer::get_singleton()->get_bus_volume_linear(0), 1.0f);
	play(20.0);
	EXPECT_EQ(reported(PAUSED), 1);
	EXPECT_EQ(reported(MUTED), 1);
	Host::tree()->set_pause(false);
	play(1.0);
	Host::tree()->set_pause(true);
	play(SoakLiveness::SETTLE_SECONDS + 1.0);
	EXPECT_EQ(reported(PAUSED), 2);
}

TEST_F(SoakTest, WhatAScriptOrTheRuntimeDidIsNotTheLibrarys) {
	// A script's pause menu.
	Host::tree()->set_pause(true);
	liveness->note_script_pause(true);
	play(10.0);
	liveness->note_script_pause(false);
	Host::tree()->set_pause(false);
	// A world node a script hid.
	scripts_world = true;
	scene.wall->set_visible(false);
	play(10.0);
	scene.wall->set_visible(true);
	// A session without focus is paused and shows the HUD.
	ASSERT_TRUE(runtime->lose_focus());
	play(20.0);
	EXPECT_TRUE(reports.empty()) << reports.front();
}

TEST_F(SoakTest, AWorldLeftHiddenOrAHudLeftShownIsReported) {
	scene.wall->set_visible(false);
	scene.hud->set_visible(true);
	play(SoakLiveness::SETTLE_SECONDS + 1.0);
	EXPECT_EQ(reported(WORLD), 1);
	EXPECT_EQ(reported(HUD_SHOWN), 1);
	// Shown again, as a script would.
	EXPECT_TRUE(scene.wall->is_visible());
}

TEST_F(SoakTest, AGreetingAnsweredAsAPersonDoesIsNoFault) {
	// Focus lost and back: the welcome back greeting pauses the game until
	// A/X is pressed, which the person in the headset does.
	ASSERT_TRUE(runtime->lose_focus());
	play(1.0);
	ASSERT_TRUE(runtime->regain_focus());
	play(SoakLiveness::GREETING_MOST);
	EXPECT_TRUE(reports.empty()) << reports.front();
	EXPECT_FALSE(Host::tree()->is_paused());
	EXPECT_GT(liveness->counts().presses, 0);
}

TEST_F(SoakTest, AGreetingThatWaitsForPressesNobodyHearsIsReported) {
	// The greeting waits on controllers nobody presses: its pause lasts.
	ASSERT_TRUE(runtime->lose_focus());
	play(1.0);
	ASSERT_TRUE(runtime->regain_focus());
	for (XRController3D *c : scene.controllers) {
		c->set_tracker("nothing");
	}
	play(SoakLiveness::GREETING_MOST);
	EXPECT_EQ(reported(PAUSED), 1);
}

TEST_F(SoakTest, AStickThatDoesNotReachThePlayerIsReported) {
	// The player in the tree no longer processes: whatever the stick says,
	// it does not move.
	scene.player->set_physics_process(false);
	scene.player->set_constant_force(Vector3());
	play(SoakLiveness::SETTLE_SECONDS + 2.0);
	EXPECT_EQ(reported(NO_INPUT), 1);
	EXPECT_EQ(liveness->counts().probes_reached, 0);
	scene.player->set_physics_process(true);
	play(2.0);
	EXPECT_GT(liveness->counts().probes_reached, 0);
	EXPECT_EQ(reported(NO_INPUT), 1);
}

TEST_F(SoakTest, TheStatusLineShowsTheMasterVolume) {
	Session watched(scene, 1.0 / 60.0, true);
	AudioServer::get_singleton()->set_bus_volume_linear(0, 0.37f);
	testing::internal::CaptureStdout();
	watched.run_for(1.1);
	std::string out = testing::internal::GetCapturedStdout();
	EXPECT_NE(out.find("volume 0.37"), std::string::npos) << out;
}

} // namespace
