#include "globals.hpp"

#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/callable_method_pointer.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <filesystem>
#include <system_error>

namespace godot {

namespace {

// The interface whose session the library follows, by instance id.
uint64_t followed_interface_id = 0;

void note_session_begun() {
	Globals::session_stage = Globals::SESSION_BEGUN;
}

void note_session_visible() {
	Globals::session_stage = Globals::SESSION_VISIBLE;
}

void note_session_focussed() {
	Globals::session_stage = Globals::SESSION_FOCUSSED;
}

void note_session_ended() {
	Globals::session_stage = Globals::SESSION_NONE;
}

struct SessionFollower {
	const char *signal;
	void (*note)();
};

const SessionFollower SESSION_FOLLOWERS[] = {
	{ "session_begun", note_session_begun },
	{ "session_visible", note_session_visible },
	{ "session_focussed", note_session_focussed },
	{ "session_stopping", note_session_ended },
	{ "instance_exiting", note_session_ended },
};

// The connections call into the library: they go before it is unloaded.
void stop_following_session() {
	OpenXRInterface *followed = live<OpenXRInterface>(followed_interface_id);
	followed_interface_id = 0;
	if (!followed) {
		return;
	}
	for (const SessionFollower &follower : SESSION_FOLLOWERS) {
		Callable note = callable_mp_static(follower.note);
		if (followed->is_connected(follower.signal, note)) {
			followed->disconnect(follower.signal, note);
		}
	}
}

} // namespace

void Globals::follow_session(const Ref<OpenXRInterface> &p_interface) {
	if (p_interface.is_null() || p_interface->get_instance_id() == followed_interface_id) {
		return;
	}
	stop_following_session();
	for (const SessionFollower &follower : SESSION_FOLLOWERS) {
		p_interface->connect(follower.signal, callable_mp_static(follower.note), 0);
	}
	followed_interface_id = p_interface->get_instance_id();
}

bool find_developer_marker() {
	std::error_code ec;
	std::filesystem::path cwd = std::filesystem::current_path(ec);
	if (ec || cwd.empty()) {
		return false;
	}
	// The parent of the root is the root itself.
	std::filesystem::path marker = cwd.parent_path() / "DEV";
	bool present = std::filesystem::exists(marker, ec);
	return !ec && present;
}

bool Globals::is_dev = find_developer_marker();
Ref<OpenXRInterface> Globals::xr_interface;
XROrigin3D *Globals::m_xr_origin = nullptr;
XRCamera3D *Globals::m_xr_camera = nullptr;
std::vector<Ref<XRPositionalTracker>> Globals::pos_trackers;
std::vector<Ref<XRHandTracker>> Globals::hand_trackers;
XRController3D *Globals::hand_controllers[2] = { nullptr, nullptr };
Globals::SessionStage Globals::session_stage = Globals::SESSION_NONE;
bool Globals::first_greeting_started = false;
uint64_t Globals::m_xr_origin_id = 0;
uint64_t Globals::m_xr_camera_id = 0;
uint64_t Globals::hand_controller_ids[2] = { 0, 0 };

void Globals::set_xr_origin(XROrigin3D *p_origin) {
	remember(m_xr_origin, m_xr_origin_id, p_origin);
}

void Globals::set_xr_camera(XRCamera3D *p_camera) {
	remember(m_xr_camera, m_xr_camera_id, p_camera);
}

void Globals::set_hand_controller(int p_hand, XRController3D *p_controller) {
	ERR_FAIL_INDEX_MSG(p_hand, 2, "A controller for a hand other than 0 (left) or 1 (right).");
	remember(hand_controllers[p_hand], hand_controller_ids[p_hand], p_controller);
}

XROrigin3D *Globals::get_xr_origin() {
	return live_or_forget(m_xr_origin, m_xr_origin_id, "XR origin");
}

XRCamera3D *Globals::get_xr_camera() {
	return live_or_forget(m_xr_camera, m_xr_camera_id, "XR camera");
}

XRController3D *Globals::get_hand_controller(int p_hand) {
	ERR_FAIL_INDEX_V_MSG(p_hand, 2, nullptr, "A controller for a hand other than 0 (left) or 1 (right).");
	return live_or_forget(hand_controllers[p_hand], hand_controller_ids[p_hand], p_hand == 0 ? "left controller" : "right controller");
}

void Globals::clear_scene_state() {
	remember<XROrigin3D>(m_xr_origin, m_xr_origin_id, nullptr);
	remember<XRCamera3D>(m_xr_camera, m_xr_camera_id, nullptr);
	set_hand_controller(0, nullptr);
	set_hand_controller(1, nullptr);
	pos_trackers.clear();
	pos_trackers.resize(3);
	hand_trackers.clear();
}

void Globals::cleanup() {
	stop_following_session();
	// The origin and camera are plain pointers that die with nothing; every
	// engine reference goes now, while the binding can still release it.
	xr_interface.unref();
	pos_trackers.clear();
	pos_trackers.resize(3);
	hand_trackers.clear();
	set_hand_controller(0, nullptr);
	set_hand_controller(1, nullptr);
	session_stage = SESSION_NONE;
	first_greeting_started = false;
}

bool stays_in_tree(const Node *p_node) {
	if (!p_node || !p_node->is_inside_tree()) {
		return false;
	}
	for (const Node *node = p_node; node; node = node->get_parent()) {
		if (node->is_queued_for_deletion()) {
			return false;
		}
	}
	return true;
}

std::vector<uint64_t> child_ids(Node *p_parent) {
	std::vector<uint64_t> ids;
	TypedArray<Node> children = p_parent->get_children();
	ids.reserve((size_t)children.size());
	for (int64_t i = 0; i < children.size(); i++) {
		Object *child = children[i];
		if (child) {
			ids.push_back(child->get_instance_id());
		}
	}
	return ids;
}

} // namespace godot
