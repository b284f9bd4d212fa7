// Scripts take the player (and its rig) out of the tree, move it elsewhere or
// replace it while managers take the game over. Input must reach the player
// in the tree, or the library must say why it can't; once the greeting is
// answered nothing stays paused, muted or hidden.
#include "game_life/test_more_fixture.hpp"

using namespace godot;
using godot_host::Host;
using godot_host::Log;

class MorePlayerMoves : public MoreLifeTest {
protected:
	// A player that a script builds and adds: no node of it has an owner.
	static SceneNodes script_made_player() {
		SceneNodes n;
		n.player = memnew(Player);
		n.player->set_name("Player");
		n.controllers[0] = add_node(n.player, memnew(XRController3D), "XRController3DLeft", nullptr);
		n.controllers[1] = add_node(n.player, memnew(XRController3D), "XRController3DRight", nullptr);
		n.hud = add_node(n.player, memnew(HUD), "HUD", nullptr);
		n.hud->set_process_mode(Node::PROCESS_MODE_ALWAYS);
		add_node(n.hud, memnew(AudioStreamPlayer), "AudioStreamPlayer", nullptr);
		n.skeleton = add_node(n.player, memnew(Skeleton3D), "Skeleton3D", nullptr);
		return n;
	}

	// The focus lost and regained, the short greeting answered on whatever
	// controllers Globals names (the ones a greeting listens to).
	void refocus_and_answer() {
		emit_session("session_visible");
		emit_session("session_focussed");
		for (int answers = 0; answers < 10 && paused(); answers++) {
			Host::advance(4.0, 1.0 / 60.0);
			for (int hand = 0; hand < 2; hand++) {
				if (XRController3D *c = Globals::get_hand_controller(hand)) {
					c->emit_signal("button_pressed", String("ax_button"));
					c->emit_signal("button_released", String("ax_button"));
				}
			}
		}
		Host::advance(3.0, 1.0 / 60.0);
	}
};

// The player is out of the tree when its manager goes and a second level's
// manager takes over; the first player is then put back into its rig (its
// owner lost). The new manager drives its own player.
TEST_F(MorePlayerMoves, PlayerAwayWhileASecondManagerTakesOverThenPutBack) {
	reach(PLAYING);
	SceneNodes first = made;
	SceneNodes second = add_level();
	Node *rig = first.player->get_parent();
	rig->remove_child(first.player);
	memdelete(first.manager);
	end_frame();
	ASSERT_TRUE(second.manager->is_running());
	rig->add_child(first.player);
	end_frame();
	use_scene(second);
	refocus_and_answer();
	expect_released(second);
	EXPECT_TRUE(first.world->is_visible());
	EXPECT_TRUE(stick_reaches(second.player, second.controllers[1]));
}

// The whole level and, before it, its player taken out (the player loses its
// owner); the level comes back first, its manager takes the game again, then
// the player is put back into the rig.
TEST_F(MorePlayerMoves, LevelBackBeforeItsPlayerThenPlayerPutBack) {
	reach(PLAYING);
	Node *rig = player->get_parent();
	rig->remove_child(player);
	tree_root()->remove_child(root);
	end_frame();
	EXPECT_FALSE(paused()) << "no manager left: the game is given back";
	tree_root()->add_child(root);
	end_frame();
	ASSERT_TRUE(manager->is_running());
	const int mark = errors_now();
	rig->add_child(player);
	end_frame();
	const bool reaches = stick_reaches(player, controllers[1]);
	EXPECT_TRUE(reaches || error_since(mark, "Player")) << "the player is back in the rig: input must reach it, or the library must say why not";
	refocus_and_answer();
	expect_released(made);
	EXPECT_TRUE(stick_reaches(player, controllers[1])) << "after the greeting, the player in the tree takes input";
}

// A script moves the player out of the rig to another node of the level
// (reparent keeps the owner, which still lies above it).
TEST_F(MorePlayerMoves, PlayerReparentedOutsideTheRig) {
	reach(PLAYING);
	const int mark = errors_now();
	player->reparent(plain);
	end_frame();
	const bool reaches = stick_reaches(player, controllers[1]);
	EXPECT_TRUE(reaches || error_since(mark, "Player")) << "input went nowhere without a word";
	refocus_and_answer();
	expect_released(made);
	EXPECT_FALSE(hud->is_visible());
}

// Moved under a new node inside the rig: still below the manager's parent.
TEST_F(MorePlayerMoves, PlayerReparentedDeeperInsideTheRig) {
	reach(PLAYING);
	Node *holder = memnew(Node);
	player->get_parent()->add_child(holder);
	player->reparent(holder);
	end_frame();
	EXPECT_TRUE(stick_reaches(player, controllers[1]));
	refocus_and_answer();
	expect_plays_on();
	EXPECT_TRUE(stick_reaches(player, controllers[1]));
}

// The manager's player freed while playing; a script adds a new one (no
// owners) in the rig.
TEST_F(MorePlayerMoves, PlayerFreedAndAScriptMadeOneAdded) {
	reach(PLAYING);
	Node *rig = player->get_parent();
	memdelete(player);
	end_frame();
	const int mark = errors_now();
	SceneNodes fresh = script_made_player();
	rig->add_child(fresh.player);
	end_frame();
	const bool reaches = stick_reaches(fresh.player, fresh.controllers[1]);
	// Its own parts have no owner: the player says it finds no controllers.
	EXPECT_TRUE(reaches || error_since(mark, "XRController3D")) << "the new player's stick went nowhere without a word";
	refocus_and_answer();
	expect_released(made);
}

// The player freed mid-greeting and a script-made one added: the greeting
// must not keep the game paused.
TEST_F(MorePlayerMoves, PlayerFreedMidGreetingAndAScriptMadeOneAdded) {
	reach(GREETING);
	ASSERT_TRUE(advance_welcome_to(2));
	Node *rig = player->get_parent();
	memdelete(player);
	SceneNodes fresh = script_made_player();
	rig->add_child(fresh.player);
	end_frame();
	refocus_and_answer();
	expect_released(made);
	EXPECT_FALSE(fresh.hud->is_visible());
}

// The whole rig (manager and player) taken out while a second level's
// manager takes over, put back (every owner in it lost), and the second
// level freed: the first manager takes the game again with its own player.
TEST_F(MorePlayerMoves, RigOutWhileASecondManagerTakesOverThenBack) {
	reach(PLAYING);
	SceneNodes first = made;
	SceneNodes second = add_level();
	Node *rig = first.player->get_parent();
	first.root->remove_child(rig);
	end_frame();
	ASSERT_TRUE(second.manager->is_running());
	first.root->add_child(rig);
	end_frame();
	EXPECT_TRUE(second.manager->is_running()) << "the one that took over keeps the game";
	memdelete(second.root);
	end_frame();
	use_scene(first);
	ASSERT_TRUE(manager->is_running());
	refocus_and_answer();
	expect_released(first);
	EXPECT_FALSE(hud->is_visible());
	EXPECT_TRUE(skeleton->is_visible());
	EXPECT_TRUE(stick_reaches(player, controllers[1]));
}
