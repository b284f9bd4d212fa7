// What a grab may take and what a held object's copies push.
#include "hands_scene.hpp"

class HeldCopyPushTest : public PushTest {
protected:
	RigidBody3D *crate = nullptr;
	RigidBody3D *neighbour = nullptr;

	// Far from the world origin, the right hand (at the player's origin)
	// grabs a 2 kg crate; its copy rests against a 1 kg crate.
	void grab_crate_next_to_a_neighbour() {
		player->set_global_position(Vector3(0, 0, -20));
		crate = body("Crate", Vector3(0, 0, -20));
		crate->set_mass(2.0f);
		neighbour = body("Neighbour", Vector3(0, 0, -20.5f));
		neighbour->_host_set_record_impulses(true);
		PhysicsWorld::begin_shape_contact(player, crate, 0, shape("thumb_01_r_collider"));
		PhysicsWorld::begin_shape_contact(player, crate, 0, shape("index_01_r_collider"));
		player->_on_input_float_changed("trigger", 1.0f, 1, false);
		Host::iteration(1.0 / 60.0);
		ASSERT_EQ(player->held_objects[1].object, crate);
		contact("CollisionShape3D__hand_r_held_object_collider", neighbour, Vector3(0, 0, 1));
	}
};

TEST_F(HeldCopyPushTest, AStillHandHoldingACrateFlingsNothing) {
	grab_crate_next_to_a_neighbour();
	// Made in the frame, the copy is already at the hand before any sample.
	expect_close(player->held_objects[1].colliders[0]->get_global_position(), Vector3(0, 0, -20));
	Host::advance(10.0 / 60.0, 1.0 / 60.0);
	for (const auto &impulse : neighbour->_host_impulses()) {
		expect_close(impulse.first, Vector3());
	}
	expect_close(neighbour->get_linear_velocity(), Vector3());
	expect_close(neighbour->get_global_position(), Vector3(0, 0, -20.5f));
}

TEST_F(HeldCopyPushTest, ASwungHandStillPushesWithTheCratesWeight) {
	grab_crate_next_to_a_neighbour();
	for (int i = 1; i <= 10; i++) {
		attach[1]->set_position(Vector3(0, 0, -0.05f * (float)i)); // toward the neighbour
		Host::iteration(1.0 / 60.0);
	}
	ASSERT_FALSE(neighbour->_host_impulses().empty());
	// Five steps of 0.05 over 10, against the normal: k = 2 + 0.25 * 82.
	Vector3 last = neighbour->_host_impulses().back().first;
	EXPECT_NEAR(last.z, -0.025f * (1.0f / 60.0f) * 1000.0f * 22.5f, 0.05f);
	EXPECT_LT(neighbour->get_linear_velocity().z, 0.0f);
}

TEST_F(HandsTest, ABodyHeldByOneHandIsNotGrabbedByTheOther) {
	RigidBody3D *a = body("A");
	a->set_mass(3.0f);
	touch(a, "thumb_l_collider");
	touch(a, "index_02_l_collider");
	close_hand(player, 0, 1.0f);
	Host::process_frame(1.0 / 60.0);
	ASSERT_EQ(player->held_objects[0].object, a);

	// Still reported touching the other, closed hand.
	touch(a, "thumb_01_r_collider");
	touch(a, "index_01_r_collider");
	close_hand(player, 1, 1.0f);
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(player->held_objects[1].object, nullptr);
	EXPECT_FLOAT_EQ(player->get_mass(), 83.0f);

	// Let go by the left hand, it is the right hand's to take.
	close_hand(player, 0, 0.0f);
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(player->held_objects[0].object, nullptr);
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(player->held_objects[1].object, a);
	EXPECT_FLOAT_EQ(player->get_mass(), 83.0f);
}

TEST_F(HandsTest, ThePlayerNeverGrabsItselfOrABodyOfItsOwn) {
	RigidBody3D *own = add_node(attach[1], memnew(RigidBody3D), "Carried", world);
	for (Node *b : { static_cast<Node *>(player), static_cast<Node *>(own) }) {
		touch(b, "thumb_01_r_collider");
		touch(b, "index_01_r_collider");
	}
	EXPECT_EQ(player->touching_objects.size(), 0);

	// A body touched while free and then made the player's own is not taken either.
	RigidBody3D *later = body("Later");
	touch(later, "thumb_01_r_collider");
	touch(later, "index_01_r_collider");
	later->reparent(attach[1], true);
	close_hand(player, 1, 1.0f);
	Host::process_frame(1.0 / 60.0);
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(player->held_objects[1].object, nullptr);
	EXPECT_TRUE(player->is_processing());
	EXPECT_FLOAT_EQ(player->get_mass(), 80.0f);
	EXPECT_EQ(skeleton->get_parent(), player);
}
