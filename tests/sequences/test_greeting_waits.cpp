// Every wait of a greeting ends, judged by state rather than by whether its
// timer still exists: the start delay, the typing, "finished_typing" and the
// wait for a press. A greeting that can't go on (its HUD or its controllers
// out of the tree) ends and hands the game back.
#include "sequences/greeting_fixture.hpp"
#include "support/code_receiver.hpp"

#include <godot_cpp/core/object.hpp>

#include <algorithm>
#include <functional>
#include <string>

using namespace godot;
using godot_host::Host;
using godot_host::Log;

namespace {

const std::vector<TimerMeddling> MEDDLINGS = timer_meddlings({ { "made pausable", [](Timer *t) { t->set_process_mode(Node::PROCESS_MODE_PAUSABLE); } } });

} // namespace

class GreetingWaits : public GreetingFixture {
protected:
	void expect_handed_back() {
		GreetingFixture::expect_handed_back();
		EXPECT_FALSE(hidden->is_visible());
	}
};

TEST_F(GreetingWaits, StartDelayMeddledWithByAScriptStillLeadsToTheWelcome) {
	for (const TimerMeddling &m : MEDDLINGS) {
		SCOPED_TRACE(m.name);
		WelcomeSequence *seq = start_afresh();
		ASSERT_NE(seq, nullptr);
		EXPECT_EQ(seq->timer->get_process_mode(), Node::PROCESS_MODE_ALWAYS);
		Host::advance(0.5, 1.0 / 60.0);
		m.act(seq->timer);
		ASSERT_TRUE(advance_until([&]() { return seq->state == 1; }, 2.5)) << "the delay never ends";
		EXPECT_EQ(hud->get_text()[0], String("welcome to"));
		ASSERT_TRUE(answer_until_over());
		expect_handed_back();
	}
}

// Seen in a game: the HUD moved in two steps (taken out, then added back a
// frame later) as its text starts.
TEST_F(GreetingWaits, HudMovedInTwoStepsAsItsTextStarts) {
	emit_session("session_focussed");
	WelcomeSequence *seq = welcome();
	Node *holder = hud->get_parent();
	bool taken = false;
	hud->connect("child_order_changed", on_first_signal(root, [&]() {
		holder->remove_child(hud);
		taken = true;
	}));
	ASSERT_TRUE(advance_until([&]() { return taken; }));
	EXPECT_EQ(seq->state, 1);
	Host::iteration(1.0 / 60.0);
	holder->add_child(hud);
	ASSERT_TRUE(advance_until([&]() { return seq->state == 2; }, 5.0)) << "the welcome is never typed to its end";
	EXPECT_FALSE(any_error_says(game_errors(), "can't go on"));
	ASSERT_TRUE(answer_until_over());
	expect_handed_back();
	EXPECT_EQ(Log::error_count(), 0);
}

// A script cuts the greeting off the HUD's "finished_typing": the end of the
// text goes unheard, and the greeting goes on all the same.
TEST_F(GreetingWaits, FinishedTypingUnheardStillLeadsToTheWaitForAPress) {
	emit_session("session_focussed");
	WelcomeSequence *seq = welcome();
	ASSERT_TRUE(advance_until([&]() { return seq->state == 1; }));
	hud->disconnect("finished_typing", Callable(seq, "_on_finished_typing"));
	ASSERT_TRUE(advance_until([&]() { return seq->state == 2; }, 5.0));
	ASSERT_TRUE(answer_until_over());
	expect_handed_back();
}

// The player (with the HUD and the controllers) is out of the tree when the
// focus comes back: the greeting can neither be read nor answered. It ends
// within a few seconds instead of leaving the HUD shown, the world hidden and
// the game paused.
TEST_F(GreetingWaits, PlayerOutOfTheTreeWhenFocusReturnsEndsTheGreeting) {
	emit_session("session_focussed");
	ASSERT_TRUE(answer_until_over());
	emit_session("session_visible");
	ASSERT_TRUE(paused());
	Node *rig = player->get_parent();
	rig->remove_child(player);
	emit_session("session_focussed");
	ASSERT_NE(welcome_back(), nullptr);
	ASSERT_TRUE(advance_until([&]() { return !paused(); }, 6.0)) << "paused for good";
	expect_handed_back();
	EXPECT_TRUE(any_error_says(game_errors(), "can't go on"));

	// Back in the tree, the player finds the game running as after any
	// greeting, and the text it missed typed on the hidden HUD.
	rig->add_child(player);
	Host::advance(4.0, 1.0 / 60.0);
	EXPECT_FALSE(paused());
	EXPECT_FALSE(hud->is_visible());
	EXPECT_FALSE(hud->is_typing());
}

// Both controllers leave the tree during a wait for a press: nothing can
// answer, and the greeting ends. A press from one brought back afterwards
// reaches nothing of the greeting.
TEST_F(GreetingWaits, ControllersOutOfTheTreeWhileAGreetingWaitsEndIt) {
	emit_session("session_focussed");
	WelcomeSequence *seq = welcome();
	ASSERT_TRUE(advance_until([&]() { return seq->state == 2; }));
	for (XRController3D *c : controllers) {
		player->remove_child(c);
	}
	ASSERT_TRUE(advance_until([&]() { return !paused(); }, 4.0)) << "paused for good";
	expect_handed_back();
	for (XRController3D *c : controllers) {
		player->add_child(c);
		EXPECT_EQ(c->_host_connection_count("button_pressed"), 1) << "the manager's only";
	}

	// One out for a moment is no reason to end: the other can answer.
	emit_session("session_visible");
	emit_session("session_focussed");
	WelcomeBackSequence *back = welcome_back();
	ASSERT_TRUE(advance_until([&]() { return back->state == 2; }));
	player->remove_child(controllers[1]);
	Host::advance(3.0, 1.0 / 60.0);
	EXPECT_TRUE(paused());
	player->add_child(controllers[1]);
	press(1, "by_button");
	expect_handed_back();
}

// New controllers take the place of the old ones during a wait (as a scene
// change brings): the greeting listens to the new ones only.
TEST_F(GreetingWaits, ControllersReplacedWhileAGreetingWaits) {
	emit_session("session_focussed");
	WelcomeSequence *seq = welcome();
	ASSERT_TRUE(advance_until([&]() { return seq->state == 2; }));
	XRController3D *old_ones[2] = { controllers[0], controllers[1] };
	for (int hand = 0; hand < 2; hand++) {
		controllers[hand] = add_node(player, memnew(XRController3D), hand == 0 ? "NewLeft" : "NewRight", root);
		Globals::set_hand_controller(hand, controllers[hand]);
	}
	Host::iteration(1.0 / 60.0);
	old_ones[0]->emit_signal("button_pressed", String("ax_button"));
	EXPECT_EQ(seq->state, 2) << "the old controller no longer answers";
	press(1, "ax_button");
	EXPECT_EQ(seq->state, 3);
	for (XRController3D *old : old_ones) {
		EXPECT_EQ(old->_host_connection_count("button_pressed"), 1) << "the manager's only";
	}
	ASSERT_TRUE(advance_until([&]() { return seq->state == 4; }));
	EXPECT_EQ(controllers[0]->_host_connection_count("button_pressed"), 1) << "the greeting's only";
	ASSERT_TRUE(answer_until_over());
	EXPECT_FALSE(paused());
}

// A greeting started while its manager is out of the tree (the engine starts
// no timer there) waits its delay once the manager is back, and says nothing
// of a timer it could not start.
TEST_F(GreetingWaits, GreetingStartedWhileItsManagerIsOutOfTheTree) {
	manager->show_welcome = false;
	Node *rig = manager->get_parent();
	root->remove_child(rig);
	WelcomeBackSequence *seq = memnew(WelcomeBackSequence(manager));
	manager->set_welcome_back_sequence(seq);
	seq->start();
	EXPECT_EQ(Log::error_count(), 0);
	root->add_child(rig);
	Host::advance(1.9, 1.0 / 60.0);
	EXPECT_EQ(seq->state, 0);
	ASSERT_TRUE(advance_until([&]() { return seq->state == 1; }, 0.3));
	ASSERT_TRUE(answer_until_over());
	expect_handed_back();
}
