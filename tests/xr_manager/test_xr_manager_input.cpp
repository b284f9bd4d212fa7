// Controller routing: the recentre chord, the grip-sensor probe and
// controller events with partners missing.
#include "xr_manager/xr_scene.hpp"

using namespace godot;
using godot_host::Log;

class XRManagerInput : public XRSceneTest {
protected:
	void SetUp() override {
		XRSceneTest::SetUp();
		add_openxr();
		build_scene();
		start();
		Log::clear();
	}
};

TEST_F(XRManagerInput, AxThenByOnEitherHandRecentres) {
	press(0, "ax_button");
	EXPECT_EQ(recentre_count(), 0u);
	press(1, "by_button");
	EXPECT_EQ(recentre_count(), 1u);
	EXPECT_EQ(server()->_host_center_calls()[0].rotation_mode, XRServer::RESET_FULL_ROTATION);
	EXPECT_FALSE(server()->_host_center_calls()[0].keep_height);

	// While both are held, any press recentres again.
	press(0, "trigger_click");
	EXPECT_EQ(recentre_count(), 2u);
	release(1, "by_button");
	EXPECT_EQ(recentre_count(), 2u); // releases never recentre
	press(1, "by_button");
	EXPECT_EQ(recentre_count(), 3u);
	EXPECT_TRUE(game_errors().empty());
}

TEST_F(XRManagerInput, ByThenAxRecentresOnTheAxPress) {
	press(1, "by_button");
	EXPECT_EQ(recentre_count(), 0u);
	press(0, "ax_button");
	EXPECT_EQ(recentre_count(), 1u);
}

TEST_F(XRManagerInput, OneFlagPerButtonNotPerHand) {
	press(0, "ax_button");
	press(1, "ax_button");
	release(1, "ax_button"); // the left one is still held, but the flag is down
	EXPECT_FALSE(manager->ax_button_down);
	press(0, "by_button");
	EXPECT_EQ(recentre_count(), 0u);
}

TEST_F(XRManagerInput, GripProbeFiresOnceOnAGripEvent) {
	ASSERT_TRUE(Log::errors().empty());
	XRSceneTest::TearDown();
	XRSceneTest::SetUp();
	Globals::is_dev = true;
	add_openxr();
	build_scene();
	start();

	controllers[0]->emit_signal("input_float_changed", String("trigger"), 0.7f);
	EXPECT_FALSE(manager->get_use_grip_sensor());
	EXPECT_EQ(controllers[1]->_host_connection_count("input_float_changed"), 2);

	controllers[1]->emit_signal("input_float_changed", String("grip"), 0.0f);
	EXPECT_TRUE(manager->get_use_grip_sensor());
	for (int hand = 0; hand < 2; hand++) {
		EXPECT_FALSE(controllers[hand]->is_connected("input_float_changed", Callable(manager, "_check_for_grip_sensor")));
		EXPECT_EQ(controllers[hand]->_host_connection_count("input_float_changed"), 1);
	}
	EXPECT_TRUE(game_errors().empty());
}

TEST_F(XRManagerInput, RegularRunNeverProbes) {
	controllers[0]->emit_signal("input_float_changed", String("grip"), 1.0f);
	EXPECT_FALSE(manager->get_use_grip_sensor());
}

TEST_F(XRManagerInput, WithoutPlayerOrServerNothingIsDereferenced) {
	manager->player = nullptr;
	manager->xr_server = nullptr;
	manager->_on_button_pressed("ax_button", 0);
	manager->_on_button_pressed("by_button", 0); // would recentre
	manager->_on_button_released("by_button", 0);
	manager->_on_input_float_changed("trigger", 1.0f, 1);
	manager->_on_input_vector2_changed("primary", Vector2(1, 0), 1);
	manager->_on_profile_changed("left_hand", 0);
	manager->_on_pose_recentered();
	EXPECT_EQ(recentre_count(), 0u);
	// The missing server is reported at each recentre; a missing player was
	// reported at start-up, so its events go nowhere without a word each.
	EXPECT_EQ(game_errors().size(), 2u);
}

TEST_F(XRManagerInput, TheGripThatTripsTheProbeReachesThePlayerUnprobed) {
	XRSceneTest::TearDown();
	XRSceneTest::SetUp();
	Globals::is_dev = true;
	add_openxr();
	build_scene();
	start();
	float *fingers = player->finger_targets[0];

	controllers[0]->emit_signal("input_float_changed", String("trigger"), 0.8f);
	EXPECT_EQ(fingers[0], 0.8f); // the trigger closes the whole hand without a sensor
	EXPECT_EQ(fingers[2], 0.8f);

	// Forwarded before the probe runs: the player still maps without a sensor
	// and ignores the grip.
	controllers[0]->emit_signal("input_float_changed", String("grip"), 0.5f);
	EXPECT_TRUE(manager->get_use_grip_sensor());
	EXPECT_EQ(fingers[2], 0.8f);

	controllers[0]->emit_signal("input_float_changed", String("grip"), 0.5f);
	EXPECT_NE(fingers[2], 0.8f);
	controllers[0]->emit_signal("input_float_changed", String("trigger"), 0.3f);
	EXPECT_EQ(fingers[1], 0.3f);
	EXPECT_EQ(fingers[0], 0.8f); // the trigger now moves the index finger only
}
