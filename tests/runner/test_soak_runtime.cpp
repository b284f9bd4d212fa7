// The soak's runtime sends the session's events only as a runtime does, and
// its device sends input only as the engine's trackers pass it on.
#include "soak_fixture.hpp"

#include <godot_cpp/classes/xr_controller3d.hpp>

#include <cmath>
#include <limits>
#include <map>

using namespace godot;

namespace {

TEST_F(SoakTest, SessionEventsComeInTheRuntimesOrder) {
	std::vector<std::string> events;
	for (const char *signal : { "session_begun", "session_visible", "session_focussed", "session_stopping", "session_loss_pending",
				 "instance_exiting", "pose_recentered" }) {
		std::string name = signal;
		scene.openxr->connect(signal, on_signal(scene.openxr.ptr(), [&events, name]() { events.push_back(name); }));
	}
	std::map<std::string, int> seen;
	auto all_seen = [&]() {
		for (const char *e : { "session_begun", "session_visible", "session_focussed", "session_stopping", "pose_recentered" }) {
			if (seen[e] == 0) {
				return false;
			}
		}
		return true;
	};
	// Long enough for the session to stop and begin again.
	const double end = session->time() + 5000.0;
	size_t counted = 0;
	while (session->time() < end && !all_seen()) {
		runtime->step();
		session->frame(0.25);
		for (; counted < events.size(); counted++) {
			seen[events[counted]]++;
		}
	}
	ASSERT_TRUE(all_seen());
	// What may follow what as the game hears it: focus only from visible,
	// visible again after focus, a stop only once focus is gone, a new
	// beginning only after a stop; the instance never ends.
	std::string last = "session_focussed";
	int focussed = 0;
	for (const std::string &e : events) {
		if (e == "pose_recentered") {
			EXPECT_TRUE(last == "session_visible" || last == "session_focussed") << "recentred after " << last;
			continue;
		}
		if (e == "session_focussed") {
			focussed++;
			EXPECT_EQ(last, "session_visible");
		} else if (e == "session_visible") {
			EXPECT_NE(last, "session_stopping");
		} else if (e == "session_stopping") {
			EXPECT_TRUE(last == "session_visible" || last == "session_begun") << "stopped after " << last;
		} else if (e == "session_begun") {
			EXPECT_EQ(last, "session_stopping");
		} else {
			ADD_FAILURE() << "the runtime ended the instance: " << e;
		}
		last = e;
	}
	EXPECT_EQ(runtime->focus_count(), (uint64_t)focussed);
}

} // namespace

namespace {

TEST_F(SoakTest, InputReachesEveryControllerOfItsHandOnlyWhenItChanges) {
	// A second player's controller follows the same hand's tracker.
	XRController3D *other = memnew(XRController3D);
	other->set_tracker("right_hand");
	scene.rig->add_child(other);
	XRController3D *right[2] = { scene.controllers[1], other };
	int presses[2] = {}, releases[2] = {}, floats[2] = {}, left = 0;
	for (int i = 0; i < 2; i++) {
		right[i]->connect("button_pressed", on_signal(right[i], [&presses, i]() { presses[i]++; }));
		right[i]->connect("button_released", on_signal(right[i], [&releases, i]() { releases[i]++; }));
		right[i]->connect("input_float_changed", on_signal(right[i], [&floats, i]() { floats[i]++; }));
	}
	scene.controllers[0]->connect("button_pressed", on_signal(scene.controllers[0], [&left]() { left++; }));

	device->press(1, "ax_button");
	device->press(1, "ax_button"); // still held: no news
	EXPECT_EQ(presses[0], 1);
	EXPECT_EQ(presses[1], 1);
	EXPECT_EQ(left, 0);
	device->release(1, "ax_button");
	device->release(1, "ax_button");
	EXPECT_EQ(releases[0], 1);
	EXPECT_EQ(releases[1], 1);

	device->set_float(1, "trigger", 0.5f);
	device->set_float(1, "trigger", 0.5f);
	EXPECT_EQ(floats[1], 1);
	// A value that is no number compares unequal to itself, as the tracker finds.
	device->set_float(1, "trigger", std::numeric_limits<float>::quiet_NaN());
	device->set_float(1, "trigger", std::numeric_limits<float>::quiet_NaN());
	EXPECT_EQ(floats[1], 3);

	// A session without focus gets no input from the runtime.
	ASSERT_TRUE(runtime->lose_focus());
	device->press(1, "by_button");
	EXPECT_EQ(presses[0], 1);
	EXPECT_TRUE(device->input(1, "by_button").get_type() == Variant::NIL);
	ASSERT_TRUE(runtime->regain_focus());
	device->press(1, "by_button");
	EXPECT_EQ(presses[0], 2);
	EXPECT_EQ(presses[1], 2);
}

} // namespace
