#ifndef MOSSGLIMMER_BENCH_PLAYER_BENCH_SCENE_HPP
#define MOSSGLIMMER_BENCH_PLAYER_BENCH_SCENE_HPP

#include "_register_nodes.hpp"
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
#include <godot_host/host.hpp>
#include <godot_host/log.hpp>
#include <godot_host/physics_world.hpp>

#include <cstdint>
#include <string>

// The player's scene in the engine, for benchmarks.
struct PlayerBenchScene {
	godot_host::Extension extension;
	godot::Node3D *world = nullptr;
	godot::Player *player = nullptr;
	godot::XRCamera3D *camera = nullptr;
	godot::BoneAttachment3D *attach[2] = {};

	template <typename T>
	T *add(godot::Node *p_parent, T *p_node, const char *p_name) {
		p_node->set_name(p_name);
		p_parent->add_child(p_node);
		p_node->set_owner(world);
		return p_node;
	}

	PlayerBenchScene() {
		using namespace godot;
		godot_host::Log::set_echo(false);
		godot_host::Host::reset();
		extension.open_entry(init_nodes);
		extension.initialize();
		world = memnew(Node3D);
		world->set_name("World");
		camera = add(world, memnew(XRCamera3D), "XRCamera3D");
		player = add(world, memnew(Player), "Player");
		player->set_gravity_scale(0.0f);
		Skeleton3D *skeleton = add(player, memnew(Skeleton3D), "Skeleton3D");
		attach[0] = add(skeleton, memnew(BoneAttachment3D), "hand_l_bone_attach");
		attach[1] = add(skeleton, memnew(BoneAttachment3D), "hand_r_bone_attach");
		for (const char *ik : { "LeftHandIK3D", "RightHandIK3D", "HeadIK3D" }) {
			add(skeleton, memnew(SkeletonIK3D), ik);
		}
		add(player, memnew(XRController3D), "XRController3DLeft");
		add(player, memnew(XRController3D), "XRController3DRight");
		AnimationPlayer *animation = add(player, memnew(AnimationPlayer), "AnimationPlayer");
		animation->_host_add_animation("legs-bent");
		AnimationTree *tree = add(player, memnew(AnimationTree), "AnimationTree");
		for (const char *side : { "l", "r" }) {
			for (const std::string &finger : FINGERS) {
				tree->_host_declare_parameter(StringName((std::string("parameters/closed-") + finger + "-" + side + "/blend_amount").c_str()), 0.0);
			}
		}
		godot_host::Host::set_current_scene(world);
		Globals::set_xr_camera(camera);
	}

	godot::BoneColliderIK *add_collider(const char *p_name) {
		godot::BoneColliderIK *c = add(player, memnew(godot::BoneColliderIK), p_name);
		godot::Ref<godot::BoxShape3D> box;
		box.instantiate();
		c->set_shape(box);
		return c;
	}

	// A physics step with the given contacts of the player's shapes, one per
	// index, integrated once so that what the body keeps is warm.
	template <typename ContactOf>
	godot::PhysicsDirectBodyState3D *step_with_contacts(int64_t p_count, ContactOf p_contact_of) {
		for (int64_t i = 0; i < p_count; i++) {
			godot_host::PhysicsWorld::add_contact(player, p_contact_of(i));
		}
		godot::PhysicsDirectBodyState3D *state = player->_host_state();
		state->_host_begin_step(player, 0.01f);
		godot_host::PhysicsWorld::_fill_state(player);
		player->_integrate_forces(state);
		return state;
	}

	~PlayerBenchScene() {
		godot::Globals::set_xr_camera(nullptr);
		godot::Globals::pos_trackers.clear();
		godot_host::Host::reset();
		godot_host::PhysicsWorld::reset();
		extension.close();
	}
};

#endif // MOSSGLIMMER_BENCH_PLAYER_BENCH_SCENE_HPP
