// What the player keeps for bodies and shapes lasts only as long as they do:
// after many bodies touch the hands, are grabbed, released and freed, and
// after hand shapes come and go, the player and the engine are back to the
// size they started at.
#include "hands_scene.hpp"

#include <godot_cpp/core/object.hpp>

using namespace godot;

namespace {

class PlayerContainersTest : public HandsTest {
protected:
	// Each body has a name of its own, as a game's spawned bodies have.
	int serial = 0;

	RigidBody3D *new_body() {
		return body(("Crate" + std::to_string(serial++)).c_str());
	}

	// Frees bodies the ways a game does: at once, queued, or taken out first.
	void free_bodies(const std::vector<RigidBody3D *> &p_bodies) {
		for (size_t k = 0; k < p_bodies.size(); k++) {
			if (!ObjectDB::get_instance(p_bodies[k]->get_instance_id())) {
				continue;
			}
			if (k % 3 == 0) {
				memdelete(p_bodies[k]);
			} else if (k % 3 == 1) {
				p_bodies[k]->queue_free();
			} else {
				p_bodies[k]->get_parent()->remove_child(p_bodies[k]);
				memdelete(p_bodies[k]);
			}
		}
	}

	void frame() {
		Host::physics_step(1.0 / 60.0);
		Host::process_frame(1.0 / 60.0);
	}
};

} // namespace

TEST_F(PlayerContainersTest, ThousandsOfBodiesThatTouchedAndWentLeaveNoEntries) {
	frame();
	const int objects = ObjectDB::_host_instance_count();
	const int64_t names = StringName::_host_interned_count();
	const size_t records = PhysicsWorld::_host_record_count();
	const int32_t children = player->get_child_count();
	const int thumb = shape("thumb_l_collider"), index = shape("index_02_l_collider"), palm = shape("hand_r_collider");
	int most_entries = 0;
	for (int round = 0; round < 40; round++) {
		// Through the engine's contact signals, all at once.
		std::vector<RigidBody3D *> bodies;
		for (int k = 0; k < 100; k++) {
			RigidBody3D *b = new_body();
			PhysicsWorld::begin_shape_contact(player, b, 0, k % 2 ? palm : thumb);
			bodies.push_back(b);
		}
		// One of them is grabbed and let go, leaving copies of its shapes
		// on the hand for a while.
		PhysicsWorld::begin_shape_contact(player, bodies[0], 0, index);
		close_hand(player, 0, 1.0f);
		frame();
		most_entries = std::max(most_entries, (int)player->touching_objects.size());
		EXPECT_EQ(player->held_objects[0].object, bodies[0]) << "round " << round;
		close_hand(player, 0, 0.0f);
		frame();
		EXPECT_EQ(player->held_objects[0].object, nullptr);
		// Some stop touching first, the rest go while they touch.
		for (size_t k = 1; k < bodies.size(); k += 4) {
			PhysicsWorld::end_shape_contact(player, bodies[k], 0, k % 2 ? palm : thumb);
		}
		frame();
		free_bodies(bodies);
		// Queued ones go at the frame's end; the player learns of it in the next.
		frame();
		frame();
		EXPECT_EQ(player->touching_objects.size(), 0) << "round " << round;
	}
	EXPECT_GE(most_entries, 99);
	// The release's timers and the copies' names are gone with them.
	for (int k = 0; k < 120; k++) {
		frame();
	}
	player->_on_cleanup_timer_timeout();
	EXPECT_EQ(player->touching_objects.size(), 0);
	EXPECT_EQ(player->get_child_count(), children);
	EXPECT_EQ(ObjectDB::_host_instance_count(), objects);
	EXPECT_EQ(StringName::_host_interned_count(), names);
	EXPECT_EQ(PhysicsWorld::_host_record_count(), records);
}

TEST_F(PlayerContainersTest, HandShapesThatComeAndGoLeaveNothingBehind) {
	frame();
	const int objects = ObjectDB::_host_instance_count();
	const int64_t names = StringName::_host_interned_count();
	RigidBody3D *a = new_body();
	for (int round = 0; round < 500; round++) {
		// A script swaps a finger collider for a new one while it touches.
		BoneColliderIK *finger = add_collider(("thumb_02_l_collider" + std::to_string(round % 7 ? 0 : round)).c_str());
		finger->set_name("thumb_02_l_collider");
		touch(a, "thumb_02_l_collider");
		ASSERT_NE(entry(a), nullptr);
		EXPECT_NE(entry(a)->touch_mask, 0u);
		memdelete(finger);
		frame();
		EXPECT_EQ(entry(a) ? entry(a)->touch_mask : 0u, 0u) << "round " << round;
	}
	memdelete(a);
	frame();
	player->_on_cleanup_timer_timeout();
	EXPECT_EQ(player->touching_objects.size(), 0);
	EXPECT_EQ(ObjectDB::_host_instance_count(), objects);
	EXPECT_EQ(StringName::_host_interned_count(), names);
}
