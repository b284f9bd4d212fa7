// Greetings whose HUD, controllers or timer the scene frees while they run:
// nothing freed is used, and the game is never left paused for good.
#include "sequences/greeting_fixture.hpp"
#include "support/code_receiver.hpp"

#include "sequences/welcome_back_sequence.hpp"
#include "sequences/welcome_sequence.hpp"

#include <godot_cpp/core/object.hpp>

#include <algorithm>

using namespace godot;
using godot_host::Host;
using godot_host::Log;

class GreetingPartnersGone : public GreetingFixture {
protected:
	// The greeting is over as its own end leaves things: recentred, world
	// shown again, game running, nothing left in the manager.
	void expect_ended_as_a_greeting_ends(uint64_t p_sequence_id, size_t p_recentres_before) {
		EXPECT_FALSE(paused());
		EXPECT_GT(recentre_count(), p_recentres_before);
		EXPECT_TRUE(world->is_visible());
		EXPECT_FALSE(hidden->is_visible());
		EXPECT_TRUE(skeleton->is_visible());
		EXPECT_EQ(manager->welcome_sequence, nullptr);
		EXPECT_EQ(manager->welcome_back_sequence, nullptr);
		EXPECT_EQ(ObjectDB::get_instance(p_sequence_id), nullptr);
		EXPECT_TRUE(any_error_says(game_errors(), "HUD was freed"));
	}

	void free_hud() {
		memdelete(hud);
		hud = nullptr;
	}
};

// Each place a first-run greeting can be when its HUD goes.
TEST_F(GreetingPartnersGone, HudFreedAtAnyPointOfTheGreetingEndsIt) {
	struct Phase {
		const char *name;
		int32_t state; // reached before the HUD goes
		double extra; // seconds played after reaching it
	};
	const Phase phases[] = {
		{ "waiting on the start delay", 0, 0.5 },
		{ "typing the welcome", 1, 0.4 },
		{ "waiting for a press", 2, 0.0 },
		{ "typing the movement text", 3, 0.3 },
	};
	for (const Phase &phase : phases) {
		SCOPED_TRACE(phase.name);
		XRSceneTest::TearDown();
		SetUp();
		emit_session("session_focussed");
		WelcomeSequence *seq = welcome();
		ASSERT_NE(seq, nullptr);
		const uint64_t id = seq->get_instance_id();
		if (phase.state == 3) {
			ASSERT_TRUE(advance_until([&]() { return seq->state == 2; }));
			press(0, "ax_button");
			release(0, "ax_button");
		}
		ASSERT_TRUE(advance_until([&]() { return seq->state == phase.state; }));
		Host::advance(phase.extra, 1.0 / 60.0);
		ASSERT_EQ(seq->state, phase.state);
		const size_t recentres = recentre_count();

		free_hud();
		if (phase.state == 2) {
			press(1, "by_button"); // the press that the greeting waits for
		}
		ASSERT_TRUE(advance_until([&]() { return !paused(); }, 5.0)) << "the game stays paused for good";
		expect_ended_as_a_greeting_ends(id, recentres);
		// A later focus, with no HUD, starts the game without a greeting.
		emit_session("session_visible");
		emit_session("session_focussed");
		EXPECT_FALSE(paused());
	}
}

TEST_F(GreetingPartnersGone, HudFreedByAReceiverOfItsOwnFinishedTyping) {
	// Connected before the greeting's own receiver, so the engine reaches it
	// first and, the emitter gone, the greeting's never.
	hud->connect("finished_typing", on_signal(root, [this]() { free_hud(); }));
	emit_session("session_focussed");
	const uint64_t id = welcome()->get_instance_id();
	const size_t recentres = recentre_count();
	ASSERT_TRUE(advance_until([&]() { return hud == nullptr; }));
	ASSERT_TRUE(advance_until([&]() { return !paused(); }, 1.0));
	expect_ended_as_a_greeting_ends(id, recentres);
}

TEST_F(GreetingPartnersGone, WelcomeBackEndsWhenItsHudIsFreedWhileTyping) {
	manager->show_welcome = false;
	emit_session("session_focussed");
	WelcomeBackSequence *seq = Object::cast_to<WelcomeBackSequence>(manager->welcome_back_sequence);
	ASSERT_NE(seq, nullptr);
	const uint64_t id = seq->get_instance_id();
	ASSERT_TRUE(advance_until([&]() { return seq->state == 1; }));
	const size_t recentres = recentre_count();
	free_hud();
	ASSERT_TRUE(advance_until([&]() { return !paused(); }, 1.0));
	expect_ended_as_a_greeting_ends(id, recentres);
}

TEST_F(GreetingPartnersGone, LeftControllerFreedWhileTheGreetingWaits) {
	for (bool by_own_receiver : { false, true }) {
		SCOPED_TRACE(by_own_receiver ? "freed by a receiver of its own press" : "freed directly");
		XRSceneTest::TearDown();
		SetUp();
		XRController3D *left = controllers[0];
		if (by_own_receiver) {
			// Runs after the manager's receiver and before the greeting's.
			left->connect("button_pressed", on_signal(root, [&]() {
				memdelete(left);
				controllers[0] = nullptr;
			}));
		}
		emit_session("session_focussed");
		WelcomeSequence *seq = welcome();
		ASSERT_TRUE(advance_until([&]() { return seq->state == 2; }));
		if (by_own_receiver) {
			press(0, "ax_button");
		} else {
			memdelete(left);
			controllers[0] = nullptr;
		}
		ASSERT_EQ(controllers[0], nullptr);
		EXPECT_EQ(seq->state, 2) << "the freed controller's press never reached the greeting";

		// The right hand answers; the greeting goes on without the left one.
		press(1, "ax_button");
		release(1, "ax_button");
		EXPECT_EQ(seq->state, 3);
		ASSERT_TRUE(advance_until([&]() { return seq->state == 4; }));
		EXPECT_EQ(controllers[1]->_host_connection_count("button_pressed"), 2) << "the manager's and the greeting's";
		EXPECT_TRUE(any_error_says(game_errors(), "left controller was freed"));
	}
}

TEST_F(GreetingPartnersGone, TimerFreedBeforeTheGreetingGoes) {
	emit_session("session_focussed");
	WelcomeSequence *seq = welcome();
	memdelete(seq->timer);
	// The greeting cannot start without its delay; ending it must not touch the timer.
	const uint64_t id = seq->get_instance_id();
	free_hud();
	ASSERT_TRUE(advance_until([&]() { return !paused(); }, 1.0));
	EXPECT_EQ(ObjectDB::get_instance(id), nullptr);
	EXPECT_TRUE(any_error_says(game_errors(), "timer of a greeting was freed"));
}

// A script frees the timers a running greeting waits on: the typing timer in
// the middle of a text, or the greeting's own start delay. Either would stop
// the greeting for good; it goes on instead, and ends with a press.
TEST_F(GreetingPartnersGone, TimersFreedMidwayDoNotStopTheGreeting) {
	for (bool typing_timer : { true, false }) {
		SCOPED_TRACE(typing_timer ? "the HUD's typing timer, mid-text" : "the greeting's start delay");
		XRSceneTest::TearDown();
		SetUp();
		emit_session("session_focussed");
		WelcomeSequence *seq = welcome();
		ASSERT_NE(seq, nullptr);
		if (typing_timer) {
			ASSERT_TRUE(advance_until([&]() { return seq->state == 1; }));
			Host::advance(0.25, 1.0 / 60.0); // a few glyphs typed
			Timer *timer = nullptr;
			for (int64_t i = 0; i < hud->get_child_count() && !timer; i++) {
				timer = Object::cast_to<Timer>(hud->get_child(i));
			}
			ASSERT_NE(timer, nullptr);
			memdelete(timer);
		} else {
			memdelete(seq->timer);
		}
		ASSERT_TRUE(advance_until([&]() { return seq->state == 2; }, 5.0)) << "the welcome is typed to its end";
		EXPECT_TRUE(any_error_says(game_errors(), "timer"));
		for (int answer = 0; answer < 4 && paused(); answer++) {
			press(0, "ax_button");
			release(0, "ax_button");
			advance_until([&]() { return !paused() || manager->welcome_sequence == nullptr || welcome()->state % 2 == 0; });
		}
		EXPECT_FALSE(paused());
		EXPECT_EQ(manager->welcome_sequence, nullptr);
	}
}
