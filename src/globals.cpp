#include "globals.hpp"

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

void Globals::cleanup() {
	xr_interface.unref();
	pos_trackers.clear();
	pos_trackers.resize(3);
	hand_controllers[0] = nullptr;
	hand_controllers[1] = nullptr;
}

} // namespace godot
