// A scene that leaves the XR manager and the HUD to inherit a process mode
// that stops with the pause. The game is paused while it greets; the
// library's own timers run whatever their parents' mode, so the greeting
// still plays through and unpauses, and the greeting's watch alone (the
// manager's frame does not run) sees its waits through.
#include "sequences/greeting_fixture.hpp"
#include "support/code_receiver.hpp"

#include <godot_cpp/core/object.hpp>

using namespace godot;
using godot_host::Host;

TEST_F(PausableSceneGreeting, BothGreetingsPlayThroughAndUnpause) {
	ASSERT_TRUE(paused());
	ASSERT_FALSE(manager->can_process());
	emit_session("session_focussed");
	WelcomeSequence *seq = welcome();
	ASSERT_NE(seq, nullptr);
	EXPECT_EQ(seq->timer->get_process_mode(), Node::PROCESS_MODE_ALWAYS);
	ASSERT_TRUE(advance_until([&]() { return seq->state == 2; }));
	EXPECT_EQ(hud->get_text()[1], String("mossglimmer!"));
	EXPECT_EQ(typing_timer()->get_process_mode(), Node::PROCESS_MODE_ALWAYS);
	ASSERT_TRUE(answer_until_over());
	EXPECT_FALSE(paused());
	EXPECT_FALSE(hud->is_visible());

	emit_session("session_visible");
	emit_session("session_focussed");
	ASSERT_NE(welcome_back(), nullptr);
	ASSERT_TRUE(answer_until_over());
	EXPECT_FALSE(paused());
	EXPECT_TRUE(game_errors().empty());
}

// With the manager's frame stopped by the pause, only the greeting's watch
// can help a wait on: a typing timer stopped mid-text, a button connection
// cut by a script.
TEST_F(PausableSceneGreeting, TheWatchAloneSeesTheWaitsThrough) {
	emit_session("session_focussed");
	WelcomeSequence *seq = welcome();
	ASSERT_TRUE(advance_until([&]() { return seq->state == 1; }));
	Host::advance(1.0, 1.0 / 60.0);
	typing_timer()->stop();
	// 40 glyphs: 3 s left, and at most one watch period more.
	ASSERT_TRUE(advance_until([&]() { return seq->state == 2; }, 3.6)) << "the welcome is never typed to its end";

	controllers[0]->disconnect("button_pressed", Callable(seq, "_on_button_pressed").bind(0));
	Host::advance(0.55, 1.0 / 60.0);
	press(0, "ax_button");
	EXPECT_EQ(seq->state, 3);
	ASSERT_TRUE(answer_until_over());
	EXPECT_FALSE(paused());
}

// The HUD out of the tree as the returning player's text starts, in a scene
// where nothing else runs while paused: the watch ends the greeting.
TEST_F(PausableSceneGreeting, HudOutOfTheTreeEndsTheGreetingThroughTheWatch) {
	manager->show_welcome = false;
	Node *holder = hud->get_parent();
	holder->remove_child(hud);
	emit_session("session_focussed");
	ASSERT_NE(welcome_back(), nullptr);
	ASSERT_TRUE(advance_until([&]() { return !paused(); }, 6.0)) << "paused for good";
	EXPECT_EQ(manager->welcome_back_sequence, nullptr);
	EXPECT_FALSE(hud->is_visible());
	holder->add_child(hud);
}
