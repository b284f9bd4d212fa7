#ifndef MOSSGLIMMER_TESTS_GREETING_FIXTURE_HPP
#define MOSSGLIMMER_TESTS_GREETING_FIXTURE_HPP

#include "xr_manager/xr_scene.hpp"

#include "sequences/welcome_back_sequence.hpp"
#include "sequences/welcome_sequence.hpp"

#include <godot_cpp/classes/timer.hpp>
#include <godot_host/log.hpp>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

// Something a script does to one of the library's running timers.
struct TimerMeddling {
	const char *name;
	std::function<void(godot::Timer *)> act;
};

// What a script can do to a running timer short of freeing it, and p_more.
inline std::vector<TimerMeddling> timer_meddlings(std::vector<TimerMeddling> p_more) {
	std::vector<TimerMeddling> all = {
		{ "stopped", [](godot::Timer *t) { t->stop(); } },
		{ "paused", [](godot::Timer *t) { t->set_paused(true); } },
		{ "disabled", [](godot::Timer *t) { t->set_process_mode(godot::Node::PROCESS_MODE_DISABLED); } },
		{ "taken out of the tree", [](godot::Timer *t) { t->get_parent()->remove_child(t); } },
	};
	all.insert(all.end(), p_more.begin(), p_more.end());
	return all;
}

// The game's scene with the session begun and visible: the HUD shows and the
// game is paused, waiting for the focus that starts a greeting.
class GreetingFixture : public XRSceneTest {
protected:
	void SetUp() override {
		XRSceneTest::SetUp();
		add_openxr();
		build_scene();
		start();
		emit_session("session_begun");
		emit_session("session_visible");
		godot_host::Log::clear();
	}

	godot::WelcomeSequence *welcome() { return godot::Object::cast_to<godot::WelcomeSequence>(manager->welcome_sequence); }
	godot::WelcomeBackSequence *welcome_back() { return godot::Object::cast_to<godot::WelcomeBackSequence>(manager->welcome_back_sequence); }

	static bool any_error_says(const std::vector<std::string> &p_errors, const char *p_text) {
		return std::any_of(p_errors.begin(), p_errors.end(), [&](const std::string &e) { return e.find(p_text) != std::string::npos; });
	}

	godot::Timer *typing_timer() const {
		for (int32_t i = 0; i < hud->get_child_count(); i++) {
			if (godot::Timer *timer = godot::Object::cast_to<godot::Timer>(hud->get_child(i))) {
				return timer;
			}
		}
		return nullptr;
	}

	// Answers every wait of the running greeting with the left A/X button
	// until it is over; false if a wait never came.
	bool answer_until_over(double p_seconds_per_wait = 10.0) {
		for (int answer = 0; answer < 8; answer++) {
			bool waits = advance_until([&]() {
				if (godot::WelcomeSequence *seq = welcome()) {
					return seq->waiting_for_press();
				}
				if (godot::WelcomeBackSequence *seq = welcome_back()) {
					return seq->waiting_for_press();
				}
				return true;
			}, p_seconds_per_wait);
			if (!waits) {
				return false;
			}
			if (!welcome() && !welcome_back()) {
				return true;
			}
			press(0, "ax_button");
			release(0, "ax_button");
		}
		return false;
	}

	// A fresh game (as SetUp makes it) whose first-run greeting has just started.
	godot::WelcomeSequence *start_afresh() {
		XRSceneTest::TearDown();
		SetUp();
		emit_session("session_focussed");
		return welcome();
	}

	// The game is running again as a greeting's end leaves it.
	void expect_handed_back() {
		EXPECT_FALSE(paused());
		EXPECT_FALSE(hud->is_visible());
		EXPECT_TRUE(world->is_visible());
		EXPECT_EQ(manager->welcome_sequence, nullptr);
		EXPECT_EQ(manager->welcome_back_sequence, nullptr);
	}
};

// The same game in a scene that leaves the XR manager and the HUD to the
// default process mode: nothing of theirs runs while the game is paused.
class PausableSceneGreeting : public GreetingFixture {
protected:
	void SetUp() override {
		XRSceneTest::SetUp();
		add_openxr();
		build_scene();
		manager->set_process_mode(godot::Node::PROCESS_MODE_INHERIT);
		hud->set_process_mode(godot::Node::PROCESS_MODE_INHERIT);
		start();
		emit_session("session_begun");
		emit_session("session_visible");
		godot_host::Log::clear();
	}
};

#endif // MOSSGLIMMER_TESTS_GREETING_FIXTURE_HPP
