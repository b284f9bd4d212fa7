// Scripts that run inside the manager's own calls: receivers of a world
// node's "visibility_changed" that free the manager or switch again while
// the world is being hidden or shown.
#include "support/code_receiver.hpp"
#include "xr_manager/xr_scene.hpp"

#include "sequences/welcome_back_sequence.hpp"

using namespace godot;
using godot_host::Host;

class XRManagerScripts : public XRSceneTest {
protected:
	Node3D *world2 = nullptr; // a second visible top-level 3-D node, after the first

	void SetUp() override {
		XRSceneTest::SetUp();
		add_openxr();
		build_scene();
		world2 = add_node(root, memnew(Node3D), "World2", root);
		start();
	}

	void expect_world_shown() {
		EXPECT_TRUE(world->is_visible());
		EXPECT_TRUE(world2->is_visible());
		EXPECT_FALSE(hidden->is_visible());
		EXPECT_TRUE(skeleton->is_visible());
		EXPECT_FALSE(hud->is_visible());
	}
};

TEST_F(XRManagerScripts, ManagerFreedByAWorldNodeAsTheHudShows) {
	for (const char *event : { "session_begun", "session_visible" }) {
		SCOPED_TRACE(event);
		XRSceneTest::TearDown();
		SetUp();
		world->connect("visibility_changed", on_first_signal(root, [this]() {
			memdelete(manager);
			manager = nullptr;
		}));
		emit_session(event);
		EXPECT_EQ(manager, nullptr);
		// Hidden for a manager that is gone, the world would stay hidden for
		// good; it shows again at the end of the frame, and with no manager
		// left, the game is given back unpaused and at full volume.
		Host::iteration(1.0 / 60.0);
		expect_world_shown();
		EXPECT_FALSE(paused());
		EXPECT_EQ(master_volume(), 1.0f);
		emit_session("session_focussed");
		Host::advance(3.0, 1.0 / 60.0);
	}
}

// The session goes back to visible (as a script may make it) while the end
// of a greeting shows the world: the HUD shows again, the game stays paused,
// and the next greeting's end shows the whole world.
TEST_F(XRManagerScripts, HudShownAgainWhileAGreetingShowsTheWorld) {
	manager->show_welcome = false;
	emit_session("session_begun");
	emit_session("session_visible");
	emit_session("session_focussed");
	WelcomeBackSequence *seq = Object::cast_to<WelcomeBackSequence>(manager->welcome_back_sequence);
	ASSERT_TRUE(advance_until([&]() { return seq->state == 2; }));
	bool shown_again = false;
	world->connect("visibility_changed", on_signal(root, [&]() {
		if (!shown_again && world->is_visible()) {
			shown_again = true;
			emit_session("session_visible");
		}
	}));
	press(0, "ax_button");
	ASSERT_TRUE(shown_again);
	EXPECT_EQ(manager->welcome_back_sequence, nullptr);
	EXPECT_TRUE(paused());
	EXPECT_TRUE(hud->is_visible());
	EXPECT_FALSE(world->is_visible());
	EXPECT_FALSE(world2->is_visible());

	emit_session("session_focussed");
	seq = Object::cast_to<WelcomeBackSequence>(manager->welcome_back_sequence);
	ASSERT_NE(seq, nullptr);
	ASSERT_TRUE(advance_until([&]() { return seq->state == 2; }));
	press(1, "ax_button");
	EXPECT_FALSE(paused());
	expect_world_shown();
}

// The same inside a plain switch: showing the HUD from inside the restore
// keeps what the nodes not yet restored had saved.
TEST_F(XRManagerScripts, SwitchInsideASwitchKeepsWhatWasSaved) {
	manager->set_hud_visible(true);
	bool shown_again = false;
	world->connect("visibility_changed", on_signal(root, [&]() {
		if (!shown_again && world->is_visible()) {
			shown_again = true;
			manager->set_hud_visible(true);
		}
	}));
	manager->set_hud_visible(false);
	ASSERT_TRUE(shown_again);
	EXPECT_TRUE(manager->hud_visible);
	EXPECT_TRUE(hud->is_visible());
	EXPECT_FALSE(world->is_visible());
	EXPECT_FALSE(world2->is_visible());
	manager->set_hud_visible(false);
	expect_world_shown();
}
