#ifndef GODOT_XRPOSE_HPP
#define GODOT_XRPOSE_HPP

#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/variant/transform3d.hpp>

namespace godot {

class HOST_API XRPose : public RefCounted {
	GDEXTENSION_CLASS(XRPose, RefCounted)

public:
	enum TrackingConfidence {
		XR_TRACKING_CONFIDENCE_NONE = 0,
		XR_TRACKING_CONFIDENCE_LOW = 1,
		XR_TRACKING_CONFIDENCE_HIGH = 2,
	};

	void set_has_tracking_data(bool p_has_tracking_data) { _has_tracking_data = p_has_tracking_data; }
	bool get_has_tracking_data() const { return _has_tracking_data; }
	void set_name(const StringName &p_name) { _name = p_name; }
	StringName get_name() const { return _name; }
	void set_transform(const Transform3D &p_transform) { _transform = p_transform; }
	Transform3D get_transform() const { return _transform; }
	Transform3D get_adjusted_transform() const;
	void set_linear_velocity(const Vector3 &p_velocity) { _linear_velocity = p_velocity; }
	Vector3 get_linear_velocity() const { return _linear_velocity; }
	void set_angular_velocity(const Vector3 &p_velocity) { _angular_velocity = p_velocity; }
	Vector3 get_angular_velocity() const { return _angular_velocity; }
	void set_tracking_confidence(XRPose::TrackingConfidence p_tracking_confidence) { _tracking_confidence = p_tracking_confidence; }
	XRPose::TrackingConfidence get_tracking_confidence() const { return _tracking_confidence; }

private:
	bool _has_tracking_data = false;
	StringName _name;
	Transform3D _transform;
	Vector3 _linear_velocity;
	Vector3 _angular_velocity;
	TrackingConfidence _tracking_confidence = XR_TRACKING_CONFIDENCE_NONE;
};

} // namespace godot

#endif // GODOT_XRPOSE_HPP
