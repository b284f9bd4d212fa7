#ifndef MOSSGLIMMER_TESTS_HANDS_SCENE_HPP
#define MOSSGLIMMER_TESTS_HANDS_SCENE_HPP

#include "player_scene.hpp"
#include "support/code_receiver.hpp"

#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/sphere_shape3d.hpp>
#include <godot_cpp/classes/xr_positional_tracker.hpp>

#include <functional>

// The player with a full set of hand shapes, touched bodies and contacts.
// Test code only: the fixtures below read as the test files do.
using namespace godot;
using godot_host::Host;
using godot_host::PhysicsWorld;

// Impulses and carried poses go through several single-precision steps.
inline void expect_close(const Vector3 &p_got, const Vector3 &p_want) {
	expect_vec(p_got, p_want, 1e-4f);
}

inline const std::vector<std::string> HAND_SHAPES = {
	"hand_l_collider", "hand_l_outer_collider", "thumb_l_collider", "thumb_07_l_collider", "thumb_03_r_collider",
	"index_01_r_collider", "index_01_r_outer_collider", "index_02_l_collider", "pinky_03_l_collider",
	"hand_r_held_object_collider", "index_collider_x", "index_04_r_collider", "thumb_01_r_collider", "hand_r_collider",
	"middle_01_l_collider"
};

inline void free_if_alive(uint64_t p_id) {
	if (Node *node = Object::cast_to<Node>(ObjectDB::get_instance(p_id))) {
		memdelete(node);
	}
}

inline void close_hand(Player *p_player, int p_hand, float p_closure) {
	for (int f = 0; f < 5; f++) {
		p_player->finger_targets[p_hand][f] = p_closure;
	}
}

class HandsTest : public PlayerTest {
protected:
	std::vector<BoneColliderIK *> shapes;

	void SetUp() override {
		PlayerTest::SetUp();
		build(HAND_SHAPES);
		start();
		player->set_mass(80.0f);
	}

	int shape(const char *p_name) {
		for (int i = 0; i < player->_host_shape_count(); i++) {
			Node *n = Object::cast_to<Node>(player->shape_owner_get_owner(player->shape_find_owner(i)));
			if (n && n->get_name() == StringName(p_name)) {
				return i;
			}
		}
		ADD_FAILURE() << "no shape " << p_name;
		return -1;
	}

	RigidBody3D *body(const char *p_name, const Vector3 &p_at = Vector3()) {
		RigidBody3D *b = add_node(world, memnew(RigidBody3D), p_name, world);
		b->set_gravity_scale(0);
		b->set_position(p_at);
		CollisionShape3D *s = add_node(b, memnew(CollisionShape3D), "CollisionShape3D", world);
		s->set_shape(Ref<SphereShape3D>(memnew(SphereShape3D)));
		s->set_position(Vector3(0, 0.3f, 0));
		return b;
	}

	void touch(Node *p_body, const char *p_shape, bool p_touching = true) {
		player->_handle_hand_collision(RID(), p_body, 0, (uint32_t)shape(p_shape), p_touching);
	}

	// The hand's thumb and a finger touch the body, and the closed hand takes it.
	void grab_with(int p_hand, RigidBody3D *p_body) {
		touch(p_body, p_hand == 0 ? "thumb_l_collider" : "thumb_01_r_collider");
		touch(p_body, p_hand == 0 ? "index_02_l_collider" : "index_01_r_collider");
		close_hand(player, p_hand, 1.0f);
		Host::process_frame(1.0 / 60.0);
	}

	const Player::HandTouchingObject *entry(Node *p_body) {
		for (int64_t i = 0; i < player->touching_objects.size(); i++) {
			if (player->touching_objects[i].object == p_body) {
				return &player->touching_objects[i];
			}
		}
		return nullptr;
	}
};

class PushTest : public HandsTest {
protected:
	BoneColliderIK *hand_r = nullptr;
	BoneColliderIK *hand_l = nullptr;

	void SetUp() override {
		HandsTest::SetUp();
		hand_r = Object::cast_to<BoneColliderIK>(player->find_child("hand_r_collider"));
		hand_l = Object::cast_to<BoneColliderIK>(player->find_child("hand_l_collider"));
		ASSERT_TRUE(hand_r && hand_l);
	}

	// The collider's estimate after six steps at a constant velocity.
	void move(BoneColliderIK *p_collider, const Vector3 &p_velocity) {
		for (int i = 0; i < 6; i++) {
			p_collider->set_position(p_velocity * (10.0f / 5.0f) * (float)i);
			p_collider->_physics_process(0.01);
		}
	}

	void contact(const char *p_shape, Object *p_collider, const Vector3 &p_normal, const Vector3 &p_at = Vector3()) {
		PhysicsWorld::Contact c;
		c.local_shape = shape(p_shape);
		c.collider = p_collider;
		c.local_normal = p_normal;
		c.local_position = p_at;
		PhysicsWorld::add_contact(player, c);
	}

	void integrate() {
		player->_host_state()->_host_begin_step(player, 0.01f);
		PhysicsWorld::_fill_state(player);
		player->_integrate_forces(player->_host_state());
	}

	void tracker(int p_hand, const Vector3 &p_velocity) {
		Globals::pos_trackers.resize(3);
		Ref<XRPositionalTracker> t;
		t.instantiate();
		t->set_pose("default", Transform3D(), p_velocity, Vector3(), XRPose::XR_TRACKING_CONFIDENCE_HIGH);
		Globals::pos_trackers[(size_t)p_hand] = t;
	}
};

#endif // MOSSGLIMMER_TESTS_HANDS_SCENE_HPP
