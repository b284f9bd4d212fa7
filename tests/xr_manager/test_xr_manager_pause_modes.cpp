// Scripts against the pause and the master volume over a session: the process
// modes a scene gives the XR manager, the HUD and their parents, and scripts
// that meddle with the manager's audio fade. Once a greeting is over the game
// must run unmuted with the world shown, and input must reach the player.
#include "sequences/greeting_fixture.hpp"

#include <godot_cpp/classes/timer.hpp>
#include <godot_cpp/core/object.hpp>

using namespace godot;
using godot_host::Host;
using godot_host::Log;

namespace {

const char *mode_name(Node::ProcessMode p_mode) {
	switch (p_mode) {
		case Node::PROCESS_MODE_INHERIT:
			return "inherit";
		case Node::PROCESS_MODE_PAUSABLE:
			return "pausable";
		case Node::PROCESS_MODE_WHEN_PAUSED:
			return "when paused";
		case Node::PROCESS_MODE_ALWAYS:
			return "always";
		case Node::PROCESS_MODE_DISABLED:
			return "disabled";
	}
	return "?";
}

const Node::ProcessMode MODES[] = { Node::PROCESS_MODE_INHERIT, Node::PROCESS_MODE_PAUSABLE, Node::PROCESS_MODE_WHEN_PAUSED, Node::PROCESS_MODE_ALWAYS, Node::PROCESS_MODE_DISABLED };
// The manager's (or its parent's) modes under which its own children run at some point.
const Node::ProcessMode RUNNING_MODES[] = { Node::PROCESS_MODE_INHERIT, Node::PROCESS_MODE_PAUSABLE, Node::PROCESS_MODE_WHEN_PAUSED, Node::PROCESS_MODE_ALWAYS };

} // namespace

class PauseAndVolume : public GreetingFixture {
protected:
	// A fresh scene whose manager and HUD (or their parents) have the given
	// modes, through the session's start up to the focus.
	void fresh(Node::ProcessMode p_manager, Node::ProcessMode p_hud, bool p_on_parents) {
		XRSceneTest::TearDown();
		XRSceneTest::SetUp();
		add_openxr();
		build_scene();
		manager->set_process_mode(p_on_parents ? Node::PROCESS_MODE_INHERIT : p_manager);
		hud->set_process_mode(p_on_parents ? Node::PROCESS_MODE_INHERIT : p_hud);
		if (p_on_parents) {
			manager->get_parent()->set_process_mode(p_manager); // the rig
			player->set_process_mode(p_hud);
		}
		start();
		emit_session("session_begun");
		emit_session("session_visible");
		emit_session("session_focussed");
	}

	// The game as a player expects it once greeted, some seconds later.
	void expect_running_game() {
		Host::advance(3.0, 1.0 / 60.0);
		EXPECT_FALSE(paused());
		EXPECT_FLOAT_EQ(master_volume(), 1.0f) << "muted for good";
		EXPECT_TRUE(world->is_visible());
		EXPECT_FALSE(hud->is_visible());
		EXPECT_EQ(manager->welcome_sequence, nullptr);
	}
};

// Every mode on the manager and on the HUD: the greeting plays through, the
// game runs and the fade-in reaches full volume.
TEST_F(PauseAndVolume, EveryModeOnTheManagerAndTheHud) {
	for (Node::ProcessMode m : RUNNING_MODES) {
		for (Node::ProcessMode h : MODES) {
			SCOPED_TRACE(std::string("manager ") + mode_name(m) + ", HUD " + mode_name(h));
			fresh(m, h, false);
			ASSERT_NE(welcome(), nullptr);
			ASSERT_TRUE(answer_until_over()) << "a wait never came";
			expect_running_game();
		}
	}
}

// The same modes given to the manager's and the HUD's parents instead.
TEST_F(PauseAndVolume, EveryModeOnTheParents) {
	for (Node::ProcessMode m : RUNNING_MODES) {
		for (Node::ProcessMode h : MODES) {
			SCOPED_TRACE(std::string("rig ") + mode_name(m) + ", player " + mode_name(h));
			fresh(m, h, true);
			ASSERT_NE(welcome(), nullptr);
			ASSERT_TRUE(answer_until_over()) << "a wait never came";
			expect_running_game();
		}
	}
}

// The manager, or the rig above it, disabled by the scene: the greeting still
// plays through and unpauses, and the session must not stay silent for good
// (the manager's fade-in timer is its plain child).
TEST_F(PauseAndVolume, ADisabledManagerOrRigStillFadesIn) {
	for (bool on_parents : { false, true }) {
		for (Node::ProcessMode h : MODES) {
			SCOPED_TRACE(std::string(on_parents ? "rig" : "manager") + " disabled, HUD " + mode_name(h));
			fresh(Node::PROCESS_MODE_DISABLED, h, on_parents);
			ASSERT_NE(welcome(), nullptr);
			ASSERT_TRUE(answer_until_over()) << "a wait never came";
			expect_running_game();
		}
	}
}

// A script stops, frees or re-modes the manager's audio fade timer (it is a
// plain child of the manager) before or during the fade-in: the session
// must not stay silent for good.
TEST_F(PauseAndVolume, FadeTimerMeddledWithByAScript) {
	struct Case {
		const char *name;
		bool before_begun;
		std::function<void(Timer *)> act;
	};
	const Case cases[] = {
		{ "freed before the session begins", true, [](Timer *t) { memdelete(t); } },
		{ "stopped mid-fade", false, [](Timer *t) { t->stop(); } },
		{ "disabled mid-fade", false, [](Timer *t) { t->set_process_mode(Node::PROCESS_MODE_DISABLED); } },
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.name);
		XRSceneTest::TearDown();
		XRSceneTest::SetUp();
		add_openxr();
		build_scene();
		start();
		Timer *fade = nullptr;
		for (int32_t i = 0; i < manager->get_child_count(); i++) {
			if (Timer *t = Object::cast_to<Timer>(manager->get_child(i))) {
				fade = t;
			}
		}
		ASSERT_NE(fade, nullptr);
		if (c.before_begun) {
			c.act(fade);
		}
		emit_session("session_begun");
		if (!c.before_begun) {
			Host::advance(0.5, 1.0 / 60.0);
			c.act(fade);
		}
		emit_session("session_visible");
		emit_session("session_focussed");
		ASSERT_TRUE(answer_until_over());
		expect_running_game();
	}
}

// The manager moved under another parent after the greeting (re-parenting
// re-runs _enter_tree, never _ready): nothing pauses or mutes again, and
// controller input still reaches the player.
TEST_F(PauseAndVolume, ManagerReparentedAfterTheGreeting) {
	emit_session("session_focussed");
	ASSERT_TRUE(answer_until_over());
	Host::advance(3.0, 1.0 / 60.0);
	manager->reparent(root);
	Host::advance(1.0, 1.0 / 60.0);
	EXPECT_FALSE(paused());
	EXPECT_FLOAT_EQ(master_volume(), 1.0f);
	controllers[1]->emit_signal("input_float_changed", String("trigger"), 1.0);
	EXPECT_FLOAT_EQ(player->finger_targets[1][0], 1.0f) << "input no longer reaches the player";
	EXPECT_EQ(Log::error_count(), 0);
}
