// XR interfaces as the engine offers them; the host decides whether a
// runtime is present.
#include <godot_cpp/classes/open_xr_interface.hpp>
#include <godot_cpp/classes/xr_interface.hpp>
#include <godot_cpp/classes/xr_server.hpp>

#include <godot_cpp/core/error_macros.hpp>

namespace godot {

StringName XRInterface::get_name() const {
	return _name;
}

uint32_t XRInterface::get_capabilities() const {
	return 0;
}

bool XRInterface::is_primary() {
	Ref<XRInterface> primary = XRServer::get_singleton()->get_primary_interface();
	return primary.ptr() == this;
}

void XRInterface::set_primary(bool p_primary) {
	XRServer *server = XRServer::get_singleton();
	if (p_primary) {
		ERR_FAIL_COND(!_initialized);
		server->set_primary_interface(Ref<XRInterface>(this));
	} else if (is_primary()) {
		server->set_primary_interface(Ref<XRInterface>());
	}
}

bool XRInterface::is_initialized() const {
	return _initialized;
}

bool XRInterface::initialize() {
	if (!_initialized && _can_initialize) {
		_initialized = true;
	}
	return _initialized;
}

void XRInterface::uninitialize() {
	_initialized = false;
}

XRInterface::PlayAreaMode XRInterface::get_play_area_mode() const {
	return _play_area_mode;
}

OpenXRInterface::OpenXRInterface() {
	_name = "OpenXR";
}

float OpenXRInterface::get_display_refresh_rate() const {
	return _refresh_rate;
}

void OpenXRInterface::set_display_refresh_rate(float p_refresh_rate) {
	if (!_available_rates.is_empty()) {
		bool offered = false;
		for (int64_t i = 0; i < _available_rates.size(); i++) {
			if ((float)(double)_available_rates[i] == p_refresh_rate) {
				offered = true;
			}
		}
		ERR_FAIL_COND_MSG(!offered, "Refresh rate not supported by the runtime.");
	}
	_refresh_rate = p_refresh_rate;
}

Array OpenXRInterface::get_available_display_refresh_rates() const {
	return _available_rates;
}

bool OpenXRInterface::is_hand_tracking_supported() {
	return _hand_tracking_supported;
}

} // namespace godot
