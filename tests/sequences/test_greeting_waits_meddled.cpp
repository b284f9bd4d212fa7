// Scripts against a greeting's waits in a scene that leaves the XR manager and
// the HUD to the default process mode, so that nothing of theirs runs while
// the game is paused: only the library's own timers can see a wait through.
// Scripts stop, pause, free or move those timers, the HUD and the
// controllers; the game must never stay paused, hidden or waiting for good.
#include "sequences/greeting_fixture.hpp"
#include "support/code_receiver.hpp"

#include <godot_cpp/core/object.hpp>

#include <functional>

using namespace godot;
using godot_host::Host;
using godot_host::Log;

namespace {

const std::vector<TimerMeddling> MEDDLINGS = timer_meddlings({ { "freed", [](Timer *t) { memdelete(t); } } });

} // namespace

using MeddledPausableGreeting = PausableSceneGreeting;

// The greeting's 2 s delay timer meddled with by a script while the manager's
// frame is stopped by the pause: the delay must still end (or the greeting
// end), never leave the game paused for good.
TEST_F(MeddledPausableGreeting, StartDelayTimerMeddledWithWhileTheManagerIsPaused) {
	for (const TimerMeddling &m : MEDDLINGS) {
		SCOPED_TRACE(m.name);
		WelcomeSequence *seq = start_afresh();
		ASSERT_NE(seq, nullptr);
		ASSERT_FALSE(manager->can_process());
		Host::advance(0.5, 1.0 / 60.0);
		Timer *timer = seq->timer;
		ASSERT_NE(timer, nullptr);
		m.act(timer);
		const bool went_on = advance_until([&]() { return !welcome() || welcome()->state >= 1; }, 10.0);
		EXPECT_TRUE(went_on) << "the start delay never ends: the game stays paused for good";
		if (!went_on) {
			continue;
		}
		ASSERT_TRUE(answer_until_over());
		expect_handed_back();
	}
}

// The typing timer and the greeting's watch both stopped by a script while
// the welcome types: the text must still end and the greeting go on.
TEST_F(MeddledPausableGreeting, TypingAndWatchTimersBothStoppedMidText) {
	emit_session("session_focussed");
	WelcomeSequence *seq = welcome();
	ASSERT_TRUE(advance_until([&]() { return seq->state == 1; }));
	Host::advance(0.3, 1.0 / 60.0);
	ASSERT_NE(typing_timer(), nullptr);
	typing_timer()->stop();
	seq->timer->stop();
	const bool typed = advance_until([&]() { return !welcome() || seq->state >= 2; }, 10.0);
	EXPECT_TRUE(typed) << "the welcome never ends typing: paused for good";
	if (typed && welcome()) {
		ASSERT_TRUE(answer_until_over());
	}
	if (typed) {
		expect_handed_back();
	}
}

// The HUD taken out and put back in one step (a script re-parenting it under
// the same parent) while it types, twice: _ready does not run again, and the
// text must still end.
TEST_F(MeddledPausableGreeting, HudReAddedInOneStepWhileTyping) {
	emit_session("session_focussed");
	WelcomeSequence *seq = welcome();
	ASSERT_TRUE(advance_until([&]() { return seq->state == 1; }));
	Node *holder = hud->get_parent();
	for (int i = 0; i < 2; i++) {
		Host::advance(0.2, 1.0 / 60.0);
		holder->remove_child(hud);
		holder->add_child(hud);
	}
	ASSERT_TRUE(advance_until([&]() { return seq->state == 2; }, 8.0)) << "the welcome is never typed to its end";
	ASSERT_TRUE(answer_until_over());
	expect_handed_back();
}

// The HUD moved under another parent (the XR camera, as a script keeping it
// in view would) while the greeting waits for a press: the wait goes on and
// the press ends it.
TEST_F(MeddledPausableGreeting, HudReparentedWhileWaitingForAPress) {
	emit_session("session_focussed");
	WelcomeSequence *seq = welcome();
	ASSERT_TRUE(advance_until([&]() { return seq->state == 2; }));
	Node *camera = manager->find_child("XRCamera3D", true, false);
	ASSERT_NE(camera, nullptr);
	hud->reparent(camera);
	Host::advance(3.0, 1.0 / 60.0);
	EXPECT_EQ(welcome(), seq) << "a moved HUD is no reason to end";
	ASSERT_TRUE(answer_until_over());
	expect_handed_back();
	EXPECT_EQ(Log::error_count(), 0);
}

// Both controllers freed while the greeting waits for a press, with the
// manager's frame stopped: nothing can answer, so the greeting must end by
// itself and hand the game back.
TEST_F(MeddledPausableGreeting, ControllersFreedWhileWaitingForAPress) {
	emit_session("session_focussed");
	WelcomeSequence *seq = welcome();
	ASSERT_TRUE(advance_until([&]() { return seq->state == 2; }));
	memdelete(controllers[0]);
	memdelete(controllers[1]);
	controllers[0] = controllers[1] = nullptr;
	ASSERT_TRUE(advance_until([&]() { return !paused(); }, 6.0)) << "paused for good";
	expect_handed_back();
	EXPECT_GT(Log::error_count(), 0) << "the end is reported";
}

// The greeting's watch timer moved under the HUD by a script (re-parenting
// the library's timer), then the HUD freed: the greeting must end.
TEST_F(MeddledPausableGreeting, WatchTimerReparentedUnderTheHudThenTheHudFreed) {
	emit_session("session_focussed");
	WelcomeSequence *seq = welcome();
	ASSERT_TRUE(advance_until([&]() { return seq->state == 2; }));
	seq->timer->reparent(hud);
	Host::advance(0.6, 1.0 / 60.0);
	memdelete(hud);
	hud = nullptr;
	ASSERT_TRUE(advance_until([&]() { return !paused(); }, 6.0)) << "paused for good";
	EXPECT_EQ(manager->welcome_sequence, nullptr);
	EXPECT_TRUE(world->is_visible());
}
