// The library's shut-down cleanup runs before the OpenXR interface and the
// controllers have gone quiet: their signals, delivered over connections
// that outlived it, use nothing it released; a level loaded afterwards
// plays once the runtime focusses the session again.
#include "game_life/test_more_fixture.hpp"

#include <limits>

using namespace godot;
using godot_host::Host;

class MoreShutdownOrder : public MoreLifeTest {
protected:
	// Everything the runtime and the controllers can still send.
	void every_signal() {
		for (const char *s : { "session_begun", "session_visible", "session_focussed", "session_stopping", "session_loss_pending", "instance_exiting", "pose_recentered" }) {
			openxr->emit_signal(s);
		}
		openxr->emit_signal("play_area_changed", 3);
		openxr->emit_signal("refresh_rate_changed", std::numeric_limits<double>::quiet_NaN());
		openxr->emit_signal("refresh_rate_changed", 120.0);
		for (int hand = 0; hand < 2; hand++) {
			if (!live<XRController3D>(controller_ids[hand])) {
				continue;
			}
			XRController3D *c = controllers[hand];
			c->emit_signal("button_pressed", String("ax_button"));
			c->emit_signal("button_pressed", String("by_button"));
			c->emit_signal("button_released", String("by_button"));
			c->emit_signal("button_released", String("ax_button"));
			c->emit_signal("input_float_changed", String("trigger"), 0.8);
			c->emit_signal("input_float_changed", String("grip"), 0.8);
			c->emit_signal("input_vector2_changed", String("primary"), Vector2(0.9f, -0.9f));
			c->emit_signal("input_vector2_changed", String("secondary"), Vector2(0.9f, 0.0f));
			c->emit_signal("profile_changed", String("/interaction_profiles/oculus/touch_controller"));
		}
	}

	uint64_t controller_ids[2] = { 0, 0 };

	// The greeting answered: the level in the helpers plays.
	void answered_then_plays() {
		ASSERT_TRUE(answer_until_running());
		Host::advance(3.0, 1.0 / 60.0);
		expect_released(made);
		EXPECT_FALSE(hud->is_visible());
		EXPECT_TRUE(stick_reaches(player, controllers[1]));
		expect_sane_pacing();
	}

	void note_controllers() {
		for (int hand = 0; hand < 2; hand++) {
			controller_ids[hand] = controllers[hand]->get_instance_id();
		}
	}
};

// At each stage: cleanup, every signal, frames, the level freed, signals
// again; then the extension's levels deinitialised and signals once more.
TEST_F(MoreShutdownOrder, SignalsAfterCleanupAtEachStage) {
	for (Stage stage : { NONE, BEGUN, VISIBLE, GREETING, PLAYING }) {
		SCOPED_TRACE(stage_name(stage));
		GameLifeTest::TearDown();
		SetUp();
		reach(stage);
		if (stage == GREETING) {
			ASSERT_TRUE(advance_welcome_to(2));
		}
		note_controllers();
		Globals::cleanup();
		every_signal();
		Host::advance(1.0, 1.0 / 60.0);
		every_signal();
		const uint64_t manager_id = manager->get_instance_id();
		ASSERT_EQ(tree()->change_scene_to_packed(empty_scene()), OK);
		end_frame();
		EXPECT_EQ(ObjectDB::get_instance(manager_id), nullptr);
		Host::advance(0.5, 1.0 / 60.0);
		EXPECT_FALSE(paused()) << "no manager left: the game is given back";
		EXPECT_EQ(master_volume() == -1.0f ? 1.0f : master_volume(), 1.0f);
		// The runtime goes on talking as the engine shuts down.
		for (const char *s : { "session_stopping", "session_loss_pending", "instance_exiting" }) {
			openxr->emit_signal(s);
		}
		extension.deinitialize();
		for (const char *s : { "session_visible", "session_focussed", "session_stopping", "instance_exiting" }) {
			openxr->emit_signal(s);
		}
		openxr->emit_signal("refresh_rate_changed", 90.0);
	}
}

// Cleanup with the scene alive and playing: the manager it leaves in place
// still drives its player, and a reloaded level plays once the runtime
// focusses the session again.
TEST_F(MoreShutdownOrder, CleanupThenALevelLoadedAndTheSessionRefocussed) {
	reach(PLAYING);
	note_controllers();
	Globals::cleanup();
	EXPECT_TRUE(stick_reaches(player, controllers[1]));
	every_signal();
	Host::advance(1.0, 1.0 / 60.0);
	change_now(BY_FILE);
	note_controllers();
	emit_session("session_visible");
	emit_session("session_focussed");
	answered_then_plays();
}

// Cleanup while a controller is freed and another signal arrives from the
// interface in the same frame; then the controllers are freed.
TEST_F(MoreShutdownOrder, CleanupThenControllersFreedUnderStaleConnections) {
	reach(GREETING);
	ASSERT_TRUE(advance_welcome_to(8));
	note_controllers();
	Globals::cleanup();
	memdelete(controllers[0]);
	every_signal();
	Host::advance(0.5, 1.0 / 60.0);
	memdelete(controllers[1]);
	every_signal();
	emit_session("session_focussed");
	Host::advance(5.0, 1.0 / 60.0);
	// Nothing can answer the greeting on these controllers; a new level's can.
	change_now(BY_RELOAD);
	note_controllers();
	emit_session("session_focussed");
	answered_then_plays();
}
