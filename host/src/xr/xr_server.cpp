// The XR server: interfaces and trackers by name, the reference frame.
#include <godot_cpp/classes/xr_interface.hpp>
#include <godot_cpp/classes/xr_server.hpp>
#include <godot_cpp/classes/xr_tracker.hpp>

#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/array.hpp>

#include <cmath>

namespace godot {

XRServer *XRServer::get_singleton() {
	static XRServer *server = memnew(XRServer);
	return server;
}

double XRServer::get_world_scale() const {
	return _world_scale;
}

void XRServer::set_world_scale(double p_scale) {
	// The engine clamps the scale to a small positive minimum.
	_world_scale = p_scale < 0.01 ? 0.01 : p_scale;
}

Transform3D XRServer::get_world_origin() const {
	return _world_origin;
}

void XRServer::set_world_origin(const Transform3D &p_world_origin) {
	_world_origin = p_world_origin;
}

Transform3D XRServer::get_reference_frame() const {
	return _reference_frame;
}

void XRServer::clear_reference_frame() {
	_reference_frame = Transform3D();
}

void XRServer::center_on_hmd(XRServer::RotationMode p_rotation_mode, bool p_keep_height) {
	_center_calls.push_back({ p_rotation_mode, p_keep_height });
	if (_primary_interface.is_null()) {
		return;
	}
	if (_primary_interface->get_play_area_mode() == XRInterface::XR_PLAY_AREA_STAGE) {
		// Not available in stage mode: the runtime owns the frame.
		_reference_frame = Transform3D();
		return;
	}
	Transform3D frame = _hmd_transform;
	if (p_rotation_mode == RESET_BUT_KEEP_TILT) {
		// Keep the heading only.
		Vector3 z = frame.basis.get_column(2);
		z.y = 0.0f;
		if (z.length_squared() > 0.0f) {
			z = z.normalized();
			Vector3 y(0.0f, 1.0f, 0.0f);
			Vector3 x = y.cross(z);
			frame.basis = Basis(x, y, z);
		} else {
			frame.basis = Basis();
		}
	} else if (p_rotation_mode == DONT_RESET_ROTATION) {
		frame.basis = Basis();
	}
	if (p_keep_height) {
		frame.origin.y = 0.0f;
	}
	_reference_frame = frame.inverse();
}

Transform3D XRServer::get_hmd_transform() {
	return _hmd_transform;
}

void XRServer::add_interface(const Ref<XRInterface> &p_interface) {
	ERR_FAIL_COND(p_interface.is_null());
	for (const Ref<XRInterface> &existing : _interfaces) {
		if (existing == p_interface) {
			ERR_PRINT("Interface was already added.");
			return;
		}
	}
	_interfaces.push_back(p_interface);
	emit_signal("interface_added", p_interface->get_name());
}

int32_t XRServer::get_interface_count() const {
	return (int32_t)_interfaces.size();
}

void XRServer::remove_interface(const Ref<XRInterface> &p_interface) {
	ERR_FAIL_COND(p_interface.is_null());
	for (size_t i = 0; i < _interfaces.size(); i++) {
		if (_interfaces[i] == p_interface) {
			if (_primary_interface == p_interface) {
				_primary_interface.unref();
			}
			StringName name = p_interface->get_name();
			_interfaces.erase(_interfaces.begin() + (long)i);
			emit_signal("interface_removed", name);
			return;
		}
	}
	ERR_PRINT("Interface not found.");
}

Ref<XRInterface> XRServer::get_interface(int32_t p_idx) const {
	ERR_FAIL_INDEX_V(p_idx, (int32_t)_interfaces.size(), Ref<XRInterface>());
	return _interfaces[(size_t)p_idx];
}

Ref<XRInterface> XRServer::find_interface(const String &p_name) const {
	for (const Ref<XRInterface> &iface : _interfaces) {
		if (String(iface->get_name()) == p_name) {
			return iface;
		}
	}
	return Ref<XRInterface>();
}

Ref<XRInterface> XRServer::get_primary_interface() const {
	return _primary_interface;
}

void XRServer::set_primary_interface(const Ref<XRInterface> &p_interface) {
	if (p_interface.is_null()) {
		_primary_interface.unref();
		return;
	}
	_primary_interface = p_interface;
}

void XRServer::add_tracker(const Ref<XRTracker> &p_tracker) {
	ERR_FAIL_COND(p_tracker.is_null());
	StringName name = p_tracker->get_tracker_name();
	if (_trackers.has(name)) {
		Ref<XRTracker> existing = _trackers[name];
		if (existing != p_tracker) {
			_trackers[name] = p_tracker;
			emit_signal("tracker_updated", name, (int64_t)p_tracker->get_tracker_type());
		}
	} else {
		_trackers[name] = p_tracker;
		emit_signal("tracker_added", name, (int64_t)p_tracker->get_tracker_type());
	}
}

void XRServer::remove_tracker(const Ref<XRTracker> &p_tracker) {
	ERR_FAIL_COND(p_tracker.is_null());
	StringName name = p_tracker->get_tracker_name();
	if (_trackers.has(name)) {
		Ref<XRTracker> existing = _trackers[name];
		if (existing == p_tracker) {
			_trackers.erase(name);
			emit_signal("tracker_removed", name, (int64_t)p_tracker->get_tracker_type());
		}
	}
}

Dictionary XRServer::get_trackers(int32_t p_tracker_types) {
	Dictionary result;
	Array keys = _trackers.keys();
	for (int64_t i = 0; i < keys.size(); i++) {
		Ref<XRTracker> tracker = _trackers[keys[i]];
		if (tracker.is_valid() && ((int32_t)tracker->get_tracker_type() & p_tracker_types) != 0) {
			result[keys[i]] = tracker;
		}
	}
	return result;
}

Ref<XRTracker> XRServer::get_tracker(const StringName &p_tracker_name) const {
	if (_trackers.has(p_tracker_name)) {
		return Ref<XRTracker>(_trackers[p_tracker_name]);
	}
	return Ref<XRTracker>();
}

void XRServer::_host_reset() {
	_primary_interface.unref();
	_interfaces.clear();
	_trackers.clear();
	_world_scale = 1.0;
	_world_origin = Transform3D();
	_reference_frame = Transform3D();
	_hmd_transform = Transform3D();
	_center_calls.clear();
}

} // namespace godot
