#ifndef MOSSGLIMMER_GLOBALS_HPP
#define MOSSGLIMMER_GLOBALS_HPP

#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/classes/open_xr_interface.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/xr_camera3d.hpp>
#include <godot_cpp/classes/xr_controller3d.hpp>
#include <godot_cpp/classes/xr_hand_tracker.hpp>
#include <godot_cpp/classes/xr_origin3d.hpp>
#include <godot_cpp/classes/xr_positional_tracker.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>
#include <vector>

namespace godot {

class Node;

// XR state shared by the manager, the player and the greeting sequences.
// Hand-indexed members use 0 for the left hand and 1 for the right.
//
// The nodes belong to the scene, which may free them at any time: store them
// with the setters and read them with the getters, which return null (and
// report it once) for a node that no longer exists.
class Globals {
public:
	static bool is_dev;
	static Ref<OpenXRInterface> xr_interface;
	static XROrigin3D *m_xr_origin;
	static XRCamera3D *m_xr_camera;
	static std::vector<Ref<XRPositionalTracker>> pos_trackers; // left hand, right hand, head
	static std::vector<Ref<XRHandTracker>> hand_trackers; // left, right
	static XRController3D *hand_controllers[2];

	// How far the OpenXR session has come, as its events told it: plain
	// values, since the session outlives every scene. A manager that becomes
	// ready while the session runs takes the session from here.
	enum SessionStage : uint8_t {
		SESSION_NONE, // none yet, or it stopped
		SESSION_BEGUN,
		SESSION_VISIBLE, // also: focus lost
		SESSION_FOCUSSED,
	};
	static SessionStage session_stage;
	// The first focus gain has started the first-run greeting.
	static bool first_greeting_started;
	// Follows the session's events on p_interface from now on, whether or
	// not a manager is there to hear them (between two scenes, say).
	static void follow_session(const Ref<OpenXRInterface> &p_interface);

	// Instance ids of the nodes above, set together with them.
	static uint64_t m_xr_origin_id;
	static uint64_t m_xr_camera_id;
	static uint64_t hand_controller_ids[2];

	static void set_xr_origin(XROrigin3D *p_origin);
	static void set_xr_camera(XRCamera3D *p_camera);
	static void set_hand_controller(int p_hand, XRController3D *p_controller);

	static XROrigin3D *get_xr_origin();
	static XRCamera3D *get_xr_camera();
	static XRController3D *get_hand_controller(int p_hand);

	// Forgets every scene node and tracker held here, whoever stored them (a
	// manager that leaves forgets only its own: XRManager::forget_scene_state).
	static void clear_scene_state();
	// Releases everything held, at the library's shut-down; the session as
	// the library knew it ends with it, and is no longer followed.
	static void cleanup();
};

// p_node while the object it names still exists. One that was freed is
// forgotten here (pointer and id cleared), so it is reported once and reads
// as missing from then on. Used for every engine object the library keeps
// but does not own.
template <typename T>
T *live_or_forget(T *&r_node, uint64_t &r_id, const char *p_what) {
	if (!r_node) {
		return nullptr;
	}
	if (r_id == 0 || ObjectDB::get_instance(r_id) != static_cast<Object *>(r_node)) {
		r_node = nullptr;
		r_id = 0;
		ERR_PRINT(vformat("The %s was freed: the game goes on without it.", p_what));
		return nullptr;
	}
	return r_node;
}

// Whether the object that p_id named still exists. Any call out of the
// library can run a script that frees anything: a pointer held across such a
// call is used afterwards only when its id, taken before, still names it.
inline bool still_exists(uint64_t p_id) {
	return p_id != 0 && ObjectDB::get_instance(p_id) != nullptr;
}

// The object that p_id names, as a T, or null once it was freed.
template <typename T>
T *live(uint64_t p_id) {
	return p_id == 0 ? nullptr : Object::cast_to<T>(ObjectDB::get_instance(p_id));
}

// Whether p_node is in the tree and stays there: not queued for deletion,
// itself or with anything above it (a scene on its way out).
bool stays_in_tree(const Node *p_node);

// The node found before (by p_found_id) while it still lies below p_below;
// else the first owned node of that name there. A node taken out of the tree
// and added back has lost its owner, so the owned-node search alone would
// miss it.
template <typename T>
T *keep_or_find(uint64_t p_found_id, Node *p_below, const char *p_name) {
	if (!p_below) {
		return nullptr;
	}
	T *kept = live<T>(p_found_id);
	if (kept && p_below->is_ancestor_of(kept)) {
		return kept;
	}
	return Object::cast_to<T>(p_below->find_child(p_name, true, true));
}

// Ids of p_parent's children (internal ones left out), taken before a loop
// whose calls can run scripts that free a later child: the engine's child
// array holds plain pointers.
std::vector<uint64_t> child_ids(Node *p_parent);

// Remembers p_node with its instance id, for live_or_forget.
template <typename T>
void remember(T *&r_node, uint64_t &r_id, T *p_node) {
	r_node = p_node;
	r_id = p_node ? p_node->get_instance_id() : 0;
}

// Whether an entry named "DEV" exists next to the working directory; false
// when the working directory or the entry's status can't be read.
bool find_developer_marker();

} // namespace godot

#endif // MOSSGLIMMER_GLOBALS_HPP
