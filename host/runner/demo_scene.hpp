#ifndef MOSSGLIMMER_RUNNER_DEMO_SCENE_HPP
#define MOSSGLIMMER_RUNNER_DEMO_SCENE_HPP

#include <godot_cpp/classes/bone_attachment3d.hpp>
#include <godot_cpp/classes/collision_shape3d.hpp>
#include <godot_cpp/classes/mesh_instance3d.hpp>
#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/open_xr_interface.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/skeleton3d.hpp>
#include <godot_cpp/classes/static_body3d.hpp>
#include <godot_cpp/classes/xr_camera3d.hpp>
#include <godot_cpp/classes/xr_controller3d.hpp>
#include <godot_cpp/classes/xr_positional_tracker.hpp>

#include <map>
#include <set>
#include <string>
#include <vector>

struct SceneOptions {
	std::set<std::string> without; // contract nodes to leave out
	float refresh_rate = 90.0f;
	bool hand_tracking = true;
};

// The game's scene as the runner builds it: every node that the game's scene
// contracts name, plus walls and a few grabbable bodies.
struct DemoScene {
	godot::Node3D *world = nullptr; // the current scene
	godot::Node *rig = nullptr; // the manager's and the player's parent
	godot::Node *manager = nullptr;
	godot::XRCamera3D *camera = nullptr;
	godot::RigidBody3D *player = nullptr;
	godot::Skeleton3D *skeleton = nullptr;
	godot::BoneAttachment3D *hands[2] = { nullptr, nullptr };
	godot::XRController3D *controllers[2] = { nullptr, nullptr };
	godot::MeshInstance3D *hud = nullptr;
	godot::StaticBody3D *wall = nullptr;
	std::vector<godot::RigidBody3D *> crates;
	godot::Ref<godot::OpenXRInterface> openxr;
	godot::Ref<godot::XRPositionalTracker> trackers[3]; // left hand, right hand, head
	// The player's shape index of each hand collider, by name.
	std::map<std::string, int32_t> hand_shapes;
	SceneOptions options;
};

// The file the demo scene stands for: the current scene names it.
constexpr const char *DEMO_SCENE_PATH = "res://demo/main.tscn";


// Builds the scene detached from the tree, nodes owned by the scene root as
// a saved scene's are; sets up the XR server's interface and trackers.
DemoScene build_demo_scene(const SceneOptions &p_options);

// While registered, the file makes the scene anew as a script's reload of the
// current scene asks: r_scene then records the new scene's nodes (the XR
// server's interface and trackers stay).
void register_demo_scene_file(DemoScene &r_scene);
void unregister_demo_scene_file();

// The names a run can leave out, for --help and CI.
const std::vector<std::string> &omittable_nodes();

// After the scene is ready: maps hand collider names to the player's shape indexes.
void index_hand_shapes(DemoScene &r_scene);

// A new grabbable body below the current scene, ready in the tree.
godot::RigidBody3D *spawn_crate(DemoScene &r_scene, const godot::Vector3 &p_position);

// Fresh contract nodes of the same class and name in their place in the
// running scene, as a scene would add them (the manager with its origin and
// camera); each replaces the scene's record and is null when its parent is gone.
godot::XRController3D *readd_controller(DemoScene &r_scene, int p_side);
godot::MeshInstance3D *readd_hud(DemoScene &r_scene);
godot::XRCamera3D *readd_camera(DemoScene &r_scene);
godot::Node *readd_manager(DemoScene &r_scene);
// The player with every node its contract names below it (the HUD and the
// controllers included); the manager learns of it only when it is new.
godot::RigidBody3D *readd_player(DemoScene &r_scene);

#endif // MOSSGLIMMER_RUNNER_DEMO_SCENE_HPP
