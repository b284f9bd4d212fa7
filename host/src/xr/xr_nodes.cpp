// XR nodes: controllers and their inputs, and poses.
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/classes/xr_controller3d.hpp>
#include <godot_cpp/classes/xr_node3d.hpp>
#include <godot_cpp/classes/xr_pose.hpp>
#include <godot_cpp/classes/xr_positional_tracker.hpp>

namespace godot {

Transform3D XRPose::get_adjusted_transform() const {
	// No world scale or reference frame here: the pose as tracked.
	return _transform;
}

XRNode3D::XRNode3D() = default;

XRNode3D::~XRNode3D() = default;

Ref<XRPose> XRNode3D::get_pose() {
	return _pose;
}

void XRNode3D::_host_set_pose(const Ref<XRPose> &p_pose) {
	_pose = p_pose;
	bool tracking = p_pose.is_valid() && p_pose->get_has_tracking_data();
	if (p_pose.is_valid()) {
		set_transform(p_pose->get_adjusted_transform());
	}
	if (tracking != _has_tracking_data) {
		_has_tracking_data = tracking;
		emit_signal("tracking_changed", tracking);
	}
}

void XRController3D::_store(const StringName &p_name, const Variant &p_value) {
	for (auto &input : _inputs) {
		if (input.first == p_name) {
			input.second = p_value;
			return;
		}
	}
	_inputs.emplace_back(p_name, p_value);
}

bool XRController3D::is_button_pressed(const StringName &p_name) const {
	Variant v = get_input(p_name);
	return v.get_type() == Variant::BOOL && (bool)v;
}

Variant XRController3D::get_input(const StringName &p_name) const {
	for (const auto &input : _inputs) {
		if (input.first == p_name) {
			return input.second;
		}
	}
	return Variant();
}

float XRController3D::get_float(const StringName &p_name) const {
	Variant v = get_input(p_name);
	switch (v.get_type()) {
		case Variant::FLOAT:
			return (float)v;
		case Variant::BOOL:
			return (bool)v ? 1.0f : 0.0f;
		default:
			return 0.0f;
	}
}

Vector2 XRController3D::get_vector2(const StringName &p_name) const {
	Variant v = get_input(p_name);
	return v.get_type() == Variant::VECTOR2 ? (Vector2)v : Vector2();
}

void XRController3D::_host_press_button(const String &p_name) {
	_store(StringName(p_name), true);
	emit_signal("button_pressed", p_name);
}

void XRController3D::_host_release_button(const String &p_name) {
	_store(StringName(p_name), false);
	emit_signal("button_released", p_name);
}

void XRController3D::_host_set_float(const String &p_name, float p_value) {
	_store(StringName(p_name), (double)p_value);
	emit_signal("input_float_changed", p_name, (double)p_value);
}

void XRController3D::_host_set_vector2(const String &p_name, const Vector2 &p_value) {
	_store(StringName(p_name), p_value);
	emit_signal("input_vector2_changed", p_name, p_value);
}

void XRController3D::_host_change_profile(const String &p_role) {
	emit_signal("profile_changed", p_role);
}

// ---- XRPositionalTracker poses ----

bool XRPositionalTracker::has_pose(const StringName &p_name) const {
	return get_pose(p_name).is_valid();
}

Ref<XRPose> XRPositionalTracker::get_pose(const StringName &p_name) const {
	for (const Ref<XRPose> &pose : _poses) {
		if (pose->get_name() == p_name) {
			return pose;
		}
	}
	return Ref<XRPose>();
}

void XRPositionalTracker::invalidate_pose(const StringName &p_name) {
	Ref<XRPose> pose = get_pose(p_name);
	if (pose.is_valid() && pose->get_has_tracking_data()) {
		pose->set_has_tracking_data(false);
		emit_signal("pose_lost_tracking", pose);
	}
}

void XRPositionalTracker::set_pose(const StringName &p_name, const Transform3D &p_transform, const Vector3 &p_linear_velocity, const Vector3 &p_angular_velocity, XRPose::TrackingConfidence p_tracking_confidence) {
	Ref<XRPose> pose = get_pose(p_name);
	if (pose.is_null()) {
		pose.instantiate();
		pose->set_name(p_name);
		_poses.push_back(pose);
	}
	pose->set_has_tracking_data(true);
	pose->set_transform(p_transform);
	pose->set_linear_velocity(p_linear_velocity);
	pose->set_angular_velocity(p_angular_velocity);
	pose->set_tracking_confidence(p_tracking_confidence);
	emit_signal("pose_changed", pose);
}

GDHOST_REGISTER_ENGINE_CLASS(XRPose);

} // namespace godot
