// The library loaded from its file, played, shut down and unloaded as the
// engine does it: after its de-initialisation it may hold no engine value,
// and no object of its classes may outlive them.
#include <godot_cpp/classes/animation_player.hpp>
#include <godot_cpp/classes/animation_tree.hpp>
#include <godot_cpp/classes/bone_attachment3d.hpp>
#include <godot_cpp/classes/box_shape3d.hpp>
#include <godot_cpp/classes/collision_shape3d.hpp>
#include <godot_cpp/classes/mesh_instance3d.hpp>
#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/open_xr_interface.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/classes/skeleton3d.hpp>
#include <godot_cpp/classes/sphere_shape3d.hpp>
#include <godot_cpp/classes/static_body3d.hpp>
#include <godot_cpp/classes/xr_camera3d.hpp>
#include <godot_cpp/classes/xr_controller3d.hpp>
#include <godot_cpp/classes/xr_hand_tracker.hpp>
#include <godot_cpp/classes/xr_origin3d.hpp>
#include <godot_cpp/classes/xr_positional_tracker.hpp>
#include <godot_cpp/classes/xr_server.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/host_unload_watch.hpp>
#include <godot_host/host.hpp>
#include <godot_host/log.hpp>
#include <godot_host/physics_world.hpp>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <string>

using namespace godot;
using godot_host::Extension;
using godot_host::Host;
using godot_host::Log;
using godot_host::PhysicsWorld;

namespace {

template <typename T>
T *add(Node *p_parent, T *p_node, const char *p_name, Node *p_owner) {
	p_node->set_name(p_name);
	p_parent->add_child(p_node);
	p_node->set_owner(p_owner);
	return p_node;
}

// Nodes of the library's classes exist only by name here: this program's
// own copy of the game's code is not the one loaded.
template <typename T>
T *game_node(const char *p_class) {
	T *node = Object::cast_to<T>(ClassDB::instantiate(p_class));
	EXPECT_NE(node, nullptr) << p_class;
	return node;
}

CollisionShape3D *sphere_collider(Node *p_player, const char *p_class, const char *p_name, Node *p_owner) {
	CollisionShape3D *c = add(p_player, game_node<CollisionShape3D>(p_class), p_name, p_owner);
	c->set_shape(Ref<SphereShape3D>(memnew(SphereShape3D)));
	return c;
}

struct Session {
	Ref<OpenXRInterface> openxr;
	Ref<XRPositionalTracker> trackers[3];
	Node3D *root = nullptr;
	RigidBody3D *player = nullptr;
	StaticBody3D *wall = nullptr;
	XRController3D *controllers[2] = {};
};

// The scene contracts of the manager, the player and the HUD, with a wall.
Session build() {
	Session s;
	XRServer *server = XRServer::get_singleton();
	s.openxr.instantiate();
	s.openxr->_host_set_name("OpenXR");
	s.openxr->_host_set_initialized(true);
	s.openxr->set_display_refresh_rate(90.0f);
	s.openxr->_host_set_hand_tracking_supported(true);
	server->add_interface(s.openxr);
	server->set_primary_interface(s.openxr);
	const char *names[3] = { "left_hand", "right_hand", "head" };
	for (int i = 0; i < 3; i++) {
		s.trackers[i].instantiate();
		s.trackers[i]->set_tracker_name(names[i]);
		s.trackers[i]->set_tracker_type(i == 2 ? XRServer::TRACKER_HEAD : XRServer::TRACKER_CONTROLLER);
		s.trackers[i]->set_pose("default", Transform3D(), Vector3(), Vector3(), XRPose::XR_TRACKING_CONFIDENCE_HIGH);
		server->add_tracker(s.trackers[i]);
	}
	for (const char *hand : { "/user/hand_tracker/left", "/user/hand_tracker/right" }) {
		Ref<XRHandTracker> tracker;
		tracker.instantiate();
		tracker->set_tracker_name(hand);
		tracker->set_tracker_type(XRServer::TRACKER_HAND);
		server->add_tracker(tracker);
	}

	Node3D *root = memnew(Node3D);
	root->set_name("Main");
	s.root = root;
	s.wall = add(root, memnew(StaticBody3D), "Wall", root);
	Ref<BoxShape3D> box;
	box.instantiate();
	CollisionShape3D *wall_shape = add(s.wall, memnew(CollisionShape3D), "CollisionShape3D", root);
	wall_shape->set_shape(box);

	Node *rig = add(root, memnew(Node), "Rig", root);
	Node *manager = add(rig, game_node<Node>("XRManager"), "XRManager", root);
	manager->set_process_mode(Node::PROCESS_MODE_ALWAYS);
	XROrigin3D *origin = add(manager, memnew(XROrigin3D), "XROrigin3D", root);
	add(origin, memnew(XRCamera3D), "XRCamera3D", root)->set_position(Vector3(0, 1.6f, 0));

	s.player = add(rig, game_node<RigidBody3D>("Player"), "Player", root);
	s.player->set_gravity_scale(0.0f);
	Skeleton3D *skeleton = add(s.player, memnew(Skeleton3D), "Skeleton3D", root);
	add(skeleton, memnew(BoneAttachment3D), "hand_l_bone_attach", root);
	add(skeleton, memnew(BoneAttachment3D), "hand_r_bone_attach", root);
	add(skeleton, memnew(BoneAttachment3D), "thumb_01_l_bone_attach", root);
	sphere_collider(s.player, "BoneColliderIK", "hand_r_collider", root);
	sphere_collider(s.player, "BoneColliderIK", "thumb_01_l_collider", root);
	sphere_collider(s.player, "BoneCollider", "hand_l_collider", root);
	const char *controllers[2] = { "XRController3DLeft", "XRController3DRight" };
	for (int side = 0; side < 2; side++) {
		s.controllers[side] = add(s.player, memnew(XRController3D), controllers[side], root);
		s.controllers[side]->set_tracker(names[side]);
	}
	add(s.player, memnew(AnimationPlayer), "AnimationPlayer", root)->_host_add_animation("legs-bent");
	add(s.player, memnew(AnimationTree), "AnimationTree", root);
	MeshInstance3D *hud = add(s.player, game_node<MeshInstance3D>("HUD"), "HUD", root);
	hud->set_process_mode(Node::PROCESS_MODE_ALWAYS);
	Host::set_current_scene(root);
	return s;
}

void play(Session &r_session) {
	Host::advance(0.3, 1.0 / 90.0);
	for (const char *sig : { "session_begun", "session_visible", "session_focussed" }) {
		r_session.openxr->emit_signal(sig);
		Host::advance(0.3, 1.0 / 90.0);
	}
	// The greeting's pages are answered until the game runs.
	for (int page = 0; page < 30 && Host::tree()->is_paused(); page++) {
		Host::advance(2.0, 1.0 / 90.0);
		r_session.controllers[1]->_host_press_button("ax_button");
		Host::advance(0.1, 1.0 / 90.0);
		r_session.controllers[1]->_host_release_button("ax_button");
	}
	ASSERT_FALSE(Host::tree()->is_paused()) << "the greeting never ended";

	// The right palm on the wall while its hand moves: the push-off reads the pose.
	int32_t palm = -1;
	for (int32_t i = 0; i < 8 && palm < 0; i++) {
		Node *owner = Object::cast_to<Node>(r_session.player->shape_owner_get_owner(r_session.player->shape_find_owner(i)));
		if (owner && String(owner->get_name()) == String("hand_r_collider")) {
			palm = i;
		}
	}
	ASSERT_GE(palm, 0);
	r_session.trackers[1]->set_pose("default", Transform3D(), Vector3(0, 0, 1.5f), Vector3(), XRPose::XR_TRACKING_CONFIDENCE_HIGH);
	PhysicsWorld::Contact contact;
	contact.local_shape = palm;
	contact.collider = r_session.wall;
	contact.local_normal = Vector3(0, 0, 1);
	PhysicsWorld::add_contact(r_session.player, contact);
	Host::advance(0.3, 1.0 / 90.0);
	PhysicsWorld::clear_contacts(r_session.player);
}

bool still_loaded(const char *p_path) {
	void *handle = dlopen(p_path, RTLD_NOW | RTLD_NOLOAD);
	if (handle) {
		dlclose(handle);
	}
	return handle != nullptr;
}

} // namespace

TEST(LibraryUnload, APlayedSessionLeavesTheLibraryNothingToReleaseAtUnload) {
	Host::set_editor_hint(false);
	Host::reset();
	Log::clear();
	Extension extension;
	ASSERT_TRUE(extension.open(MOSSGLIMMER_LIBRARY)) << extension.last_error();
	extension.initialize();
	{
		Session session = build();
		play(session);
	}
	Host::reset();
	PhysicsWorld::reset();
	Log::clear(); // from here on only the shut-down speaks
	extension.close();

	EXPECT_FALSE(still_loaded(MOSSGLIMMER_LIBRARY)) << "unloading must run the library's static destructors";
	std::string reports;
	for (const godot_host::LogEntry &e : Log::errors()) {
		reports += e.text + "\n";
	}
	EXPECT_EQ(reports, "");
	Log::clear();
}

TEST(LibraryUnload, TheEngineReportsWhatALibraryStillHoldsOrLeavesAlive) {
	Host::reset();
	Log::clear();
	Extension extension;
	ASSERT_TRUE(extension.open(MOSSGLIMMER_LIBRARY)) << extension.last_error();
	extension.initialize();
	Object *leaked = ClassDB::instantiate("WelcomeSequence");
	ASSERT_NE(leaked, nullptr);
	extension.deinitialize();
	std::vector<godot_host::LogEntry> errors = Log::errors();
	ASSERT_EQ(errors.size(), 1u);
	EXPECT_EQ(errors[0].text, "Class 'WelcomeSequence' is unregistered while 1 of its objects still exist.");
	memdelete(leaked); // before its code goes

	// Values released by a library's static destructors: strings, names,
	// references and objects, each once however much its teardown frees.
	Log::clear();
	struct Statics {
		String text = "neck_*";
		StringName name = "default";
		Ref<XRPositionalTracker> tracker;
		String empty; // holds nothing of the engine's
	};
	Statics *statics = new Statics;
	statics->tracker.instantiate();
	Node *node = memnew(Node);
	_HostUnloadWatch::begin();
	delete statics;
	memdelete(node);
	_HostUnloadWatch::end();
	errors = Log::errors();
	ASSERT_EQ(errors.size(), 4u);
	EXPECT_EQ(errors[0].text.rfind("A reference to <XRPositionalTracker#", 0), 0u) << errors[0].text;
	EXPECT_EQ(errors[1].text.rfind("A StringName (\"default\") was released while", 0), 0u) << errors[1].text;
	EXPECT_EQ(errors[2].text.rfind("A String (\"neck_*\") was released while", 0), 0u) << errors[2].text;
	EXPECT_EQ(errors[3].text.rfind("A freed object to <Node#", 0), 0u) << errors[3].text;
	extension.close();
	Log::clear();
}
