// Partners and touched bodies that the scene frees while the player plays,
// and hand shapes renamed on the way.
#include "hands_scene.hpp"

TEST_F(PlayerTest, AFreedCameraLeavesSteeringToTheSticks) {
	build();
	start();
	player->roll_input = 0.8f;
	camera->set_position(Vector3(0.3f, 1.6f, 0));
	player->_physics_process(1.0 / 90.0);
	expect_vec(player->get_angular_velocity(), Vector3(0, 0, 1.2f));

	memdelete(camera);
	player->_physics_process(1.0 / 90.0);
	player->_physics_process(1.0 / 90.0);
	expect_vec(player->get_angular_velocity(), Vector3(0, 0, 0.8f));
	EXPECT_EQ(godot_host::Log::error_count(), 1);
}

TEST_F(HandsTest, AReceiverFreeingTheTouchedBodyLeavesThePlayerSound) {
	RigidBody3D *a = body("A");
	RigidBody3D *b = body("B");
	uint64_t a_id = a->get_instance_id();
	player->connect("body_entered", on_signal(player, [a_id]() { free_if_alive(a_id); }));
	PhysicsWorld::begin_shape_contact(player, a, 0, shape("thumb_01_r_collider"));
	PhysicsWorld::begin_shape_contact(player, b, 0, shape("thumb_01_r_collider"));
	PhysicsWorld::begin_shape_contact(player, b, 0, shape("index_01_r_collider"));
	player->_on_input_float_changed("trigger", 1.0f, 1, false);
	Host::iteration(1.0 / 60.0);
	EXPECT_EQ(ObjectDB::get_instance(a_id), nullptr);
	EXPECT_EQ(player->held_objects[1].object, b);
	EXPECT_EQ(player->touching_objects.size(), 0);
}

TEST_F(HandsTest, AReceiverFreeingAHandShapeLeavesThePlayerSound) {
	RigidBody3D *a = body("A");
	BoneColliderIK *palm = Object::cast_to<BoneColliderIK>(player->find_child("hand_l_collider"));
	uint64_t palm_id = palm->get_instance_id();
	player->connect("body_shape_entered", on_signal(player, [palm_id]() { free_if_alive(palm_id); }));
	PhysicsWorld::begin_shape_contact(player, a, 0, shape("thumb_l_collider"));
	PhysicsWorld::begin_shape_contact(player, a, 0, shape("index_02_l_collider"));
	Host::physics_step(1.0 / 60.0);
	EXPECT_EQ(ObjectDB::get_instance(palm_id), nullptr);
	// The engine reports the second pair with the shape index of its step, so
	// which finger bit it sets is the engine's; the body keeps one entry.
	ASSERT_EQ(player->touching_objects.size(), 1);
	EXPECT_EQ(entry(a)->touch_mask & 0x3F000000u, 0x20000000u);
	player->_on_cleanup_timer_timeout();
	EXPECT_EQ(player->touching_objects.size(), 1);
}

// Each event finds its body's entry, also after grabs and frees took entries
// out of the middle of the list.
TEST_F(HandsTest, EntriesAreFoundByBodyAfterGrabsAndFrees) {
	std::vector<RigidBody3D *> bodies;
	for (int i = 0; i < 10; i++) {
		bodies.push_back(body("B"));
		touch(bodies.back(), "thumb_l_collider");
	}
	touch(bodies[4], "index_02_l_collider");
	for (int f = 0; f < 5; f++) {
		player->finger_targets[0][f] = 1.0f;
	}
	Host::process_frame(1.0 / 60.0);
	ASSERT_EQ(player->held_objects[0].object, bodies[4]);
	memdelete(bodies[1]);
	memdelete(bodies[7]);
	Host::process_frame(1.0 / 60.0);
	ASSERT_EQ(player->touching_objects.size(), 7);
	for (int i : { 0, 2, 3, 5, 6, 8, 9 }) {
		touch(bodies[(size_t)i], "hand_l_collider");
		ASSERT_NE(entry(bodies[(size_t)i]), nullptr) << i;
		EXPECT_EQ(entry(bodies[(size_t)i])->touch_mask, 0x80000000u | 0x20000000u) << i;
	}
	EXPECT_EQ(player->touching_objects.size(), 7);
}

// What a shape's name says is read again once the name changes.
TEST_F(PushTest, ARenamedHandShapeCountsByItsNewName) {
	RigidBody3D *a = body("A");
	BoneColliderIK *middle = Object::cast_to<BoneColliderIK>(player->find_child("middle_01_l_collider"));
	touch(a, "middle_01_l_collider");
	EXPECT_EQ(entry(a)->touch_mask, 0x100000u);
	touch(a, "middle_01_l_collider", false);
	middle->set_name("middle_02_r_collider");
	touch(a, "middle_02_r_collider");
	EXPECT_EQ(entry(a)->touch_mask, 0x80u);

	// A plain hand collider renamed as a held object's copy pushes with its weight.
	a->_host_set_record_impulses(true);
	move(hand_r, Vector3(-2, 0, 0));
	hand_r->set_mass(2.0f);
	contact("hand_r_collider", a, Vector3(1, 0, 0));
	integrate();
	hand_r->set_name("Shape__hand_r_held_object_collider");
	integrate();
	ASSERT_EQ(a->_host_impulses().size(), 2u);
	expect_close(a->_host_impulses()[0].first, Vector3(-20, 0, 0));
	expect_vec(a->_host_impulses()[1].first, Vector3(-440, 0, 0), 1e-2f);
}
