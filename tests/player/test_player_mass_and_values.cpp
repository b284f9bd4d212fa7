// What holding adds to the player's mass, and values from the engine, the
// scene or another writer that are no numbers: frame lengths, blend amounts,
// bone poses, masses and pushes.
#include "hands_scene.hpp"

#include <cmath>
#include <limits>

namespace {

const float INF = std::numeric_limits<float>::infinity();
const float NOT_A_NUMBER = std::numeric_limits<float>::quiet_NaN();

bool finite(const Transform3D &p_value) {
	return p_value.is_finite();
}

} // namespace

TEST_F(HandsTest, ReleaseTakesOffWhatTheGrabAdded) {
	RigidBody3D *a = body("A");
	a->set_mass(2.0f);
	grab_with(1, a);
	ASSERT_EQ(player->held_objects[1].object, a);
	EXPECT_FLOAT_EQ(player->get_mass(), 82.0f);
	EXPECT_FLOAT_EQ(player->held_objects[1].colliders[0]->get_mass(), 2.0f);
	a->set_mass(5.0f); // a script, while it is held
	close_hand(player, 1, 0.0f);
	Host::process_frame(1.0 / 60.0);
	ASSERT_EQ(player->held_objects[1].object, nullptr);
	EXPECT_FLOAT_EQ(player->get_mass(), 80.0f);

	// Lighter while held, then freed: the same two kilograms come off.
	a->set_mass(2.0f);
	grab_with(1, a);
	a->set_mass(0.5f);
	memdelete(a);
	Host::process_frame(1.0 / 60.0);
	EXPECT_FLOAT_EQ(player->get_mass(), 80.0f);
	EXPECT_EQ(godot_host::Log::error_count(), 0);
}

TEST_F(HandsTest, ABodyWithoutAFinitePositiveMassAddsNothing) {
	for (float mass : { NOT_A_NUMBER, INF }) {
		RigidBody3D *a = body("A");
		a->set_mass(mass);
		add_node(a, memnew(Node3D), "Mesh", world);
		grab_with(1, a);
		ASSERT_EQ(player->held_objects[1].object, a) << mass;
		EXPECT_FLOAT_EQ(player->get_mass(), 80.0f) << mass;
		EXPECT_TRUE(std::isfinite(player->held_objects[1].colliders[0]->get_mass())) << mass;
		player->_on_input_vector2_changed("primary", Vector2(0, 1), 1, false);
		Host::advance(0.5, 1.0 / 60.0);
		EXPECT_TRUE(finite(player->get_global_transform())) << mass;
		close_hand(player, 1, 0.0f);
		Host::process_frame(1.0 / 60.0);
		EXPECT_FLOAT_EQ(player->get_mass(), 80.0f) << mass;
		memdelete(a);
	}
	EXPECT_EQ(godot_host::Log::error_count(), 1); // reported once
}

// Physics, not a fault: carried, and given back whole.
TEST_F(HandsTest, AHugeMassIsCarriedAndGivenBack) {
	RigidBody3D *huge = body("Huge");
	huge->set_mass(1e30f);
	RigidBody3D *crate = body("Crate");
	crate->set_mass(2.0f);
	// Each taken first, and let go of first, in turn.
	for (int first : { 1, 0 }) {
		RigidBody3D *taken[2] = { crate, huge };
		grab_with(first, taken[first]);
		grab_with(1 - first, taken[1 - first]);
		close_hand(player, first, 0.0f);
		Host::process_frame(1.0 / 60.0);
		EXPECT_FLOAT_EQ(player->get_mass(), first == 1 ? 82.0f : 1e30f) << first;
		close_hand(player, 1 - first, 0.0f);
		Host::process_frame(1.0 / 60.0);
		EXPECT_FLOAT_EQ(player->get_mass(), 80.0f) << first;
	}

	// Two of the largest masses would overflow: the second adds nothing.
	huge->set_mass(std::numeric_limits<float>::max());
	crate->set_mass(std::numeric_limits<float>::max());
	grab_with(1, huge);
	grab_with(0, crate);
	EXPECT_TRUE(std::isfinite(player->get_mass()));
	close_hand(player, 0, 0.0f);
	close_hand(player, 1, 0.0f);
	Host::process_frame(1.0 / 60.0);
	EXPECT_FLOAT_EQ(player->get_mass(), 80.0f);
	EXPECT_EQ(godot_host::Log::error_count(), 1);
}

TEST_F(HandsTest, AHandPoseThatIsNoNumberGrabsAndMovesNothing) {
	RigidBody3D *a = body("A", Vector3(0.2f, 0, 0));
	attach[1]->set_position(Vector3(NOT_A_NUMBER, 0, 0));
	grab_with(1, a);
	EXPECT_EQ(player->held_objects[1].object, nullptr);
	EXPECT_NE(entry(a), nullptr); // tried again next frame
	attach[1]->set_position(Vector3(0.1f, 0, 0));
	Host::process_frame(1.0 / 60.0);
	ASSERT_EQ(player->held_objects[1].object, a);
	EXPECT_TRUE(finite(player->held_objects[1].offset_transform));

	// The bone goes bad while it holds: the copy stays put, and the body is
	// let go where it is.
	BoneColliderIK *copy = player->held_objects[1].colliders[0];
	Transform3D copy_pose = copy->get_global_transform();
	attach[1]->set_basis(Basis(INF, 0, 0, 0, 1, 0, 0, 0, 1)); // a bone scaled beyond all bounds
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(copy->get_global_transform(), copy_pose);
	close_hand(player, 1, 0.0f);
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(player->held_objects[1].object, nullptr);
	expect_vec(a->get_global_position(), Vector3(0.2f, 0, 0));
	EXPECT_EQ(godot_host::Log::error_count(), 1);
}

TEST_F(HandsTest, ABlendThatIsNoNumberStartsAgainFromItsTarget) {
	player->finger_targets[0][1] = 0.4f;
	for (float bad : { NOT_A_NUMBER, INF, -INF }) {
		tree->set(StringName(param("index", "l").c_str()), bad);
		tree->set(StringName(param("ring", "r").c_str()), (double)bad);
		Host::process_frame(1.0 / 60.0);
		EXPECT_FLOAT_EQ(blend("index", "l"), 0.4f) << bad;
		EXPECT_FLOAT_EQ(blend("ring", "r"), 0.0f) << bad;
	}
	// Beyond single precision is no number to step from either.
	tree->set(StringName(param("index", "l").c_str()), 1e300);
	Host::process_frame(1.0 / 60.0);
	EXPECT_FLOAT_EQ(blend("index", "l"), 0.4f);
}

TEST_F(HandsTest, AFrameThatIsNoNumberOrRunsBackwardsMovesNoFinger) {
	player->finger_targets[1][0] = 1.0f;
	int64_t writes = tree->_host_parameter_writes();
	for (double delta : { (double)NOT_A_NUMBER, (double)INF, (double)-INF, -0.05 }) {
		player->_process(delta);
		EXPECT_EQ(blend("thumb", "r"), 0.0f) << delta;
	}
	EXPECT_EQ(tree->_host_parameter_writes(), writes);
	EXPECT_FLOAT_EQ(player->hand_closure[1], 0.2f); // the closure follows the targets regardless
	player->_process(0.05);
	EXPECT_FLOAT_EQ(blend("thumb", "r"), 0.5f);
}

// A runtime throttling a session it doesn't show: four frames a second for
// a minute, with targets that change now and then.
TEST_F(HandsTest, SlowFramesSettleOnTheTarget) {
	const float targets[] = { 1.0f, 0.0f, 0.7f, 0.25f };
	for (int frame = 0; frame < 240; frame++) {
		close_hand(player, 0, targets[(frame / 13) % 4]);
		player->finger_targets[1][2] = targets[(frame / 7) % 4];
		Host::process_frame(0.25);
		for (const std::string &finger : FINGERS) {
			ASSERT_EQ(blend(finger.c_str(), "l"), targets[(frame / 13) % 4]) << frame;
		}
		ASSERT_EQ(blend("middle", "r"), targets[(frame / 7) % 4]) << frame;
	}
	// A tenth of a second is still the step itself.
	player->finger_targets[1][2] = 0.75f;
	Host::process_frame(0.1);
	EXPECT_FLOAT_EQ(blend("middle", "r"), 0.75f);
	player->finger_targets[1][2] = 0.25f;
	Host::process_frame(0.02);
	EXPECT_FLOAT_EQ(blend("middle", "r"), 0.65f);
}

TEST_F(PushTest, APushThatIsNoNumberOrOutOfReachIsLeftOut) {
	RigidBody3D *a = body("A", Vector3(1, 0, 0));
	a->_host_set_record_impulses(true);
	BoneColliderIK *copy = add_collider("Shape__hand_r_held_object_collider");
	copy->set_mass(std::numeric_limits<float>::max()); // what a scene might give it
	move(copy, Vector3(-2, 0, 0));
	contact("Shape__hand_r_held_object_collider", a, Vector3(1, 0, 0));
	move(hand_r, Vector3(-2, 0, 0));
	contact("hand_r_collider", a, Vector3(1, 0, 0));
	// A touch reported far beyond any hand (a bone posed there by a script).
	contact("hand_r_collider", a, Vector3(1, 0, 0), Vector3(-1e31f, 0, 0));
	integrate();
	ASSERT_EQ(a->_host_impulses().size(), 1u); // the plain hand's push stands
	expect_close(a->_host_impulses()[0].first, Vector3(-20, 0, 0));
	Host::advance(0.1, 1.0 / 60.0);
	EXPECT_TRUE(finite(a->get_global_transform()));
	EXPECT_EQ(godot_host::Log::error_count(), 1);
}

// A script gives a held object's copy an absurd mass: the push it would make
// carries the body past anything the engine can integrate, so it goes.
TEST_F(PushTest, APushBeyondAnyHandsStrengthIsLeftOut) {
	for (float mass : { -1e30f, 1e30f }) {
		RigidBody3D *a = body("A", Vector3(1, 0, 0));
		a->_host_set_record_impulses(true);
		BoneColliderIK *copy = add_collider("Shape__hand_r_held_object_collider");
		copy->set_mass(mass);
		move(copy, Vector3(-2, 0, 0));
		contact("Shape__hand_r_held_object_collider", a, Vector3(1, 0, 0));
		integrate();
		EXPECT_EQ(a->_host_impulses().size(), 0u) << mass;
		Host::advance(1.0, 1.0 / 60.0);
		EXPECT_TRUE(finite(a->get_global_transform())) << mass;
		EXPECT_LT(a->get_linear_velocity().length(), 1000.0f) << mass;
		memdelete(copy);
		memdelete(a);
	}
	EXPECT_EQ(godot_host::Log::error_count(), 1);
}
