// What scripts can do with a greeting through the engine's call path: read
// its manager (never one that was freed), give it another manager, null or
// values of the wrong type, and call its handlers out of turn. The greeting
// keeps the manager that started it and still ends as it should.
#include "sequences/greeting_fixture.hpp"

#include <godot_cpp/core/object.hpp>

using namespace godot;
using godot_host::Host;
using godot_host::Log;

using GreetingScriptCalls = GreetingFixture;

TEST_F(GreetingScriptCalls, GetValueHandsOutNoFreedManager) {
	WelcomeSequence *lone = memnew(WelcomeSequence);
	lone->call("set_value", manager);
	EXPECT_EQ(Object::cast_to<XRManager>(lone->call("get_value")), manager);
	WelcomeBackSequence *lone_back = memnew(WelcomeBackSequence);
	lone_back->call("set_value", manager);

	Host::reset(); // the scene goes, the manager with it
	manager = nullptr;
	EXPECT_EQ((Object *)lone->call("get_value"), nullptr);
	EXPECT_EQ((Object *)lone_back->call("get_value"), nullptr);
	memdelete(lone);
	memdelete(lone_back);
}

TEST_F(GreetingScriptCalls, ARunningGreetingKeepsTheManagerThatStartedIt) {
	emit_session("session_focussed");
	WelcomeSequence *seq = welcome();
	ASSERT_TRUE(advance_until([&]() { return seq->state == 2; }));
	XRManager *stranger = memnew(XRManager);
	Log::clear();
	seq->call("set_value", Variant()); // null
	seq->call("set_value", world); // a node of another class: null to the method
	seq->call("set_value", stranger);
	seq->call("set_value", 42); // no object at all: the engine refuses the call
	EXPECT_EQ(Log::error_count(), 4);
	EXPECT_EQ(Object::cast_to<XRManager>(seq->call("get_value")), manager);
	seq->call("set_value", manager); // the same one: nothing to refuse
	EXPECT_EQ(Log::error_count(), 4);
	memdelete(stranger);

	ASSERT_TRUE(answer_until_over());
	EXPECT_FALSE(paused());
	EXPECT_EQ(manager->welcome_sequence, nullptr);
}

// Each handler acts only on the event the greeting waits for: a script that
// calls one out of turn changes nothing, and the greeting goes on as it was.
TEST_F(GreetingScriptCalls, HandlersCalledOutOfTurnChangeNothing) {
	emit_session("session_focussed");
	WelcomeSequence *seq = welcome();
	auto press_by_script = [&]() {
		seq->call("_on_button_pressed", String("ax_button"), 0);
		seq->call("_on_button_pressed", String("ax_button"), (int64_t)1 << 40);
	};

	// During the start delay.
	seq->call("_on_finished_typing");
	press_by_script();
	EXPECT_EQ(seq->state, 0);
	// While the welcome is typed.
	ASSERT_TRUE(advance_until([&]() { return seq->state == 1; }));
	press_by_script();
	seq->call("_on_timer_timeout"); // a watch, nothing more
	EXPECT_EQ(seq->state, 1);
	ASSERT_TRUE(advance_until([&]() { return seq->state == 2; }));
	seq->call("_on_finished_typing");
	seq->call("_on_timer_timeout"); // a watch, nothing more
	seq->call("_on_button_pressed", String("trigger"), 0);
	seq->call("_on_button_pressed", 7, String("left")); // refused by the engine
	EXPECT_EQ(seq->state, 2);
	EXPECT_TRUE(paused());

	ASSERT_TRUE(answer_until_over());
	EXPECT_FALSE(paused());
	EXPECT_EQ(manager->welcome_sequence, nullptr);
}
