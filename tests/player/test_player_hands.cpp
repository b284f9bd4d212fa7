// Hand contacts, grabbing and releasing, pushing objects and walls.
#include "hands_scene.hpp"

#include <godot_cpp/classes/static_body3d.hpp>

using namespace godot;
using godot_host::Host;
using godot_host::PhysicsWorld;

TEST(TouchBits, Table) {
	struct Row {
		const char *part;
		int segment;
		uint32_t left, right;
	};
	const Row rows[] = {
		{ "pinky", 1, 0x4000, 0x4 }, { "pinky", 2, 0x2000, 0x2 }, { "pinky", 3, 0x1000, 0x1 },
		{ "ring", 1, 0x20000, 0x20 }, { "ring", 2, 0x10000, 0x10 }, { "ring", 3, 0x8000, 0x8 },
		{ "middle", 1, 0x100000, 0x100 }, { "middle", 2, 0x80000, 0x80 }, { "middle", 3, 0x40000, 0x40 },
		{ "index", 1, 0x800000, 0x800 }, { "index", 2, 0x400000, 0x400 }, { "index", 3, 0x200000, 0x200 },
		{ "thumb", 2, 0x10000000, 0x02000000 }, { "thumb", 3, 0x10000000, 0x02000000 },
		{ "thumb", 1, 0x20000000, 0x04000000 }, { "thumb", 0, 0x20000000, 0x04000000 }, { "thumb", 7, 0x20000000, 0x04000000 },
		{ "hand", 0, 0x80000000, 0x40000000 }, { "hand", 2, 0x80000000, 0x40000000 },
		{ "index", 0, 0, 0 }, { "ring", 4, 0, 0 },
	};
	for (const Row &r : rows) {
		EXPECT_EQ(Player::touch_bit(r.part, r.segment, "l"), r.left) << r.part << r.segment;
		EXPECT_EQ(Player::touch_bit(r.part, r.segment, "r"), r.right) << r.part << r.segment;
	}
}

TEST_F(HandsTest, MaskRules) {
	RigidBody3D *a = body("A");
	touch(a, "hand_l_collider");
	EXPECT_EQ(entry(a)->touch_mask, 0x80000000u);
	touch(a, "hand_l_outer_collider");
	EXPECT_EQ(entry(a)->outer_mask, 0x80000000u);
	touch(a, "thumb_l_collider");
	touch(a, "thumb_07_l_collider");
	touch(a, "thumb_03_r_collider");
	EXPECT_EQ(entry(a)->touch_mask, 0x80000000u | 0x20000000u | 0x02000000u);

	// Outer first: the inner bit stays unset, even after the outer shape leaves.
	RigidBody3D *b = body("B");
	touch(b, "index_01_r_outer_collider");
	touch(b, "index_01_r_collider");
	EXPECT_EQ(entry(b)->touch_mask, 0u);
	touch(b, "index_01_r_outer_collider", false);
	EXPECT_EQ(entry(b)->outer_mask, 0u);
	EXPECT_EQ(entry(b)->touch_mask, 0u);
	// Inner first: both hold it.
	touch(b, "index_01_r_collider");
	touch(b, "index_01_r_outer_collider");
	EXPECT_EQ(entry(b)->touch_mask, 0x800u);
	EXPECT_EQ(entry(b)->outer_mask, 0x800u);

	// An exit of an unknown body makes an empty entry; held-object suffix counts as inner.
	RigidBody3D *c = body("C");
	touch(c, "pinky_03_l_collider", false);
	ASSERT_NE(entry(c), nullptr);
	EXPECT_EQ(entry(c)->touch_mask, 0u);
	touch(c, "hand_r_held_object_collider");
	EXPECT_EQ(entry(c)->touch_mask, 0x40000000u);

	// Shapes outside the rule, fingers without a bit and non-rigid bodies record nothing.
	size_t n = (size_t)player->touching_objects.size();
	RigidBody3D *d = body("D");
	touch(d, "index_collider_x");
	touch(d, "index_04_r_collider");
	StaticBody3D *wall = add_node(world, memnew(StaticBody3D), "Wall", world);
	touch(wall, "hand_r_collider");
	EXPECT_EQ((size_t)player->touching_objects.size(), n);
	EXPECT_EQ(godot_host::Log::error_count(), 0);
}

TEST_F(HandsTest, CleanupDropsLongUntouchedAndFreedEntries) {
	RigidBody3D *a = body("A");
	RigidBody3D *b = body("B");
	RigidBody3D *c = body("C");
	touch(a, "hand_l_collider");
	touch(a, "hand_l_collider", false);
	touch(b, "hand_l_collider");
	touch(c, "hand_r_collider");
	EXPECT_NE(entry(a)->touched_at, 0);
	EXPECT_EQ(entry(b)->touched_at, 0);
	player->touching_objects.write[0].touched_at -= 473; // a long time ago
	memdelete(c);
	player->_on_cleanup_timer_timeout();
	ASSERT_EQ(player->touching_objects.size(), 1);
	EXPECT_EQ(player->touching_objects[0].object, b);
	// Touched again: no stamp.
	touch(b, "hand_l_collider", false);
	EXPECT_NE(entry(b)->touched_at, 0);
	touch(b, "thumb_l_collider");
	EXPECT_EQ(entry(b)->touched_at, 0);
}

TEST_F(HandsTest, FingerBlendsAndClosure) {
	player->finger_targets[0][0] = 1.0f;
	player->finger_targets[0][1] = 0.5f;
	Host::process_frame(0.05);
	EXPECT_FLOAT_EQ(blend("thumb", "l"), 0.5f);
	EXPECT_FLOAT_EQ(blend("index", "l"), 0.25f);
	EXPECT_FLOAT_EQ(player->hand_closure[0], 0.3f);
	int64_t writes = tree->_host_parameter_writes();
	player->finger_targets[0][0] = 0.5f;
	player->finger_targets[0][1] = 0.25f;
	Host::process_frame(0.05);
	EXPECT_EQ(tree->_host_parameter_writes(), writes); // already there
	// A frame longer than a tenth of a second reaches the target, not past it.
	player->finger_targets[1][2] = 1.0f;
	Host::process_frame(0.15);
	EXPECT_FLOAT_EQ(blend("middle", "r"), 1.0f);
}

TEST_F(HandsTest, GrabChoosesTheThumbsHandAndPalmsOuterBlocks) {
	RigidBody3D *a = body("A");
	RigidBody3D *b = body("B");
	touch(a, "thumb_l_collider");
	touch(a, "index_01_r_collider");
	touch(b, "thumb_01_r_collider");
	touch(b, "middle_01_l_collider");
	touch(b, "hand_l_outer_collider");
	for (int f = 0; f < 5; f++) {
		player->finger_targets[0][f] = 1.0f;
		player->finger_targets[1][f] = 1.0f;
	}
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(player->held_objects[0].object, a);
	EXPECT_EQ(player->held_objects[1].object, nullptr);
	EXPECT_EQ(entry(a), nullptr);
	ASSERT_NE(entry(b), nullptr);
	touch(b, "hand_l_outer_collider", false);
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(player->held_objects[1].object, b);
	EXPECT_FLOAT_EQ(player->get_mass(), 82.0f);
	// A closure of 0.2 releases; the mass comes back.
	player->finger_targets[1][0] = 1.0f;
	for (int f = 1; f < 5; f++) {
		player->finger_targets[1][f] = 0.0f;
	}
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(player->held_objects[1].object, nullptr);
	EXPECT_FLOAT_EQ(player->get_mass(), 81.0f);
	EXPECT_EQ(b->get_process_mode(), Node::PROCESS_MODE_INHERIT);
}

// One frame's scan: both thumbs pick the left hand, a removed entry's
// successor is examined at the same position, and a busy hand leaves its
// entry for later.
TEST_F(HandsTest, ScanGrabsPerHandAndKeepsEntriesForABusyHand) {
	RigidBody3D *a = body("A");
	a->set_mass(2.0f);
	CollisionShape3D *second = add_node(a, memnew(CollisionShape3D), "Second", world);
	second->set_shape(Ref<SphereShape3D>(memnew(SphereShape3D)));
	Node3D *mesh = add_node(a, memnew(Node3D), "Mesh", world);
	RigidBody3D *b = body("B");
	b->set_mass(3.0f);
	RigidBody3D *c = body("C");
	Node3D *marker = add_node(attach[0], memnew(Node3D), "Marker", world);
	marker->set_position(Vector3(0, 0, 0.2f));
	touch(a, "thumb_l_collider");
	touch(a, "thumb_01_r_collider");
	touch(a, "index_01_r_collider");
	touch(b, "thumb_01_r_collider");
	touch(b, "middle_01_l_collider");
	touch(c, "thumb_l_collider");
	touch(c, "index_02_l_collider");
	for (int f = 0; f < 5; f++) {
		player->finger_targets[0][f] = 1.0f;
		player->finger_targets[1][f] = 1.0f;
	}
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(player->held_objects[0].object, a);
	EXPECT_EQ(player->held_objects[1].object, b);
	ASSERT_EQ(player->touching_objects.size(), 1);
	EXPECT_EQ(player->touching_objects[0].object, c);
	EXPECT_FLOAT_EQ(player->get_mass(), 85.0f);

	// One copy per shape node, each sharing its shape and carrying the body's mass.
	const Vector<BoneColliderIK *> &copies = player->held_objects[0].colliders;
	ASSERT_EQ(copies.size(), 2);
	EXPECT_EQ(copies[0]->get_shape(), Object::cast_to<CollisionShape3D>(a->get_child(0))->get_shape());
	EXPECT_EQ(copies[1]->get_shape(), second->get_shape());
	EXPECT_EQ(copies[1]->get_name(), StringName("Second__hand_l_held_object_collider"));
	EXPECT_FLOAT_EQ(copies[0]->get_mass(), 2.0f);
	EXPECT_EQ(mesh->get_parent(), attach[0]);
	EXPECT_EQ(second->get_parent(), a);

	// Opening the left hand lets go; what the grab took rides back, and the
	// hand keeps its own marker.
	for (int f = 0; f < 5; f++) {
		player->finger_targets[0][f] = 0.0f;
	}
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(player->held_objects[0].object, nullptr);
	EXPECT_EQ(player->held_objects[1].object, b);
	EXPECT_EQ(mesh->get_parent(), a);
	EXPECT_EQ(marker->get_parent(), attach[0]);
	EXPECT_EQ(marker->get_transform(), Transform3D(Basis(), Vector3(0, 0, 0.2f)));
	EXPECT_FLOAT_EQ(player->get_mass(), 83.0f);
	ASSERT_EQ(player->touching_objects.size(), 1); // open: C waits

	// Closed again, the left hand takes the entry it had to pass over.
	for (int f = 0; f < 5; f++) {
		player->finger_targets[0][f] = 1.0f;
	}
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(player->held_objects[0].object, c);
	EXPECT_EQ(player->touching_objects.size(), 0);
}

TEST_F(HandsTest, FreedBodiesAreDroppedSafely) {
	RigidBody3D *touched = body("Touched");
	RigidBody3D *held = body("Held");
	add_node(held, memnew(Node3D), "Mesh", world);
	touch(touched, "thumb_l_collider");
	touch(held, "thumb_01_r_collider");
	touch(held, "index_01_r_collider");
	for (int f = 0; f < 5; f++) {
		player->finger_targets[1][f] = 1.0f;
	}
	Host::process_frame(1.0 / 60.0);
	ASSERT_EQ(player->held_objects[1].object, held);
	EXPECT_EQ(attach[1]->get_child_count(), 1);
	EXPECT_EQ(player->get_child_count(), 5 + (int)HAND_SHAPES.size() + 1 + 1); // + timer + copy
	memdelete(touched);
	memdelete(held);
	Host::process_frame(1.0 / 60.0);
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(player->held_objects[1].object, nullptr);
	EXPECT_EQ(player->touching_objects.size(), 0);
	EXPECT_FLOAT_EQ(player->get_mass(), 80.0f);
	EXPECT_EQ(attach[1]->get_child_count(), 0);
	EXPECT_EQ(player->get_child_count(), 5 + (int)HAND_SHAPES.size() + 1);
}

TEST_F(HandsTest, MissingAttachmentOrTreeMeansNoGrabAndNoCrash) {
	attach[1]->get_parent()->remove_child(attach[1]);
	memdelete(attach[1]);
	tree->get_parent()->remove_child(tree);
	memdelete(tree);
	RigidBody3D *a = body("A");
	touch(a, "thumb_01_r_collider");
	touch(a, "index_01_r_collider");
	for (int f = 0; f < 5; f++) {
		player->finger_targets[1][f] = 1.0f;
	}
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(player->held_objects[1].object, nullptr);
	EXPECT_FLOAT_EQ(player->hand_closure[1], 1.0f);
	EXPECT_NE(entry(a), nullptr);
}

TEST_F(PushTest, ObjectPushImpulses) {
	RigidBody3D *a = body("A", Vector3(1, 0, 0));
	a->_host_set_record_impulses(true);
	move(hand_r, Vector3(-2, 0, 0));
	expect_close(hand_r->get_velocity(), Vector3(-2, 0, 0));
	contact("hand_r_collider", a, Vector3(1, 0, 0), Vector3(1.5f, 0, 0));
	integrate();
	ASSERT_EQ(a->_host_impulses().size(), 1u);
	expect_close(a->_host_impulses()[0].first, Vector3(-20, 0, 0));
	expect_close(a->_host_impulses()[0].second, Vector3(-0.5f, 0, 0));

	// A held-object collider pushes with its mass plus a quarter of the player's.
	BoneColliderIK *copy = add_collider("Shape__hand_r_held_object_collider");
	copy->set_mass(2.0f);
	move(copy, Vector3(-2, 0, 0));
	PhysicsWorld::clear_contacts(player);
	a->_host_clear_impulses();
	contact("Shape__hand_r_held_object_collider", a, Vector3(1, 0, 0));
	contact("hand_l_collider", a, Vector3(1, 0, 0)); // not moving: no push
	integrate();
	ASSERT_EQ(a->_host_impulses().size(), 1u);
	expect_vec(a->_host_impulses()[0].first, Vector3(-440, 0, 0), 1e-2f);
}

TEST_F(PushTest, HeldOrMissingColliderEndsTheStep) {
	RigidBody3D *a = body("A");
	RigidBody3D *held = body("Held");
	StaticBody3D *wall = add_node(world, memnew(StaticBody3D), "Wall", world);
	held->set_disable_mode(CollisionObject3D::DISABLE_MODE_KEEP_ACTIVE);
	held->set_process_mode(Node::PROCESS_MODE_DISABLED);
	a->_host_set_record_impulses(true);
	move(hand_r, Vector3(-2, 0, 0));
	contact("hand_r_collider", a, Vector3(1, 0, 0));
	contact("hand_r_collider", held, Vector3(1, 0, 0));
	contact("hand_r_collider", a, Vector3(1, 0, 0));
	contact("hand_l_collider", wall, Vector3(0, 0, 1));
	player->set_linear_velocity(Vector3(0, 0, -1));
	integrate();
	EXPECT_EQ(a->_host_impulses().size(), 1u);
	expect_close(player->get_linear_velocity(), Vector3(0, 0, -1)); // no wall response
}

TEST_F(PushTest, WallRestBrakeAndPushOff) {
	StaticBody3D *wall = add_node(world, memnew(StaticBody3D), "Wall", world);
	contact("hand_l_collider", wall, Vector3(0, 0, 1));
	// Braking: (0, 0, -1) against the wall gives (0, 0, 0.8), i.e. dv = 0.01.
	player->set_linear_velocity(Vector3(0, 0, -1));
	integrate();
	expect_close(player->get_linear_velocity(), Vector3(0, 0, -0.99f));
	// Slower than 0.01: stopped.
	player->set_linear_velocity(Vector3(0.005f, 0, 0));
	integrate();
	expect_close(player->get_linear_velocity(), Vector3());
	// Parallel: nothing.
	player->set_linear_velocity(Vector3(1, 0, 0));
	integrate();
	expect_close(player->get_linear_velocity(), Vector3(1, 0, 0));

	// Push-off: 80 x 2.35 x 0.01 = 1.88 of impulse along +Z with one hand.
	player->set_linear_velocity(Vector3());
	tracker(0, Vector3(0, 0, 1));
	integrate();
	expect_close(player->get_linear_velocity(), Vector3(0, 0, 1.88f / 80.0f));
	// The other hand on a wall halves it, though it does not push.
	player->set_linear_velocity(Vector3());
	contact("hand_r_collider", wall, Vector3(0, 0, 1));
	integrate();
	expect_close(player->get_linear_velocity(), Vector3(0, 0, 0.94f / 80.0f));
	// Exactly 0.5 is not enough; no tracker pose gives none.
	PhysicsWorld::clear_contacts(player);
	contact("hand_l_collider", wall, Vector3(0, 0, 1));
	tracker(0, Vector3(0, 0, 0.5f));
	player->set_linear_velocity(Vector3());
	integrate();
	expect_close(player->get_linear_velocity(), Vector3());
	Globals::pos_trackers[0] = Ref<XRPositionalTracker>(memnew(XRPositionalTracker));
	integrate();
	Globals::pos_trackers.clear();
	integrate();
	expect_close(player->get_linear_velocity(), Vector3());
	EXPECT_EQ(godot_host::Log::error_count(), 0);
}

// Through the engine: controller events and contacts close a hand around a
// body, the hand carries it, lets it go, then pushes off a wall.
TEST_F(PushTest, GrabCarryReleaseAndPushOff) {
	RigidBody3D *ball = body("Ball", Vector3(0.2f, 0, 0));
	Node3D *mesh = add_node(ball, memnew(Node3D), "Mesh", world);
	attach[1]->set_position(Vector3(0.1f, 0, 0));
	PhysicsWorld::begin_shape_contact(player, ball, 0, shape("thumb_01_r_collider"));
	PhysicsWorld::begin_shape_contact(player, ball, 0, shape("index_01_r_collider"));
	player->_on_input_float_changed("trigger", 1.0f, 1, false);
	Host::iteration(1.0 / 60.0);
	ASSERT_EQ(player->held_objects[1].object, ball);
	EXPECT_EQ(mesh->get_parent(), attach[1]);
	EXPECT_EQ(ball->get_process_mode(), Node::PROCESS_MODE_DISABLED);
	EXPECT_FALSE(ball->_host_in_world());
	EXPECT_EQ(player->held_objects[1].colliders.size(), 1);
	EXPECT_FLOAT_EQ(player->get_mass(), 81.0f);

	// A second of carrying: the hand moves 1 m along +Y.
	for (int i = 1; i <= 60; i++) {
		attach[1]->set_position(Vector3(0.1f, (float)i / 60.0f, 0));
		Host::iteration(1.0 / 60.0);
	}
	BoneColliderIK *copy = player->held_objects[1].colliders[0];
	expect_close(copy->get_global_position(), attach[1]->get_global_position() + Vector3(0.1f, 0, 0));
	player->_on_input_float_changed("trigger", 0.0f, 1, false);
	Host::iteration(1.0 / 60.0);
	EXPECT_EQ(player->held_objects[1].object, nullptr);
	expect_close(ball->get_global_position(), player->get_global_transform().xform(Vector3(0.2f, 1.0f, 0)));
	EXPECT_EQ(mesh->get_parent(), ball);
	EXPECT_TRUE(ball->_host_in_world());
	EXPECT_FLOAT_EQ(player->get_mass(), 80.0f);
	Host::iteration(1.0 / 60.0);
	// The copy is gone; the scene's own shapes all stay.
	EXPECT_EQ(player->get_child_count(), 5 + (int)HAND_SHAPES.size() + 1);

	// Push off a wall in front (normal toward the player, +Z), the hand pulling back.
	StaticBody3D *wall = add_node(world, memnew(StaticBody3D), "Wall", world);
	contact("hand_r_collider", wall, Vector3(0, 0, 1));
	tracker(1, Vector3(0, 0, 2));
	player->set_linear_velocity(Vector3());
	float z = player->get_global_position().z;
	Host::iteration(1.0 / 60.0);
	PhysicsWorld::clear_contacts(player);
	Host::advance(0.5, 1.0 / 60.0);
	EXPECT_GT(player->get_linear_velocity().z, 0.0f);
	EXPECT_GT(player->get_global_position().z, z);
}
