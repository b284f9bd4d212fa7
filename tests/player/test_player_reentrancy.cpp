// Scripts that run inside the player's own calls (the tree and child-order
// signals of a grab or a release) and free what the player goes on to use,
// a player that leaves while it holds something, and a second player.
#include "hands_scene.hpp"

#include <memory>

namespace {

// The right hand closes around a body whose children are a shape, then a mesh.
class GrabInterruptTest : public HandsTest {
protected:
	RigidBody3D *crate = nullptr;
	Node3D *mesh = nullptr;
	uint64_t crate_id = 0;
	uint64_t mesh_id = 0;
	uint64_t player_id = 0;

	void SetUp() override {
		HandsTest::SetUp();
		crate = body("Crate", Vector3(0.2f, 0, 0));
		crate->set_mass(2.0f);
		crate->set_physics_process(true); // as a script with a physics step has it
		mesh = add_node(crate, memnew(Node3D), "Mesh", world);
		crate_id = crate->get_instance_id();
		mesh_id = mesh->get_instance_id();
		player_id = player->get_instance_id();
	}

	// Runs p_code the first time p_emitter emits p_signal.
	void once(Object *p_emitter, const char *p_signal, std::function<void()> p_code) {
		p_emitter->connect(p_signal, on_first_signal(p_emitter, std::move(p_code)));
	}

	void expect_crate_let_go() {
		ASSERT_NE(ObjectDB::get_instance(crate_id), nullptr);
		EXPECT_EQ(crate->get_process_mode(), Node::PROCESS_MODE_INHERIT);
		EXPECT_FALSE(crate->is_processing());
		EXPECT_TRUE(crate->is_physics_processing());
		EXPECT_TRUE(crate->_host_in_world());
		ASSERT_NE(ObjectDB::get_instance(mesh_id), nullptr);
		EXPECT_EQ(mesh->get_parent(), crate);
	}

	int copies_on(Node *p_player) {
		return (int)p_player->find_children("*__hand_r_held_object_collider", "", true, false).size();
	}
};

} // namespace

TEST_F(GrabInterruptTest, AScriptFreeingThePlayerMidGrabLeavesTheBodyWhole) {
	once(player, "child_order_changed", [this]() { free_if_alive(player_id); });
	grab_with(1, crate);
	EXPECT_EQ(ObjectDB::get_instance(player_id), nullptr);
	expect_crate_let_go();
	Host::process_frame(1.0 / 60.0);
}

TEST_F(GrabInterruptTest, AScriptFreeingTheBodyMidGrabUndoesIt) {
	once(player, "child_order_changed", [this]() { free_if_alive(crate_id); });
	grab_with(1, crate);
	EXPECT_EQ(player->held_objects[1].object, nullptr);
	EXPECT_FLOAT_EQ(player->get_mass(), 80.0f);
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(copies_on(player), 0);
	EXPECT_EQ(attach[1]->get_child_count(), 0);
}

TEST_F(GrabInterruptTest, AScriptFreeingTheHandMidGrabUndoesIt) {
	uint64_t attachment_id = attach[1]->get_instance_id();
	once(player, "child_order_changed", [attachment_id]() { free_if_alive(attachment_id); });
	grab_with(1, crate);
	EXPECT_EQ(player->held_objects[1].object, nullptr);
	EXPECT_FLOAT_EQ(player->get_mass(), 80.0f);
	expect_crate_let_go();
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(copies_on(player), 0);
}

TEST_F(GrabInterruptTest, AScriptFreeingThePlayerMidReleaseLeavesTheBodyWhole) {
	grab_with(1, crate);
	ASSERT_EQ(player->held_objects[1].object, crate);
	once(crate, "child_order_changed", [this]() { free_if_alive(player_id); });
	close_hand(player, 1, 0.0f);
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(ObjectDB::get_instance(player_id), nullptr);
	expect_crate_let_go();
	expect_close(crate->get_global_position(), Vector3(0.2f, 0, 0));
}

TEST_F(GrabInterruptTest, AFreedPlayerLetsGoFirst) {
	grab_with(1, crate);
	ASSERT_EQ(mesh->get_parent(), attach[1]);
	memdelete(player);
	expect_crate_let_go();
	Host::process_frame(1.0 / 60.0);
}

TEST_F(GrabInterruptTest, APlayerTakenOutOfTheTreeLetsGoFirst) {
	attach[1]->set_position(Vector3(0, 0.5f, 0));
	grab_with(1, crate);
	attach[1]->set_position(Vector3(0, 1.0f, 0));
	world->remove_child(player);
	expect_crate_let_go();
	expect_close(crate->get_global_position(), Vector3(0.2f, 0.5f, 0)); // where the hand had it
	EXPECT_FLOAT_EQ(player->get_mass(), 80.0f);
	EXPECT_EQ(player->held_objects[1].object, nullptr);
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(copies_on(player), 0);

	// Back in the scene, it takes hold again.
	world->add_child(player);
	grab_with(1, crate);
	EXPECT_EQ(player->held_objects[1].object, crate);
	EXPECT_EQ(mesh->get_parent(), attach[1]);
}

TEST_F(GrabInterruptTest, AFreedHandGivesTheBodyBackItsChildren) {
	grab_with(1, crate);
	memdelete(attach[1]);
	expect_crate_let_go();
	EXPECT_EQ(player->held_objects[1].object, nullptr);
	EXPECT_FLOAT_EQ(player->get_mass(), 80.0f);
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(copies_on(player), 0);
}

// The held body, moved below the player by a script, goes with it.
TEST_F(GrabInterruptTest, AHeldBodyFreedWithThePlayerIsNoProblem) {
	grab_with(1, crate);
	crate->reparent(attach[0], true);
	memdelete(player);
	EXPECT_EQ(ObjectDB::get_instance(crate_id), nullptr);
	EXPECT_EQ(ObjectDB::get_instance(mesh_id), nullptr);
	Host::process_frame(1.0 / 60.0);
}

TEST_F(PlayerTest, ASecondPlayerLeavesTheFirstOnesControllersInUse) {
	build();
	Player *second = add_node(world, memnew(Player), "SubScenePlayer", world);
	add_node(second, memnew(XRController3D), "XRController3DLeft", world);
	add_node(second, memnew(XRController3D), "XRController3DRight", world);
	start();
	EXPECT_EQ(Globals::get_hand_controller(0), controllers[0]);
	EXPECT_EQ(Globals::get_hand_controller(1), controllers[1]);
	int reports = 0;
	for (const godot_host::LogEntry &e : godot_host::Log::errors()) {
		reports += e.text.find("second player") != std::string::npos ? 1 : 0;
	}
	EXPECT_EQ(reports, 1);

	// Once the first player is gone, a player that comes later takes over.
	memdelete(player);
	memdelete(second);
	Player *later = memnew(Player);
	later->set_name("LaterPlayer");
	XRController3D *left = add_node(later, memnew(XRController3D), "XRController3DLeft", later);
	world->add_child(later);
	EXPECT_EQ(Globals::get_hand_controller(0), left);
}
