// The greeting sequences driven through the engine's timers and signals.
#include "sequences/greeting_fixture.hpp"
#include "support/code_receiver.hpp"

#include "sequences/welcome_back_sequence.hpp"
#include "sequences/welcome_sequence.hpp"

#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/method_bind.hpp>
#include <godot_cpp/core/object.hpp>

using namespace godot;
using godot_host::Host;
using godot_host::Log;
using godot_host::Extension;

namespace {

const std::vector<String> WELCOME = { "welcome to", "mossglimmer!", "", "", "[press any button]" };
const std::vector<String> MOVEMENT = { "push off walls", "or use the right", "thumbstick to move", "", "use the triggers to", "close your hands" };
const std::vector<String> ROTATION = { "lean forward, back,", "left and right", "or use thumbsticks", "to rotate" };
const std::vector<String> FAREWELL = { "have fun!" };
const std::vector<String> WELCOME_BACK = { "welcome back!", "", "[press any button]" };

} // namespace

class GreetingSequences : public GreetingFixture {
protected:
	// Connections of the sequence on a controller's "button_pressed" besides the manager's.
	int64_t waiting(int p_hand) { return controllers[p_hand]->_host_connection_count("button_pressed") - 1; }

	bool typed(const std::vector<String> &p_text, int32_t p_state_after) {
		return advance_until([&]() { return welcome() && welcome()->state == p_state_after; }) && hud->get_text() == p_text;
	}
};

TEST_F(GreetingSequences, FirstRunGreetingPlaysThroughTheEngine) {
	emit_session("session_focussed");
	WelcomeSequence *seq = welcome();
	ASSERT_NE(seq, nullptr);
	const uint64_t id = seq->get_instance_id();
	EXPECT_EQ(seq->timer->get_parent(), manager);
	EXPECT_TRUE(seq->timer->is_one_shot());

	// Two seconds of an empty HUD.
	Host::advance(1.95, 1.0 / 60.0);
	EXPECT_EQ(seq->state, 0);
	Host::advance(0.1, 1.0 / 60.0);
	EXPECT_EQ(seq->state, 1);
	EXPECT_EQ(hud->get_text(), WELCOME);
	EXPECT_EQ(waiting(0), 0);

	const std::vector<String> *texts[] = { &MOVEMENT, &ROTATION, &FAREWELL };
	for (int step = 0; step < 3; step++) {
		SCOPED_TRACE(step);
		ASSERT_TRUE(advance_until([&]() { return seq->state == 2 * step + 2; })); // typed, waiting
		EXPECT_EQ(waiting(0), 1);
		EXPECT_EQ(waiting(1), 1);
		const char *button = step == 1 ? "by_button" : "ax_button";
		press(step % 2, button);
		release(step % 2, button); // held together they would recentre
		EXPECT_EQ(seq->state, 2 * step + 3);
		EXPECT_EQ(waiting(0), 0);
		EXPECT_EQ(waiting(1), 0);
		EXPECT_EQ(hud->get_text(), *texts[step]);
	}
	ASSERT_TRUE(advance_until([&]() { return seq->state == 8; }));
	EXPECT_TRUE(paused());
	EXPECT_TRUE(hud->is_visible());

	// The finish: recentre, HUD hidden, then unpause; then the manager is cleared.
	size_t recentres = recentre_count();
	bool seen = false;
	hud->connect("visibility_changed", on_signal(hud, [&]() {
		seen = true;
		EXPECT_EQ(recentre_count(), recentres + 1);
		EXPECT_TRUE(paused());
		EXPECT_NE(manager->welcome_sequence, nullptr);
	}));
	press(1, "by_button");
	EXPECT_TRUE(seen);
	EXPECT_FALSE(hud->is_visible());
	EXPECT_TRUE(world->is_visible());
	EXPECT_FALSE(paused());
	EXPECT_EQ(manager->welcome_sequence, nullptr);
	EXPECT_EQ(ObjectDB::get_instance(id), nullptr);
	EXPECT_EQ(waiting(0), 0);
	EXPECT_EQ(waiting(1), 0);
	Host::iteration(1.0 / 60.0);
	EXPECT_EQ(manager->get_child_count(), 2); // origin and fade timer: the sequence's timer is gone
	EXPECT_TRUE(game_errors().empty());
}

TEST_F(GreetingSequences, PressesOutsideAWaitAreNotRemembered) {
	emit_session("session_focussed");
	WelcomeSequence *seq = welcome();
	press(0, "ax_button"); // during the delay
	ASSERT_TRUE(advance_until([&]() { return seq->state == 1; }));
	Host::advance(0.5, 1.0 / 60.0);
	press(1, "by_button"); // while typing
	EXPECT_EQ(seq->state, 1);
	ASSERT_TRUE(advance_until([&]() { return seq->state == 2; }));
	EXPECT_EQ(hud->get_text(), WELCOME);

	// Other buttons leave the wait in place.
	press(0, "trigger_click");
	EXPECT_EQ(seq->state, 2);
	// A/X then B/Y in one wait: the first press ends the wait.
	press(0, "ax_button");
	press(0, "by_button");
	EXPECT_EQ(seq->state, 3);
	EXPECT_EQ(hud->get_text(), MOVEMENT);
}

TEST_F(GreetingSequences, WelcomeBackOnALaterFocus) {
	emit_session("session_focussed");
	memdelete(manager->welcome_sequence); // finished elsewhere
	manager->set_welcome_sequence(nullptr);

	emit_session("session_focussed");
	WelcomeBackSequence *seq = welcome_back();
	ASSERT_NE(seq, nullptr);
	const uint64_t id = seq->get_instance_id();
	ASSERT_TRUE(advance_until([&]() { return seq->state == 1; }));
	EXPECT_EQ(hud->get_text(), WELCOME_BACK);
	ASSERT_TRUE(advance_until([&]() { return seq->state == 2; }));
	press(1, "ax_button"); // right hand counts as well
	EXPECT_EQ(ObjectDB::get_instance(id), nullptr);
	EXPECT_EQ(manager->welcome_back_sequence, nullptr);
	EXPECT_FALSE(paused());
	EXPECT_EQ(waiting(0), 0); // its connections ended with it
	EXPECT_EQ(waiting(1), 0);
}

TEST_F(GreetingSequences, DeveloperRunGreetsWithWelcomeBack) {
	XRSceneTest::TearDown();
	XRSceneTest::SetUp();
	Globals::is_dev = true;
	add_openxr();
	build_scene();
	start();
	emit_session("session_focussed");
	ASSERT_NE(welcome_back(), nullptr);
	EXPECT_EQ(manager->welcome_sequence, nullptr);
	ASSERT_TRUE(advance_until([&]() { return manager->welcome_back_sequence && welcome_back()->state == 2; }));
	press(0, "by_button");
	EXPECT_EQ(manager->welcome_back_sequence, nullptr);
	EXPECT_FALSE(paused());
}

TEST_F(GreetingSequences, TheEditorNeverGreets) {
	XRSceneTest::TearDown();
	XRSceneTest::SetUp();
	Host::set_editor_hint(true);
	add_openxr();
	build_scene();
	start();
	emit_session("session_focussed");
	Host::advance(3.0, 1.0 / 60.0);
	EXPECT_EQ(manager->welcome_sequence, nullptr);
	EXPECT_EQ(manager->welcome_back_sequence, nullptr);
	EXPECT_TRUE(Log::printed_lines().empty());
}

TEST_F(GreetingSequences, SequencesEndingInOneEmissionBothFinish) {
	// Both kinds wait on the same controller; one press ends both, each
	// destroying itself while the engine is still emitting.
	WelcomeSequence *first = memnew(WelcomeSequence(manager));
	WelcomeBackSequence *second = memnew(WelcomeBackSequence(manager));
	manager->set_welcome_sequence(first);
	manager->set_welcome_back_sequence(second);
	first->state = 8;
	second->state = 1;
	first->wait_for_button_press();
	second->advance_state();
	const uint64_t ids[2] = { first->get_instance_id(), second->get_instance_id() };
	press(0, "ax_button");
	EXPECT_EQ(ObjectDB::get_instance(ids[0]), nullptr);
	EXPECT_EQ(ObjectDB::get_instance(ids[1]), nullptr);
	EXPECT_EQ(manager->welcome_sequence, nullptr);
	EXPECT_EQ(manager->welcome_back_sequence, nullptr);
	EXPECT_EQ(recentre_count(), 2u);
	EXPECT_EQ(waiting(0), 0);
	EXPECT_TRUE(Log::errors().empty());
}

TEST_F(GreetingSequences, MissingControllerWhileWaiting) {
	emit_session("session_focussed");
	WelcomeSequence *seq = welcome();
	Globals::set_hand_controller(0, nullptr);
	ASSERT_TRUE(advance_until([&]() { return seq->state == 2; }));
	EXPECT_EQ(game_errors().size(), 1u);
	EXPECT_EQ(waiting(0), 0);
	EXPECT_EQ(waiting(1), 1);
	press(1, "ax_button");
	EXPECT_EQ(seq->state, 3);
	EXPECT_EQ(waiting(1), 0);
}

TEST_F(GreetingSequences, WithoutAManagerNothingHappens) {
	WelcomeSequence *lone = memnew(WelcomeSequence);
	lone->start();
	lone->_on_timer_timeout();
	lone->_on_finished_typing();
	lone->_on_button_pressed("ax_button", 0);
	EXPECT_EQ(lone->state, 0);
	// The start and the delay's end need the manager; typing and a press
	// are no events of state 0, and are ignored.
	EXPECT_EQ(game_errors().size(), 2u);

	// Given a manager through the engine, it still has no timer to start.
	Log::clear();
	lone->call("set_value", manager);
	EXPECT_EQ(Object::cast_to<XRManager>(lone->call("get_value")), manager);
	lone->start();
	EXPECT_EQ(game_errors().size(), 1u);
	memdelete(lone);

	WelcomeBackSequence *lone_back = memnew(WelcomeBackSequence);
	lone_back->start();
	lone_back->_on_finished_typing();
	EXPECT_EQ(lone_back->state, 0);
	memdelete(lone_back);
	EXPECT_FALSE(ClassDB::get_method("WelcomeSequence", "get_xr_manager"));
	EXPECT_TRUE(paused());
}

// The scene going away mid-greeting frees the greeting with the manager
// instead of leaving it behind for ever.
TEST_F(GreetingSequences, AGreetingStillRunningIsFreedWithTheManager) {
	emit_session("session_focussed");
	ASSERT_NE(welcome(), nullptr);
	const uint64_t id = welcome()->get_instance_id();
	ASSERT_TRUE(advance_until([&]() { return welcome()->state == 2; }));
	EXPECT_EQ(waiting(0), 1);
	const uint64_t controller_id = controllers[0]->get_instance_id();
	Host::reset();
	manager = nullptr;
	EXPECT_EQ(ObjectDB::get_instance(id), nullptr);
	EXPECT_EQ(ObjectDB::get_instance(controller_id), nullptr);
	EXPECT_EQ(Log::error_count(), 0);
}

TEST(GreetingSequenceBindings, BothClassesBindTheSameFiveMethods) {
	// The manager accessors go under "get_value" and "set_value"; the button
	// handler's bound hand index and its name carry no registered names.
	Extension extension;
	ASSERT_TRUE(extension.open_entry(init_nodes));
	extension.initialize();
	for (const char *cls : { "WelcomeSequence", "WelcomeBackSequence" }) {
		SCOPED_TRACE(cls);
		const ClassDB::ClassRecord *rec = ClassDB::get_class_record(cls);
		ASSERT_NE(rec, nullptr);
		std::vector<std::string> table;
		for (const MethodBind *m : rec->methods) {
			std::string line = String(m->get_name()).utf8().get_data();
			line += "/" + std::to_string(m->get_argument_count()) + ":";
			for (const StringName &arg : m->get_argument_names()) {
				line += String(arg).utf8().get_data();
			}
			table.push_back(line);
		}
		EXPECT_EQ(table, (std::vector<std::string>{ "get_value/0:", "set_value/1:value", "_on_timer_timeout/0:", "_on_finished_typing/0:", "_on_button_pressed/2:" }));
		EXPECT_TRUE(rec->properties.empty());
		EXPECT_TRUE(rec->signals.empty());
	}
	extension.close();
}
