// Scene switches that a game makes by hand while the XR session goes on: the
// new scene added before the old one goes, a scene kept aside to come back
// to, a manager moved or a second manager left to take over. The game runs
// from the manager in the tree.
#include "support/code_receiver.hpp"
#include "xr_manager/scene_change_fixture.hpp"

#include "sequences/welcome_sequence.hpp"

#include <godot_cpp/classes/window.hpp>

using namespace godot;
using godot_host::Host;
using godot_host::Log;

class XRManagerHandMadeSwitch : public XRSceneChangeTest {
protected:
	static Window *tree_root() { return Host::tree()->get_root(); }
};

TEST_F(XRManagerHandMadeSwitch, NewSceneAddedBeforeTheOldOneGoesRunsAtOnce) {
	for (bool mid_greeting : { false, true }) {
		SCOPED_TRACE(mid_greeting);
		XRSceneChangeTest::TearDown();
		SetUp();
		if (mid_greeting) {
			emit_session("session_begun");
			emit_session("session_visible");
			emit_session("session_focussed");
		} else {
			play_to_game();
		}
		SceneNodes old_scene = made;
		const uint64_t old_greeting = manager->welcome_sequence ? manager->welcome_sequence->get_instance_id() : 0;
		// In one function of a script: the old scene queued to go, the new one added.
		old_scene.root->queue_free();
		SceneNodes next = make_scene();
		tree_root()->add_child(next.root);
		use_scene(next);
		EXPECT_TRUE(manager->is_running());
		EXPECT_FALSE(old_scene.manager->is_running());
		EXPECT_EQ(Globals::get_hand_controller(0), controllers[0]);
		EXPECT_EQ(old_greeting == 0 ? nullptr : ObjectDB::get_instance(old_greeting), nullptr) << "the old greeting ended";
		// The old scene's controllers no longer reach anyone.
		const float old_target = old_scene.player->finger_targets[1][1];
		old_scene.controllers[1]->emit_signal("input_float_changed", String("trigger"), old_target + 0.5f);
		EXPECT_EQ(old_scene.player->finger_targets[1][1], old_target);

		// The fade, paced at the headset's 90 Hz, ticks once a frame.
		Host::advance(3.5, 1.0 / 60.0);
		expect_game_runs_here();
		EXPECT_TRUE(game_errors().empty());
	}
}

TEST_F(XRManagerHandMadeSwitch, SceneKeptAsideComesBackAndRunsTheGameAgain) {
	play_to_game();
	SceneNodes first = made;
	tree_root()->remove_child(first.root);
	SceneNodes second = make_scene();
	tree_root()->add_child(second.root);
	use_scene(second);
	end_frame();
	expect_game_runs_here();
	// One banner per event, though the manager aside still hears the session.
	Log::clear();
	emit_session("pose_recentered");
	EXPECT_EQ(banners(), 1);

	// Back to the first scene; the second is kept aside in its turn.
	tree_root()->remove_child(second.root);
	tree_root()->add_child(first.root);
	use_scene(first);
	end_frame();
	expect_game_runs_here();
	EXPECT_FALSE(second.manager->is_running());

	// Focus lost and regained while the second scene is away: greeted once.
	emit_session("session_visible");
	EXPECT_TRUE(hud->is_visible());
	EXPECT_FALSE(second.hud->is_visible());
	emit_session("session_focussed");
	EXPECT_EQ(second.manager->welcome_back_sequence, nullptr);
	ASSERT_TRUE(answer_until_running());
	memdelete(second.root);
	end_frame();
	expect_game_runs_here();
}

// A script moves the manager (out of the tree and back) while the HUD shows.
TEST_F(XRManagerHandMadeSwitch, ManagerMovedWhileTheHudShowsCarriesOn) {
	emit_session("session_begun");
	emit_session("session_visible");
	Node *rig = manager->get_parent();
	rig->remove_child(manager);
	rig->add_child(manager);
	end_frame();
	EXPECT_TRUE(manager->is_running());
	EXPECT_TRUE(paused());
	EXPECT_TRUE(hud->is_visible());
	EXPECT_FALSE(world->is_visible());
	emit_session("session_focussed");
	ASSERT_TRUE(answer_until_running());
	Host::advance(2.5, 1.0 / 60.0);
	expect_game_runs_here();
}

// The player moved in two steps while the HUD shows: its skeleton, which
// has lost its owner on the way, still shows again at the greeting's end.
TEST_F(XRManagerHandMadeSwitch, PlayerMovedWhileTheHudShowsGetsItsSkeletonBack) {
	emit_session("session_begun");
	emit_session("session_visible");
	ASSERT_FALSE(skeleton->is_visible());
	Node *rig = player->get_parent();
	rig->remove_child(player);
	rig->add_child(player);
	emit_session("session_focussed");
	ASSERT_TRUE(answer_until_running());
	EXPECT_TRUE(skeleton->is_visible());
	EXPECT_FALSE(hud->is_visible());
}

// The rig (manager and player) is out of the tree when the focus returns: it
// hears the focus, and takes the session as it is when it comes back.
TEST_F(XRManagerHandMadeSwitch, RigAwayWhenTheFocusReturnsPlaysOnItsReturn) {
	play_to_game();
	emit_session("session_visible");
	Node *rig = manager->get_parent();
	root->remove_child(rig);
	end_frame();
	EXPECT_TRUE(skeleton->is_visible());
	EXPECT_FALSE(hud->is_visible());
	EXPECT_FALSE(paused()) << "nothing is left to greet the player";
	emit_session("session_focussed");
	EXPECT_EQ(manager->welcome_back_sequence, nullptr);
	root->add_child(rig);
	end_frame();
	expect_game_runs_here();
}

// Two scenes added at once, each with its manager: the second stands by, and
// takes over in the frame the first is queued for deletion.
TEST_F(XRManagerHandMadeSwitch, TheSecondOfTwoNewScenesTakesOverAsTheFirstIsQueued) {
	play_to_game();
	SceneNodes first = make_scene();
	SceneNodes second = make_scene();
	root->queue_free();
	tree_root()->add_child(first.root);
	tree_root()->add_child(second.root);
	EXPECT_TRUE(first.manager->is_running());
	EXPECT_FALSE(second.manager->is_running());
	first.root->queue_free();
	end_frame();
	EXPECT_TRUE(second.manager->is_running());
	use_scene(second);
	Host::advance(3.0, 1.0 / 60.0);
	expect_game_runs_here();
}

// A script reloads the level as the greeting's end shows the world again.
TEST_F(XRManagerHandMadeSwitch, ReloadAsTheGreetingEndsPlaysOn) {
	manager->show_welcome = false;
	Globals::first_greeting_started = true;
	emit_session("session_begun");
	emit_session("session_visible");
	emit_session("session_focussed");
	world->connect("visibility_changed", on_first_signal(root, []() { Host::tree()->reload_current_scene(); }));
	ASSERT_TRUE(advance_until([&]() { return controllers[0]->_host_connection_count("button_pressed") > 1; }));
	press(0, "ax_button");
	end_frame();
	use_scene(made);
	Host::advance(3.0, 1.0 / 60.0);
	expect_game_runs_here();
}

// A second manager beside the first stands by, and takes over when the
// first goes.
TEST_F(XRManagerHandMadeSwitch, SecondManagerTakesOverWhenTheFirstGoes) {
	XRManager *second = add_node(manager->get_parent(), memnew(XRManager), "XRManager2", root);
	second->set_process_mode(Node::PROCESS_MODE_ALWAYS);
	add_node(second, memnew(XRCamera3D), "XRCamera3D", root);
	play_to_game();
	EXPECT_FALSE(second->is_running());
	memdelete(manager);
	end_frame();
	manager = second;
	EXPECT_TRUE(manager->is_running());
	EXPECT_EQ(Globals::get_xr_camera(), second->find_child("XRCamera3D", true, true));
	EXPECT_FALSE(paused());
	EXPECT_TRUE(world->is_visible());
	// The second manager routes the input now.
	const size_t recentres = recentre_count();
	press(0, "ax_button");
	press(1, "by_button");
	EXPECT_EQ(recentre_count(), recentres + 1);
	emit_session("session_visible");
	emit_session("session_focussed");
	ASSERT_TRUE(answer_until_running());
}

// What the destructor gives back runs no script while the manager is half
// destroyed: a receiver that frees the manager again finds it gone.
TEST_F(XRManagerHandMadeSwitch, ManagerFreedMidGreetingRunsNoScriptAndGivesTheGameBack) {
	emit_session("session_begun");
	emit_session("session_visible");
	emit_session("session_focussed");
	const uint64_t manager_id = manager->get_instance_id();
	const uint64_t greeting = manager->welcome_sequence->get_instance_id();
	int shown_with_manager_alive = 0;
	int shown = 0;
	world->connect("visibility_changed", on_signal(root, [&]() {
		shown++;
		if (Object *alive = ObjectDB::get_instance(manager_id)) {
			shown_with_manager_alive++;
			memdelete(alive);
		}
	}));
	memdelete(manager);
	manager = nullptr;
	EXPECT_EQ(shown, 0);
	EXPECT_EQ(ObjectDB::get_instance(greeting), nullptr);
	end_frame();
	EXPECT_EQ(shown, 1);
	EXPECT_EQ(shown_with_manager_alive, 0);
	EXPECT_TRUE(world->is_visible());
	EXPECT_TRUE(skeleton->is_visible());
	EXPECT_FALSE(hud->is_visible());
	EXPECT_FALSE(paused());
	EXPECT_EQ(master_volume(), 1.0f);
}

// A script calls the manager's handlers with any hand index.
TEST_F(XRManagerHandMadeSwitch, HandlersRefuseHandsThatDoNotExist) {
	play_to_game();
	Log::clear();
	const size_t recentres = recentre_count();
	for (int hand : { -1, 2, INT32_MAX, INT32_MIN }) {
		manager->_on_button_pressed("ax_button", hand);
		manager->_on_button_pressed("by_button", hand);
		manager->_on_button_released("ax_button", hand);
		manager->_on_input_float_changed("trigger", 1.0f, hand);
		manager->_on_input_vector2_changed("primary", Vector2(1, 1), hand);
		manager->_on_profile_changed("left_hand", hand);
	}
	EXPECT_EQ(recentre_count(), recentres);
	EXPECT_EQ(game_errors().size(), 24u);
	EXPECT_EQ(player->thrust_input, 0.0f);
}
