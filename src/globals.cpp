#include "globals.hpp"

#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <filesystem>
#include <system_error>

namespace godot {

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
uint64_t Globals::m_xr_origin_id = 0;
uint64_t Globals::m_xr_camera_id = 0;
uint64_t Globals::hand_controller_ids[2] = { 0, 0 };

namespace {

template <typename T>
void store(T *&r_node, uint64_t &r_id, T *p_node) {
	r_node = p_node;
	r_id = p_node ? p_node->get_instance_id() : 0;
}

// The stored node while it exists. One that was freed is forgotten here, so
// it is reported once and reads as missing from then on.
template <typename T>
T *live(T *&r_node, uint64_t &r_id, const char *p_what) {
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

} // namespace

void Globals::set_xr_origin(XROrigin3D *p_origin) {
	store(m_xr_origin, m_xr_origin_id, p_origin);
}

void Globals::set_xr_camera(XRCamera3D *p_camera) {
	store(m_xr_camera, m_xr_camera_id, p_camera);
}

void Globals::set_hand_controller(int p_hand, XRController3D *p_controller) {
	ERR_FAIL_INDEX_MSG(p_hand, 2, "A controller for a hand other than 0 (left) or 1 (right).");
	store(hand_controllers[p_hand], hand_controller_ids[p_hand], p_controller);
}

XROrigin3D *Globals::get_xr_origin() {
	return live(m_xr_origin, m_xr_origin_id, "XR origin");
}

XRCamera3D *Globals::get_xr_camera() {
	return live(m_xr_camera, m_xr_camera_id, "XR camera");
}

XRController3D *Globals::get_hand_controller(int p_hand) {
	ERR_FAIL_INDEX_V_MSG(p_hand, 2, nullptr, "A controller for a hand other than 0 (left) or 1 (right).");
	return live(hand_controllers[p_hand], hand_controller_ids[p_hand], p_hand == 0 ? "left controller" : "right controller");
}

void Globals::clear_scene_state() {
	store<XROrigin3D>(m_xr_origin, m_xr_origin_id, nullptr);
	store<XRCamera3D>(m_xr_camera, m_xr_camera_id, nullptr);
	set_hand_controller(0, nullptr);
	set_hand_controller(1, nullptr);
	pos_trackers.clear();
	pos_trackers.resize(3);
	hand_trackers.clear();
}

void Globals::cleanup() {
	// The origin and camera are plain pointers that die with nothing; every
	// engine reference goes now, while the binding can still release it.
	xr_interface.unref();
	pos_trackers.clear();
	pos_trackers.resize(3);
	hand_trackers.clear();
	set_hand_controller(0, nullptr);
	set_hand_controller(1, nullptr);
}

} // namespace godot
