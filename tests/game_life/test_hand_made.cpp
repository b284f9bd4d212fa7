// Scene switches made by a game's own scripts while the session goes on:
// the old scene queued to go and the new one added in one function, a scene
// kept aside and brought back (its nodes re-enter; _ready does not run
// again), two managers at once, the manager or the player moved, a hand
// holding a body as the scene goes.
#include "game_life/game_life_fixture.hpp"

using namespace godot;
using godot_host::Host;
using godot_host::Log;

class LifeHandMade : public GameLifeTest {
protected:
	// A sub-scene brings its own player (and controllers) beside the level's.
	static void add_sub_scenes_player(Node *p_below) {
		SceneNodes sub = make_scene();
		Player *other = sub.player;
		other->get_parent()->remove_child(other);
		memdelete(sub.root);
		Node3D *holder = add_node(p_below, memnew(Node3D), "SubScene", nullptr);
		holder->add_child(other);
	}
};

TEST_F(LifeHandMade, OldSceneQueuedAndNewOneAddedAtEachStagePlaysOn) {
	for (Stage stage : { NONE, BEGUN, VISIBLE, GREETING, PLAYING }) {
		for (bool made_current : { false, true }) {
			SCOPED_TRACE(std::string(stage_name(stage)) + (made_current ? " / made current" : ""));
			GameLifeTest::TearDown();
			SetUp();
			reach(stage);
			SceneNodes old_scene = made;
			old_scene.root->queue_free();
			SceneNodes next = add_level();
			if (made_current) {
				tree()->set_current_scene(next.root);
			}
			use_scene(next);
			end_frame();
			go_on_from(stage);
			expect_plays_on();
		}
	}
}

// The level taken out mid-greeting (at its start delay, while typing, while
// waiting for a press), another played, then the first brought back.
TEST_F(LifeHandMade, SceneKeptAsideMidGreetingComesBackAndPlays) {
	for (int32_t state : { 0, 1, 2, 8 }) {
		SCOPED_TRACE(state);
		GameLifeTest::TearDown();
		SetUp();
		reach(GREETING);
		ASSERT_TRUE(advance_welcome_to(state));
		SceneNodes first = made;
		tree_root()->remove_child(first.root);
		SceneNodes second = add_level();
		use_scene(second);
		end_frame();
		expect_plays_on();

		tree_root()->remove_child(second.root);
		tree_root()->add_child(first.root);
		use_scene(first);
		end_frame();
		expect_plays_on();
		memdelete(second.root);
		end_frame();
		expect_plays_on();
	}
}

// Two levels with managers in the tree at once; the running one is freed
// by a script on its HUD's "finished_typing" mid-greeting. The second takes
// over and plays.
TEST_F(LifeHandMade, RunningManagerFreedFromItsHudsSignalWhileASecondWaits) {
	reach(GREETING);
	SceneNodes first = made;
	SceneNodes second = add_level();
	EXPECT_FALSE(second.manager->is_running());
	bool freed = false;
	first.hud->connect("finished_typing", on_first_signal(first.hud, [&]() {
		freed = true;
		memdelete(first.manager);
	}));
	ASSERT_TRUE(advance_until([&]() { return freed; }, 10.0));
	use_scene(second);
	end_frame();
	EXPECT_TRUE(manager->is_running());
	// The first scene's world, which its manager had hidden, shows again.
	EXPECT_TRUE(first.world->is_visible());
	EXPECT_FALSE(first.hud->is_visible());
	expect_plays_on();
}

// The manager moved to the top of its level mid-greeting, and later back.
TEST_F(LifeHandMade, ManagerMovedElsewhereInTheLevelPlaysOn) {
	reach(GREETING);
	ASSERT_TRUE(advance_welcome_to(2));
	Node *rig = manager->get_parent();
	rig->remove_child(manager);
	root->add_child(manager);
	end_frame();
	expect_plays_on();
	root->remove_child(manager);
	rig->add_child(manager);
	end_frame();
	expect_plays_on();
}

// A sub-scene's player beside the level's; the level's player is then moved
// out and back. The manager goes on driving the level's player: Globals must
// name that player's controllers, the ones the manager hears.
TEST_F(LifeHandMade, PlayerMovedOutAndBackBesideASubScenesPlayer) {
	reach(PLAYING);
	add_sub_scenes_player(root);
	end_frame();
	expect_plays_on();

	Node *rig = player->get_parent();
	rig->remove_child(player);
	end_frame();
	rig->add_child(player);
	end_frame();
	EXPECT_EQ(Globals::get_hand_controller(0), controllers[0]);
	EXPECT_EQ(Globals::get_hand_controller(1), controllers[1]);
	// The focus lost and regained: the short greeting must be answerable by
	// the controllers whose input the manager forwards.
	emit_session("session_visible");
	emit_session("session_focussed");
	expect_plays_on();
}

// The focus is lost and regained while the level's player is away: the
// short greeting starts on the sub-scene's controllers, and follows the
// level's own once its player is back.
TEST_F(LifeHandMade, FocusRegainedWhileThePlayerIsAwayBesideASubScenesPlayer) {
	reach(PLAYING);
	add_sub_scenes_player(root);
	end_frame();
	Node *rig = player->get_parent();
	rig->remove_child(player);
	end_frame();
	emit_session("session_visible");
	emit_session("session_focussed");
	Host::advance(0.5, 1.0 / 60.0);
	rig->add_child(player);
	end_frame();
	expect_plays_on();
}

// ---- A hand holds a body as the scene goes ----

class LifeHolding : public GameLifeTest {
protected:
	void SetUp() override {
		GameLifeTest::SetUp();
		load_level_with(add_hands_and_crate);
	}

	RigidBody3D *crate() { return Object::cast_to<RigidBody3D>(root->get_node_or_null(NodePath("Crate"))); }

	// The left hand closes on the crate while the game runs.
	void take_crate() {
		RigidBody3D *body = crate();
		player->_handle_hand_collision(RID(), body, 0, (uint32_t)shape_index("thumb_l_collider"), true);
		player->_handle_hand_collision(RID(), body, 0, (uint32_t)shape_index("index_02_l_collider"), true);
		for (int f = 0; f < 5; f++) {
			player->finger_targets[0][f] = 1.0f;
		}
		ASSERT_TRUE(advance_until([&]() { return player->held_objects[0].object == body; }, 2.0));
	}
};

TEST_F(LifeHolding, EachWayOfChangingWhileAHandHoldsPlaysOn) {
	for (Change how : { BY_FILE, BY_PACKED, BY_RELOAD }) {
		SCOPED_TRACE((int)how);
		LifeHolding::TearDown();
		SetUp();
		reach(PLAYING);
		take_crate();
		change_now(how);
		expect_plays_on();
		EXPECT_EQ(player->held_objects[0].object, nullptr);
	}
}

TEST_F(LifeHolding, HandMadeSwitchWhileAHandHoldsPlaysOn) {
	reach(PLAYING);
	take_crate();
	SceneNodes old_scene = made;
	old_scene.root->queue_free();
	SceneNodes next = make_scene();
	add_hands_and_crate(next);
	tree_root()->add_child(next.root);
	tree()->set_current_scene(next.root);
	use_scene(next);
	end_frame();
	expect_plays_on();
}

// The session loses the focus while the hand holds the crate, and the
// player, still holding, is moved out and back: the crate is given back and
// the game plays on after the short greeting.
TEST_F(LifeHolding, FocusLostAndPlayerMovedWhileHoldingPlaysOn) {
	reach(PLAYING);
	take_crate();
	RigidBody3D *body = crate();
	emit_session("session_visible");
	Node *rig = player->get_parent();
	rig->remove_child(player);
	rig->add_child(player);
	end_frame();
	EXPECT_EQ(player->held_objects[0].object, nullptr);
	EXPECT_EQ(body->get_parent(), root);
	emit_session("session_focussed");
	expect_plays_on();
}
