// The HUD's typing is a wait that must end, judged by its timer's state: a
// HUD that leaves the tree as its text starts, a typing timer that a script
// stops, pauses, retimes, re-modes or takes away, and a scene that leaves the
// HUD to a process mode that stops with the game's pause.
#include "hud_fixture.hpp"

#include <godot_cpp/classes/timer.hpp>

#include <functional>
#include <string>

using namespace godot;
using godot_host::Host;
using godot_host::Log;

class HudWaits : public HudTest {
protected:
	// The poll that a running greeting makes every frame.
	void step_polling(double p_seconds) {
		for (double t = 0.0; t < p_seconds - 1e-9; t += 0.01) {
			hud->keep_typing();
			step(0.01);
		}
	}
};

// Seen in a game: the HUD moved in two steps (taken out, then added back) as
// its text starts. The engine starts no timer out of the tree; the text is
// typed once the HUD is back, without anyone asking.
TEST_F(HudWaits, TextStartedWhileTheHudIsOutOfTheTreeTypesOnceItIsBack) {
	build();
	root->remove_child(hud);
	type({ "have fun!" });
	EXPECT_EQ(errors_saying("Unable to start the timer"), 0);
	step(0.5);
	EXPECT_EQ(probe->finished, 0);
	root->add_child(hud);
	const double back_at = now;
	step(1.0);
	EXPECT_EQ(probe->finished, 1);
	EXPECT_NEAR(probe->finished_at - back_at, 0.9, 0.025);
	EXPECT_EQ(read_lines(), (std::vector<std::string>{ "HAVE FUN!" }));
	EXPECT_EQ(Log::error_count(), 0);

	// Out and back within one frame while typing: the running timer goes on.
	type({ "hi" });
	step(0.05);
	root->remove_child(hud);
	root->add_child(hud);
	step(0.2);
	EXPECT_EQ(probe->finished, 2);
}

// What a script can do to a running typing timer short of freeing it; each
// would leave the text unfinished for good. The greeting's poll puts it right.
TEST_F(HudWaits, TypingTimerStoppedPausedRetimedOrReModedByAScriptGoesOn) {
	struct Meddling {
		const char *name;
		std::function<void(Timer *)> act;
	};
	const Meddling meddlings[] = {
		{ "stopped", [](Timer *t) { t->stop(); } },
		{ "paused", [](Timer *t) { t->set_paused(true); } },
		{ "made one-shot", [](Timer *t) { t->set_one_shot(true); } },
		{ "started for an hour", [](Timer *t) { t->start(3600.0); } },
		{ "given an hour's wait", [](Timer *t) { t->set_wait_time(3600.0); } },
		{ "disabled", [](Timer *t) { t->set_process_mode(Node::PROCESS_MODE_DISABLED); } },
		{ "pausable in a paused game", [](Timer *t) {
			 t->set_process_mode(Node::PROCESS_MODE_PAUSABLE);
			 Host::tree()->set_pause(true);
		 } },
	};
	for (const Meddling &m : meddlings) {
		SCOPED_TRACE(m.name);
		Host::reset();
		Log::clear();
		build();
		type({ "have fun!" });
		step(0.35);
		m.act(typing_timer());
		step_polling(1.0);
		EXPECT_EQ(probe->finished, 1);
		EXPECT_EQ(read_lines(), (std::vector<std::string>{ "HAVE FUN!" }));
		EXPECT_EQ(typing_timer()->get_process_mode(), Node::PROCESS_MODE_ALWAYS);
		EXPECT_EQ(Log::error_count(), 0);
	}
}

// A script takes the typing timer out of the HUD: left without a parent it
// is replaced (and freed, as nobody else would); moved to a node in the tree
// it still ticks for the HUD.
TEST_F(HudWaits, TypingTimerTakenOutOfTheTree) {
	build();
	type({ "have fun!" });
	step(0.35);
	Timer *taken = typing_timer();
	const uint64_t taken_id = taken->get_instance_id();
	hud->remove_child(taken);
	step_polling(1.0);
	EXPECT_EQ(probe->finished, 1);
	EXPECT_EQ(ObjectDB::get_instance(taken_id), nullptr) << "the orphaned timer is freed";
	ASSERT_NE(typing_timer(), nullptr);
	EXPECT_NE(typing_timer()->get_instance_id(), taken_id);

	type({ "have fun!" });
	step(0.35);
	Timer *moved = typing_timer();
	moved->reparent(root, false);
	step_polling(1.0);
	EXPECT_EQ(probe->finished, 2);
	EXPECT_EQ(moved->get_parent(), root);
	EXPECT_EQ(typing_timer(), nullptr) << "no second timer was made";
	EXPECT_EQ(Log::error_count(), 0);
}

// The scene leaves the HUD to inherit a mode that stops with the pause, or
// disables it: the greetings type while the game is paused all the same,
// because the HUD's own timer runs whatever its parent's mode.
TEST_F(HudWaits, HudThatStopsWithThePauseStillTypesWhilePaused) {
	for (Node::ProcessMode mode : { Node::PROCESS_MODE_INHERIT, Node::PROCESS_MODE_PAUSABLE, Node::PROCESS_MODE_DISABLED }) {
		SCOPED_TRACE((int)mode);
		Host::reset();
		build();
		hud->set_process_mode(mode);
		Host::tree()->set_pause(true);
		type({ "welcome back!", "", "[press any button]" });
		step(3.15);
		EXPECT_EQ(probe->finished, 1);
		EXPECT_EQ(read_lines(), (std::vector<std::string>{ "WELCOME BACK!", "", "[PRESS ANY BUTTON]" }));
		EXPECT_EQ(typing_timer()->get_process_mode(), Node::PROCESS_MODE_ALWAYS);
	}
}

// The tick is bound, so a script may call it at any time: with no text being
// typed it does nothing (no "finished_typing" that nobody typed).
TEST_F(HudWaits, TickCalledByAScriptWithNoTextBeingTypedDoesNothing) {
	build();
	hud->call("_on_typing_timer_timeout");
	EXPECT_EQ(probe->finished, 0);
	type({ "hi" });
	step(0.25);
	EXPECT_EQ(probe->finished, 1);
	hud->call("_on_typing_timer_timeout");
	hud->call("_on_typing_timer_timeout", 1); // too many arguments: refused by the engine
	EXPECT_EQ(probe->finished, 1);
	EXPECT_EQ(read_lines(), (std::vector<std::string>{ "HI" }));
}
