#ifndef MOSSGLIMMER_TESTS_PLAYER_SCENE_HPP
#define MOSSGLIMMER_TESTS_PLAYER_SCENE_HPP

#include "support/game_fixture.hpp"

#include "bone_collider_ik.hpp"
#include "fingers.hpp"
#include "globals.hpp"
#include "player.hpp"

#include <godot_cpp/classes/animation_player.hpp>
#include <godot_cpp/classes/animation_tree.hpp>
#include <godot_cpp/classes/bone_attachment3d.hpp>
#include <godot_cpp/classes/box_shape3d.hpp>
#include <godot_cpp/classes/skeleton3d.hpp>
#include <godot_cpp/classes/skeleton_ik3d.hpp>
#include <godot_cpp/classes/xr_camera3d.hpp>
#include <godot_cpp/classes/xr_controller3d.hpp>
#include <godot_cpp/classes/xr_origin3d.hpp>
#include <godot_host/physics_world.hpp>

#include <string>
#include <vector>

// Component-wise comparison of vectors within a tolerance.
inline void expect_vec(const godot::Vector3 &p_got, const godot::Vector3 &p_want, float p_eps = 1e-5f) {
	EXPECT_NEAR(p_got.x, p_want.x, p_eps);
	EXPECT_NEAR(p_got.y, p_want.y, p_eps);
	EXPECT_NEAR(p_got.z, p_want.z, p_eps);
}

// The player's scene contract: skeleton with both hand attachments, the
// controllers, animation nodes, IK solvers and hand colliders, plus an XR
// origin with the camera that the XR manager would put into Globals.
class PlayerTest : public GameTest {
protected:
	godot::Node3D *world = nullptr;
	godot::Player *player = nullptr;
	godot::Skeleton3D *skeleton = nullptr;
	godot::BoneAttachment3D *attach[2] = {};
	godot::AnimationPlayer *animation_player = nullptr;
	godot::AnimationTree *tree = nullptr;
	godot::XRController3D *controllers[2] = {};
	godot::XRCamera3D *camera = nullptr;

	void SetUp() override {
		GameTest::SetUp();
		godot_host::PhysicsWorld::reset();
		godot::Globals::set_xr_camera(nullptr);
	}

	void TearDown() override {
		godot::Globals::set_xr_camera(nullptr);
		godot::Globals::pos_trackers.clear();
		godot::Globals::set_hand_controller(0, nullptr);
		godot::Globals::set_hand_controller(1, nullptr);
		GameTest::TearDown();
		godot_host::PhysicsWorld::reset();
	}

	static std::string param(const char *p_finger, const char *p_side) {
		return std::string("parameters/closed-") + p_finger + "-" + p_side + "/blend_amount";
	}

	// Builds the scene detached; the names in p_skip are left out.
	void build(const std::vector<std::string> &p_colliders = {}, const std::vector<std::string> &p_skip = {}) {
		using namespace godot;
		auto skip = [&](const char *p_name) {
			for (const std::string &s : p_skip) {
				if (s == p_name) {
					return true;
				}
			}
			return false;
		};
		world = memnew(Node3D);
		world->set_name("World");
		XROrigin3D *origin = add_node(world, memnew(XROrigin3D), "XROrigin3D", world);
		camera = add_node(origin, memnew(XRCamera3D), "XRCamera3D", world);
		player = add_node(world, memnew(Player), "Player", world);
		player->set_gravity_scale(0.0f);
		if (!skip("Skeleton3D")) {
			skeleton = add_node(player, memnew(Skeleton3D), "Skeleton3D", world);
			const char *names[2] = { "hand_l_bone_attach", "hand_r_bone_attach" };
			for (int h = 0; h < 2; h++) {
				if (!skip(names[h])) {
					attach[h] = add_node(skeleton, memnew(BoneAttachment3D), names[h], world);
				}
			}
			for (const char *ik : { "LeftHandIK3D", "RightHandIK3D", "HeadIK3D" }) {
				if (!skip(ik)) {
					add_node(skeleton, memnew(SkeletonIK3D), ik, world);
				}
			}
		}
		const char *controller_names[2] = { "XRController3DLeft", "XRController3DRight" };
		for (int h = 0; h < 2; h++) {
			if (!skip(controller_names[h])) {
				controllers[h] = add_node(player, memnew(XRController3D), controller_names[h], world);
			}
		}
		if (!skip("AnimationPlayer")) {
			animation_player = add_node(player, memnew(AnimationPlayer), "AnimationPlayer", world);
			animation_player->_host_add_animation("legs-bent");
		}
		if (!skip("AnimationTree")) {
			tree = add_node(player, memnew(AnimationTree), "AnimationTree", world);
			for (const char *side : { "l", "r" }) {
				for (const std::string &finger : FINGERS) {
					tree->_host_declare_parameter(StringName(param(finger.c_str(), side).c_str()), 0.0);
				}
			}
		}
		for (const std::string &name : p_colliders) {
			add_collider(name.c_str());
		}
	}

	godot::BoneColliderIK *add_collider(const char *p_name) {
		godot::BoneColliderIK *c = add_node(player, memnew(godot::BoneColliderIK), p_name, world);
		godot::Ref<godot::BoxShape3D> box;
		box.instantiate();
		c->set_shape(box);
		return c;
	}

	void start() {
		godot_host::Host::set_current_scene(world);
		godot::Globals::set_xr_camera(camera);
	}

	float blend(const char *p_finger, const char *p_side) {
		return (float)tree->get(godot::StringName(param(p_finger, p_side).c_str()));
	}
};

#endif // MOSSGLIMMER_TESTS_PLAYER_SCENE_HPP
