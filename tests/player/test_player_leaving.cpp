// A player on its way out (queued for deletion with its scene, or out of the
// tree) no longer holds the shared controllers: the player in the tree takes
// them at once. And the player's cleanup timer runs whatever a script does.
#include "player/player_scene.hpp"

#include "library_timer.hpp"

#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/classes/window.hpp>
#include <godot_host/log.hpp>

#include <algorithm>
#include <functional>

using namespace godot;
using godot_host::Host;

class PlayerLeaving : public PlayerTest {
protected:
	// A second player with its two controllers, below p_parent.
	struct OtherPlayer {
		Player *player = nullptr;
		XRController3D *controllers[2] = {};
	};
	static OtherPlayer add_player(Node *p_parent, const char *p_name) {
		OtherPlayer other;
		other.player = memnew(Player);
		other.controllers[0] = add_node(other.player, memnew(XRController3D), "XRController3DLeft", other.player);
		other.controllers[1] = add_node(other.player, memnew(XRController3D), "XRController3DRight", other.player);
		add_node(p_parent, other.player, p_name, nullptr);
		return other;
	}

	static int second_player_reports() {
		const auto &errors = godot_host::Log::errors();
		return (int)std::count_if(errors.begin(), errors.end(), [](const godot_host::LogEntry &e) { return e.text.find("second player") != std::string::npos; });
	}
};

// A scene switched by hand: the old scene queued to go and the new one added
// in the same function, so the new player is ready before the old one goes.
TEST_F(PlayerLeaving, APlayerReadyBeforeTheLeavingOneGoesTakesTheControllers) {
	build();
	start();
	world->queue_free();
	Node3D *next_world = memnew(Node3D);
	Host::tree()->get_root()->add_child(next_world);
	OtherPlayer next = add_player(next_world, "Player");
	EXPECT_EQ(Globals::get_hand_controller(0), next.controllers[0]);
	EXPECT_EQ(Globals::get_hand_controller(1), next.controllers[1]);
	EXPECT_EQ(second_player_reports(), 0);
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(Globals::get_hand_controller(0), next.controllers[0]);
}

TEST_F(PlayerLeaving, ALeavingPlayerHandsTheControllersOverAtOnce) {
	build();
	OtherPlayer second = add_player(world, "SubScenePlayer");
	start();
	ASSERT_EQ(Globals::get_hand_controller(0), controllers[0]);
	world->remove_child(player);
	EXPECT_EQ(Globals::get_hand_controller(0), second.controllers[0]);
	EXPECT_EQ(Globals::get_hand_controller(1), second.controllers[1]);
	memdelete(player);
	EXPECT_EQ(Globals::get_hand_controller(1), second.controllers[1]);

	// The only player moved in two steps keeps them.
	world->remove_child(second.player);
	world->add_child(second.player);
	EXPECT_EQ(Globals::get_hand_controller(0), second.controllers[0]);
}

TEST_F(PlayerLeaving, TheCleanupTimerRunsWhateverAScriptDoesToIt) {
	build();
	start();
	const Callable on_timeout(player, "_on_cleanup_timer_timeout");
	const std::function<void(Timer *)> attacks[] = {
		[](Timer *t) { t->stop(); },
		[](Timer *t) { t->set_paused(true); },
		[](Timer *t) { t->get_parent()->remove_child(t); },
		// What a script can make the player do with its own timer.
		[this](Timer *t) { player->_on_release_item_timeout(nullptr, t); },
		[](Timer *t) { memdelete(t); },
	};
	for (const auto &attack : attacks) {
		Timer *timer = player->cleanup_timer;
		ASSERT_TRUE(library_timer_runs(timer));
		attack(timer);
		Host::iteration(1.0 / 60.0);
		ASSERT_TRUE(library_timer_runs(player->cleanup_timer));
		EXPECT_EQ(player->cleanup_timer->get_wait_time(), 60.0);
		EXPECT_TRUE(player->cleanup_timer->is_connected("timeout", on_timeout));
	}
	EXPECT_EQ(player->get_children().size(), 6) << "no timer piles up";
}
