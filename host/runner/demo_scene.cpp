// The runner's demo scene: the game's scene contracts, a wall and crates.
#include "demo_scene.hpp"

#include <godot_cpp/classes/animation_player.hpp>
#include <godot_cpp/classes/animation_tree.hpp>
#include <godot_cpp/classes/audio_stream.hpp>
#include <godot_cpp/classes/audio_stream_player.hpp>
#include <godot_cpp/classes/box_shape3d.hpp>
#include <godot_cpp/classes/packed_scene.hpp>
#include <godot_cpp/classes/resource_loader.hpp>
#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/classes/skeleton_ik3d.hpp>
#include <godot_cpp/classes/sphere_shape3d.hpp>
#include <godot_cpp/classes/xr_hand_tracker.hpp>
#include <godot_cpp/classes/xr_origin3d.hpp>
#include <godot_cpp/classes/xr_server.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_host/project_resources.hpp>

#include <functional>

using namespace godot;

namespace {

const char *FINGER_NAMES[5] = { "thumb", "index", "middle", "ring", "pinky" };
const char SIDES[2] = { 'l', 'r' };

template <typename T>
T *add(Node *p_parent, T *p_node, const std::string &p_name, Node *p_owner) {
	p_node->set_name(p_name.c_str());
	p_parent->add_child(p_node);
	if (p_owner && p_owner != p_node) {
		p_node->set_owner(p_owner);
	}
	return p_node;
}

template <typename T>
T *game_node(const char *p_class) {
	Object *o = ClassDB::instantiate(p_class);
	T *node = Object::cast_to<T>(o);
	if (!node && o) {
		memdelete(o);
	}
	return node;
}

CollisionShape3D *box_shape(const Vector3 &p_size) {
	Ref<BoxShape3D> box;
	box.instantiate();
	box->set_size(p_size);
	CollisionShape3D *shape = memnew(CollisionShape3D);
	shape->set_shape(box);
	return shape;
}

// Where each hand part sits relative to the hand, in the player's space.
Vector3 part_offset(int p_finger, int p_segment, int p_side) {
	float sign = p_side == 0 ? 1.0f : -1.0f; // thumbs point inward
	if (p_finger == 0) {
		return Vector3(sign * 0.03f * (float)p_segment, 0.0f, -0.02f * (float)p_segment);
	}
	return Vector3(-sign * 0.02f * (float)(p_finger - 2), 0.0f, -0.05f - 0.025f * (float)p_segment);
}

const char *const CONTROLLER_NAMES[2] = { "XRController3DLeft", "XRController3DRight" };

XRController3D *new_controller(int p_side) {
	XRController3D *c = memnew(XRController3D);
	c->set_tracker(p_side == 0 ? "left_hand" : "right_hand");
	return c;
}

XRCamera3D *new_camera() {
	XRCamera3D *camera = memnew(XRCamera3D);
	camera->set_position(Vector3(0, 1.6f, 0));
	return camera;
}

// The HUD, with its click sound below it (owned by the HUD) when asked.
MeshInstance3D *new_hud(bool p_click) {
	MeshInstance3D *hud = game_node<MeshInstance3D>("HUD");
	if (!hud) {
		return nullptr;
	}
	hud->set_process_mode(Node::PROCESS_MODE_ALWAYS);
	hud->set_position(Vector3(0, 1.5f, -0.6f));
	if (p_click) {
		AudioStreamPlayer *click = add(hud, memnew(AudioStreamPlayer), "AudioStreamPlayer", hud);
		click->set_stream(ResourceLoader::get_singleton()->load(godot_host::TYPING_CLICK_SOUND));
	}
	return hud;
}

Node *new_manager() {
	Node *manager = game_node<Node>("XRManager");
	if (manager) {
		manager->set_process_mode(Node::PROCESS_MODE_ALWAYS);
	}
	return manager;
}

// Adds a node built apart into the running scene as an instanced scene
// joins it: its own nodes are owned by it, and it by the scene's root.
template <typename T>
T *join_scene(Node *p_parent, T *p_node, const char *p_name, Node *p_scene_root) {
	if (!p_node) {
		return nullptr;
	}
	if (!p_parent || !ObjectDB::get_instance(p_parent->get_instance_id())) {
		memdelete(p_node);
		return nullptr;
	}
	p_node->set_name(p_name);
	p_parent->add_child(p_node);
	p_node->set_owner(p_scene_root);
	return p_node;
}

// The player's contract nodes below it, each owned by p_owner, as a scene
// holds them.
void build_player(DemoScene &s, const std::function<bool(const char *)> &wanted, Node *p_owner) {
	s.player->set_mass(70.0f);
	s.player->set_gravity_scale(0.0f);

	Node *ik_parent = s.player;
	if (wanted("Skeleton3D")) {
		s.skeleton = add(s.player, memnew(Skeleton3D), "Skeleton3D", p_owner);
		ik_parent = s.skeleton;
	}
	Node *attachment_parent = s.skeleton ? (Node *)s.skeleton : (Node *)s.player;
	const Vector3 hand_places[2] = { Vector3(-0.25f, 1.1f, -0.35f), Vector3(0.25f, 1.1f, -0.35f) };
	for (int side = 0; side < 2; side++) {
		std::string sl(1, SIDES[side]);
		std::string hand_name = "hand_" + sl + "_bone_attach";
		if (wanted(hand_name.c_str())) {
			s.hands[side] = add(attachment_parent, memnew(BoneAttachment3D), hand_name, p_owner);
			s.hands[side]->set_position(hand_places[side]);
		}
		// Palm colliders follow the hand attachment; each finger segment its own.
		for (const char *suffix : { "_collider", "_outer_collider" }) {
			CollisionShape3D *palm = add(s.player, game_node<CollisionShape3D>("BoneColliderIK"), "hand_" + sl + suffix, p_owner);
			Ref<SphereShape3D> sphere;
			sphere.instantiate();
			sphere->set_radius(0.045f);
			palm->set_shape(sphere);
		}
		for (int finger = 0; finger < 5; finger++) {
			for (int segment = 1; segment <= 3; segment++) {
				std::string part = std::string(FINGER_NAMES[finger]) + "_0" + std::to_string(segment) + "_" + sl;
				BoneAttachment3D *bone = add(attachment_parent, memnew(BoneAttachment3D), part + "_bone_attach", p_owner);
				bone->set_position(hand_places[side] + part_offset(finger, segment, side));
				for (const char *suffix : { "_collider", "_outer_collider" }) {
					CollisionShape3D *c = add(s.player, game_node<CollisionShape3D>("BoneColliderIK"), part + suffix, p_owner);
					Ref<SphereShape3D> sphere;
					sphere.instantiate();
					sphere->set_radius(0.012f);
					c->set_shape(sphere);
				}
			}
		}
	}
	for (int side = 0; side < 2; side++) {
		if (wanted(CONTROLLER_NAMES[side])) {
			s.controllers[side] = add(s.player, new_controller(side), CONTROLLER_NAMES[side], p_owner);
		}
	}
	if (wanted("AnimationPlayer")) {
		AnimationPlayer *animations = add(s.player, memnew(AnimationPlayer), "AnimationPlayer", p_owner);
		animations->_host_add_animation("legs-bent");
	}
	if (wanted("AnimationTree")) {
		AnimationTree *tree = add(s.player, memnew(AnimationTree), "AnimationTree", p_owner);
		for (int side = 0; side < 2; side++) {
			for (const char *finger : FINGER_NAMES) {
				std::string param = std::string("parameters/closed-") + finger + "-" + SIDES[side] + "/blend_amount";
				tree->_host_declare_parameter(param.c_str(), 0.0);
			}
		}
	}
	for (const char *ik : { "LeftHandIK3D", "RightHandIK3D", "HeadIK3D" }) {
		if (wanted(ik)) {
			add(ik_parent, memnew(SkeletonIK3D), ik, p_owner);
		}
	}
	if (wanted("HUD")) {
		s.hud = add(s.player, new_hud(false), "HUD", p_owner);
		if (wanted("AudioStreamPlayer")) {
			// Below the HUD once it is named and in the scene, owned by the scene.
			AudioStreamPlayer *click = add(s.hud, memnew(AudioStreamPlayer), "AudioStreamPlayer", p_owner);
			click->set_stream(ResourceLoader::get_singleton()->load(godot_host::TYPING_CLICK_SOUND));
		}
	}
}

} // namespace

const std::vector<std::string> &omittable_nodes() {
	static const std::vector<std::string> names = { "OpenXR", "Player", "XRController3DLeft", "XRController3DRight", "HUD", "Skeleton3D",
		"hand_l_bone_attach", "hand_r_bone_attach", "AnimationPlayer", "AnimationTree", "LeftHandIK3D", "RightHandIK3D", "HeadIK3D",
		"XROrigin3D", "XRCamera3D", "AudioStreamPlayer" };
	return names;
}

RigidBody3D *spawn_crate(DemoScene &r_scene, const Vector3 &p_position) {
	RigidBody3D *crate = memnew(RigidBody3D);
	crate->set_name("Crate");
	crate->set_mass(2.0f);
	crate->set_gravity_scale(0.0f);
	crate->set_position(p_position);
	CollisionShape3D *shape = box_shape(Vector3(0.12f, 0.12f, 0.12f));
	shape->set_name("CollisionShape3D");
	crate->add_child(shape);
	MeshInstance3D *mesh = memnew(MeshInstance3D);
	mesh->set_name("Mesh");
	crate->add_child(mesh);
	r_scene.world->add_child(crate);
	shape->set_owner(r_scene.world);
	mesh->set_owner(r_scene.world);
	crate->set_owner(r_scene.world);
	r_scene.crates.push_back(crate);
	return crate;
}

// The scene's nodes, detached, recorded in r_scene in place of any before.
static void build_demo_nodes(DemoScene &r_scene) {
	const SceneOptions &p_options = r_scene.options;
	auto wanted = [&](const char *p_name) { return p_options.without.count(p_name) == 0; };
	DemoScene &s = r_scene;
	s.rig = s.manager = nullptr;
	s.camera = nullptr;
	s.player = nullptr;
	s.skeleton = nullptr;
	s.hands[0] = s.hands[1] = nullptr;
	s.controllers[0] = s.controllers[1] = nullptr;
	s.hud = nullptr;
	s.crates.clear();
	s.hand_shapes.clear();
	s.world = memnew(Node3D);
	s.world->set_name("Main");
	Node *root = s.world;

	// World geometry: a wall ahead and crates floating within reach.
	s.wall = add(root, memnew(StaticBody3D), "Wall", root);
	s.wall->set_position(Vector3(0, 1.2f, -1.5f));
	add(s.wall, box_shape(Vector3(4, 3, 0.2f)), "CollisionShape3D", root);
	add(s.wall, memnew(MeshInstance3D), "Mesh", root);
	const Vector3 crate_places[3] = { Vector3(-0.3f, 1.1f, -0.6f), Vector3(0.4f, 1.0f, -0.8f), Vector3(0.0f, 1.4f, -1.0f) };
	for (const Vector3 &p : crate_places) {
		RigidBody3D *crate = add(root, memnew(RigidBody3D), "Crate", root);
		crate->set_mass(2.0f);
		crate->set_gravity_scale(0.0f);
		crate->set_position(p);
		add(crate, box_shape(Vector3(0.12f, 0.12f, 0.12f)), "CollisionShape3D", root);
		add(crate, memnew(MeshInstance3D), "Mesh", root);
		s.crates.push_back(crate);
	}

	// The rig is no 3-D node, so hiding the world never hides the player's HUD.
	Node *rig = add(root, memnew(Node), "Rig", root);
	s.rig = rig;
	s.manager = add(rig, new_manager(), "XRManager", root);
	Node *camera_parent = s.manager;
	if (wanted("XROrigin3D")) {
		camera_parent = add(s.manager, memnew(XROrigin3D), "XROrigin3D", root);
	}
	if (wanted("XRCamera3D")) {
		s.camera = add(camera_parent, new_camera(), "XRCamera3D", root);
	}

	if (!wanted("Player")) {
		return;
	}
	s.player = add(rig, game_node<RigidBody3D>("Player"), "Player", root);
	build_player(s, wanted, root);
}

DemoScene build_demo_scene(const SceneOptions &p_options) {
	auto wanted = [&](const char *p_name) { return p_options.without.count(p_name) == 0; };
	DemoScene s;
	s.options = p_options;

	// XR server: the OpenXR interface, primary, with the controllers' and the head's trackers.
	XRServer *server = XRServer::get_singleton();
	if (wanted("OpenXR")) {
		s.openxr.instantiate();
		s.openxr->_host_set_name("OpenXR");
		s.openxr->_host_set_initialized(true);
		s.openxr->set_display_refresh_rate(p_options.refresh_rate);
		s.openxr->_host_set_hand_tracking_supported(p_options.hand_tracking);
		server->add_interface(s.openxr);
		server->set_primary_interface(s.openxr);
	}
	const char *tracker_names[3] = { "left_hand", "right_hand", "head" };
	for (int i = 0; i < 3; i++) {
		s.trackers[i].instantiate();
		s.trackers[i]->set_tracker_name(tracker_names[i]);
		s.trackers[i]->set_tracker_type(i == 2 ? XRServer::TRACKER_HEAD : XRServer::TRACKER_CONTROLLER);
		s.trackers[i]->set_pose("default", Transform3D(), Vector3(), Vector3(), XRPose::XR_TRACKING_CONFIDENCE_HIGH);
		server->add_tracker(s.trackers[i]);
	}
	if (p_options.hand_tracking) {
		const char *hand_names[2] = { "/user/hand_tracker/left", "/user/hand_tracker/right" };
		for (const char *name : hand_names) {
			Ref<XRHandTracker> hand;
			hand.instantiate();
			hand->set_tracker_name(name);
			hand->set_tracker_type(XRServer::TRACKER_HAND);
			server->add_tracker(hand);
		}
	}

	build_demo_nodes(s);
	// As loaded from its file: a script's reload of the current scene reads it.
	s.world->set_scene_file_path(DEMO_SCENE_PATH);
	return s;
}

void register_demo_scene_file(DemoScene &r_scene) {
	ResourceLoader::get_singleton()->_host_register(DEMO_SCENE_PATH, [&r_scene]() -> Ref<Resource> {
		Ref<PackedScene> scene;
		scene.instantiate();
		scene->_host_set_builder([&r_scene]() -> Node * {
			build_demo_nodes(r_scene);
			return r_scene.world;
		});
		return scene;
	});
}

void unregister_demo_scene_file() {
	ResourceLoader::get_singleton()->_host_unregister(DEMO_SCENE_PATH);
}

XRController3D *readd_controller(DemoScene &r_scene, int p_side) {
	r_scene.controllers[p_side] = join_scene(r_scene.player, new_controller(p_side), CONTROLLER_NAMES[p_side], r_scene.world);
	return r_scene.controllers[p_side];
}

MeshInstance3D *readd_hud(DemoScene &r_scene) {
	r_scene.hud = join_scene(r_scene.player, new_hud(true), "HUD", r_scene.world);
	return r_scene.hud;
}

XRCamera3D *readd_camera(DemoScene &r_scene) {
	Node *origin = r_scene.manager ? r_scene.manager->get_node_or_null("XROrigin3D") : nullptr;
	r_scene.camera = join_scene(origin, new_camera(), "XRCamera3D", r_scene.world);
	return r_scene.camera;
}

RigidBody3D *readd_player(DemoScene &r_scene) {
	r_scene.skeleton = nullptr;
	r_scene.hands[0] = r_scene.hands[1] = nullptr;
	r_scene.controllers[0] = r_scene.controllers[1] = nullptr;
	r_scene.hud = nullptr;
	r_scene.player = game_node<RigidBody3D>("Player");
	if (!r_scene.player) {
		return nullptr;
	}
	auto everything = [](const char *) { return true; };
	build_player(r_scene, everything, r_scene.player);
	r_scene.player = join_scene(r_scene.rig, r_scene.player, "Player", r_scene.world);
	if (!r_scene.player) {
		r_scene.skeleton = nullptr;
		r_scene.hands[0] = r_scene.hands[1] = nullptr;
		r_scene.controllers[0] = r_scene.controllers[1] = nullptr;
		r_scene.hud = nullptr;
	}
	return r_scene.player;
}

Node *readd_manager(DemoScene &r_scene) {
	Node *manager = new_manager();
	if (manager) {
		XROrigin3D *origin = add(manager, memnew(XROrigin3D), "XROrigin3D", manager);
		r_scene.camera = add(origin, new_camera(), "XRCamera3D", manager);
	}
	r_scene.manager = join_scene(r_scene.rig, manager, "XRManager", r_scene.world);
	if (!r_scene.manager) {
		r_scene.camera = nullptr;
	}
	return r_scene.manager;
}

void index_hand_shapes(DemoScene &r_scene) {
	r_scene.hand_shapes.clear();
	if (!r_scene.player) {
		return;
	}
	int32_t shapes = 0;
	for (int i = 0; i < r_scene.player->get_child_count(); i++) {
		CollisionShape3D *c = Object::cast_to<CollisionShape3D>(r_scene.player->get_child(i));
		shapes += (c && c->get_shape().is_valid()) ? 1 : 0;
	}
	for (int32_t index = 0; index < shapes; index++) {
		uint32_t owner = r_scene.player->shape_find_owner(index);
		Node *node = Object::cast_to<Node>(r_scene.player->shape_owner_get_owner(owner));
		if (node) {
			r_scene.hand_shapes[String(node->get_name()).utf8().get_data()] = index;
		}
	}
}
