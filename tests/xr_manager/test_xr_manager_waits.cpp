// Every wait the manager starts ends: the audio fade, whatever a script does
// to its timer, and whatever process mode the scene gives the manager.
#include "xr_manager/xr_scene.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <functional>

using namespace godot;
using godot_host::Host;

class XRManagerWaits : public XRSceneTest {
protected:
	static int errors_saying(const char *p_text) {
		std::vector<std::string> errors = game_errors();
		return (int)std::count_if(errors.begin(), errors.end(), [&](const std::string &e) { return e.find(p_text) != std::string::npos; });
	}
};

TEST_F(XRManagerWaits, AFadeGoesOnWhateverAScriptDoesToItsTimer) {
	struct Attack {
		const char *name;
		std::function<void(Timer *)> run;
	};
	const Attack attacks[] = {
		{ "freed", [](Timer *t) { memdelete(t); } },
		{ "stopped", [](Timer *t) { t->stop(); } },
		{ "paused", [](Timer *t) { t->set_paused(true); } },
		{ "one shot", [](Timer *t) { t->set_one_shot(true); } },
		{ "pausable", [](Timer *t) { t->set_process_mode(Node::PROCESS_MODE_PAUSABLE); } },
		{ "taken out of the tree", [](Timer *t) { t->get_parent()->remove_child(t); } },
		// Frames whose time is no number leave its countdown none.
		{ "a frame of -inf", [](Timer *) { Host::process_frame(-std::numeric_limits<double>::infinity()); } },
		{ "a frame of NaN", [](Timer *) { Host::process_frame(std::nan("")); } },
	};
	for (const Attack &attack : attacks) {
		SCOPED_TRACE(attack.name);
		XRSceneTest::TearDown();
		XRSceneTest::SetUp();
		add_openxr();
		build_scene();
		start();
		emit_session("session_begun");
		Host::advance(0.5, 1.0 / 60.0);
		ASSERT_LT(master_volume(), 0.5f);
		Timer *timer = manager->audio_fade_timer;
		const uint64_t timer_id = timer->get_instance_id();
		attack.run(timer);
		// The fade goes on from where it was.
		Host::advance(0.1, 1.0 / 60.0);
		EXPECT_GT(master_volume(), 0.2f);
		EXPECT_LT(master_volume(), 1.0f);
		Host::advance(2.0, 1.0 / 60.0);
		EXPECT_EQ(master_volume(), 1.0f);
		EXPECT_EQ(errors_saying("audio fade's timer"), 1);
		// A later session fades in again (on a new timer if the old one went).
		emit_session("session_stopping");
		AudioServer::get_singleton()->set_bus_volume_linear(0, 0.0f);
		emit_session("session_begun");
		Host::advance(0.5, 1.0 / 60.0);
		EXPECT_GT(master_volume(), 0.0f);
		EXPECT_LT(master_volume(), 1.0f);
		Host::advance(2.0, 1.0 / 60.0);
		EXPECT_EQ(master_volume(), 1.0f);
		// The script that took the timer out of the tree frees it.
		Timer *kept = live<Timer>(timer_id);
		if (kept && !kept->get_parent()) {
			memdelete(kept);
		}
	}
}

// The scene leaves the manager to inherit a process mode that stops with the
// game: its fade timer runs while paused all the same, and its waits are
// watched every frame whatever its mode (a stopped fade, a greeting that a
// script freed).
TEST_F(XRManagerWaits, AManagerThatStopsWithThePauseStillSeesItsWaitsThrough) {
	add_openxr();
	build_scene();
	manager->set_process_mode(Node::PROCESS_MODE_INHERIT);
	start();
	emit_session("session_begun");
	emit_session("session_visible");
	ASSERT_TRUE(paused());
	ASSERT_FALSE(manager->can_process());
	EXPECT_EQ(manager->audio_fade_timer->get_process_mode(), Node::PROCESS_MODE_ALWAYS);
	Host::advance(2.5, 1.0 / 60.0);
	EXPECT_EQ(master_volume(), 1.0f);

	emit_session("session_stopping");
	emit_session("session_begun");
	Host::advance(0.5, 1.0 / 60.0);
	manager->audio_fade_timer->stop();
	// Paced at the headset's 90 Hz, the fade ticks once a frame.
	Host::advance(3.0, 1.0 / 60.0);
	EXPECT_EQ(master_volume(), 1.0f);

	emit_session("session_focussed");
	ASSERT_NE(manager->welcome_sequence, nullptr);
	memdelete(manager->welcome_sequence);
	Host::advance(0.1, 1.0 / 60.0);
	EXPECT_FALSE(paused());
	EXPECT_TRUE(world->is_visible());
	EXPECT_FALSE(hud->is_visible());
	EXPECT_EQ(errors_saying("welcome sequence was freed"), 1);
}

// The silence of start-up waits for the session's start; a session that
// shows or has the focus without it (a manager that came after a stop)
// ends it all the same.
TEST_F(XRManagerWaits, SilenceEndsWhenTheSessionShowsWithoutItsStart) {
	add_openxr();
	build_scene();
	start();
	ASSERT_EQ(master_volume(), 0.0f);
	emit_session("session_visible");
	emit_session("session_focussed");
	ASSERT_TRUE(answer_until_running());
	Host::advance(2.5, 1.0 / 60.0);
	EXPECT_EQ(master_volume(), 1.0f);
}
