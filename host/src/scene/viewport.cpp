#include <godot_cpp/classes/viewport.hpp>
#include <godot_cpp/classes/window.hpp>

namespace godot {

void Viewport::set_use_xr(bool p_use) {
	_use_xr = p_use;
}

bool Viewport::is_using_xr() {
	return _use_xr;
}

void Viewport::set_vrs_mode(Viewport::VRSMode p_mode) {
	_vrs_mode = p_mode;
}

Viewport::VRSMode Viewport::get_vrs_mode() const {
	return _vrs_mode;
}

GDHOST_REGISTER_ABSTRACT_ENGINE_CLASS(Viewport, "size_changed");
GDHOST_REGISTER_ENGINE_CLASS(Window, "close_requested");

} // namespace godot
