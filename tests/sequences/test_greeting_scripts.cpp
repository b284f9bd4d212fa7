// Scripts that run inside a greeting's own calls (the HUD's switch, the
// layout of a text, the timer added to the manager, "finished_typing") and
// free the manager, the HUD or step the greeting again: the greeting is freed
// exactly once, and nothing freed is used.
#include "sequences/greeting_fixture.hpp"
#include "support/code_receiver.hpp"

#include "sequences/welcome_back_sequence.hpp"
#include "sequences/welcome_sequence.hpp"

#include <godot_cpp/core/object.hpp>

using namespace godot;
using godot_host::Host;

class GreetingScripts : public GreetingFixture {
protected:
	// Frees the manager the first time it runs.
	std::function<void()> free_manager() {
		return [this]() {
			if (manager) {
				XRManager *gone = manager;
				manager = nullptr;
				memdelete(gone);
			}
		};
	}

	static int greetings_alive() {
		return ObjectDB::_host_instance_count_of("WelcomeSequence") + ObjectDB::_host_instance_count_of("WelcomeBackSequence");
	}

	// Starts a greeting and plays it to the wait before its end.
	Object *reach_last_wait(bool p_first_run) {
		manager->show_welcome = p_first_run;
		emit_session("session_focussed");
		if (!p_first_run) {
			WelcomeBackSequence *seq = welcome_back();
			EXPECT_TRUE(advance_until([&]() { return seq->state == 2; }));
			return seq;
		}
		WelcomeSequence *seq = welcome();
		for (int32_t wait = 2; wait <= 8; wait += 2) {
			EXPECT_TRUE(advance_until([&]() { return seq->state == wait; }));
			if (wait < 8) {
				press(0, "ax_button");
				release(0, "ax_button");
			}
		}
		return seq;
	}
};

TEST_F(GreetingScripts, ManagerFreedByTheHudHidingAsTheGreetingEnds) {
	for (bool first_run : { true, false }) {
		SCOPED_TRACE(first_run ? "first-run greeting" : "welcome back");
		XRSceneTest::TearDown();
		SetUp();
		const uint64_t id = reach_last_wait(first_run)->get_instance_id();
		hud->connect("visibility_changed", on_signal(root, free_manager()));
		press(1, "by_button");
		EXPECT_EQ(manager, nullptr);
		EXPECT_EQ(ObjectDB::get_instance(id), nullptr);
		EXPECT_EQ(greetings_alive(), 0);
		EXPECT_TRUE(world->is_visible());
		EXPECT_FALSE(hidden->is_visible());
		EXPECT_FALSE(hud->is_visible());
		Host::advance(0.5, 1.0 / 60.0);
	}
}

TEST_F(GreetingScripts, APressInsideTheEndEndsTheGreetingOnce) {
	const uint64_t id = reach_last_wait(false)->get_instance_id();
	bool pressed = false;
	hud->connect("visibility_changed", on_signal(root, [&]() {
		if (!pressed) {
			pressed = true;
			press(0, "ax_button"); // still waited for: the greeting's connections end with it
		}
	}));
	press(1, "ax_button");
	EXPECT_TRUE(pressed);
	EXPECT_EQ(ObjectDB::get_instance(id), nullptr);
	EXPECT_EQ(manager->welcome_back_sequence, nullptr);
	EXPECT_EQ(recentre_count(), 1u);
	EXPECT_FALSE(paused());
	EXPECT_TRUE(world->is_visible());
}

// Both greetings end in one frame for want of a HUD; the first one's end
// frees the manager, and with it the second greeting.
TEST_F(GreetingScripts, FirstOfTwoEndsWithoutHudFreesTheManager) {
	WelcomeSequence *first = memnew(WelcomeSequence(manager));
	WelcomeBackSequence *second = memnew(WelcomeBackSequence(manager));
	manager->set_welcome_sequence(first);
	manager->set_welcome_back_sequence(second);
	world->connect("visibility_changed", on_signal(root, free_manager()));
	memdelete(hud);
	hud = nullptr;
	Host::iteration(1.0 / 60.0);
	EXPECT_EQ(manager, nullptr);
	EXPECT_EQ(greetings_alive(), 0);
	EXPECT_TRUE(world->is_visible());
	EXPECT_TRUE(skeleton->is_visible());
}

TEST_F(GreetingScripts, ManagerFreedByTheTimerAddedForANewGreeting) {
	manager->connect("child_order_changed", on_signal(root, free_manager()));
	emit_session("session_focussed");
	EXPECT_EQ(manager, nullptr);
	EXPECT_EQ(greetings_alive(), 0);
	// What a manager that goes gives back comes at the end of the frame.
	Host::iteration(1.0 / 60.0);
	EXPECT_TRUE(world->is_visible()) << "the freed manager put the world back";
	Host::advance(3.0, 1.0 / 60.0);
}

TEST_F(GreetingScripts, ManagerFreedWhileTheGreetingLaysOutItsText) {
	emit_session("session_focussed");
	const uint64_t id = welcome()->get_instance_id();
	hud->connect("child_order_changed", on_signal(root, free_manager()));
	ASSERT_TRUE(advance_until([&]() { return manager == nullptr; }, 3.0));
	EXPECT_EQ(ObjectDB::get_instance(id), nullptr);
	Host::advance(3.0, 1.0 / 60.0); // the HUD types on with nobody listening
	EXPECT_TRUE(world->is_visible());
}

// A receiver of "finished_typing" frees the manager or the HUD, before or
// after the greeting's own receiver runs.
TEST_F(GreetingScripts, FinishedTypingReceiverFreesTheManagerOrTheHud) {
	for (bool frees_hud : { false, true }) {
		for (bool before_greeting : { true, false }) {
			SCOPED_TRACE(std::string(frees_hud ? "HUD" : "manager") + (before_greeting ? ", before" : ", after"));
			XRSceneTest::TearDown();
			SetUp();
			auto receiver = on_signal(root, [this, frees_hud]() {
				if (frees_hud && hud) {
					memdelete(hud);
					hud = nullptr;
				} else if (!frees_hud) {
					free_manager()();
				}
			});
			if (before_greeting) {
				hud->connect("finished_typing", receiver);
			}
			emit_session("session_focussed");
			const uint64_t id = welcome()->get_instance_id();
			if (!before_greeting) {
				hud->connect("finished_typing", receiver);
			}
			ASSERT_TRUE(advance_until([&]() { return frees_hud ? hud == nullptr : manager == nullptr; }));
			Host::advance(1.0, 1.0 / 60.0);
			EXPECT_EQ(ObjectDB::get_instance(id), nullptr);
			EXPECT_TRUE(world->is_visible());
			if (frees_hud) {
				EXPECT_FALSE(paused()) << "a greeting without its HUD ends";
			}
		}
	}
}
