#ifndef GODOT_XRPOSITIONALTRACKER_HPP
#define GODOT_XRPOSITIONALTRACKER_HPP

#include <godot_cpp/classes/xr_pose.hpp>
#include <godot_cpp/classes/xr_tracker.hpp>
#include <godot_cpp/core/binder_common.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <vector>

namespace godot {

class HOST_API XRPositionalTracker : public XRTracker {
	GDEXTENSION_CLASS(XRPositionalTracker, XRTracker)

public:
	enum TrackerHand {
		TRACKER_HAND_UNKNOWN = 0,
		TRACKER_HAND_LEFT = 1,
		TRACKER_HAND_RIGHT = 2,
		TRACKER_HAND_MAX = 3,
	};

	XRPositionalTracker();

	String get_tracker_profile() const;
	void set_tracker_profile(const String &p_profile);
	XRPositionalTracker::TrackerHand get_tracker_hand() const;
	void set_tracker_hand(XRPositionalTracker::TrackerHand p_hand);
	Variant get_input(const StringName &p_name) const;
	void set_input(const StringName &p_name, const Variant &p_value);
	bool has_pose(const StringName &p_name) const;
	Ref<XRPose> get_pose(const StringName &p_name) const;
	void invalidate_pose(const StringName &p_name);
	void set_pose(const StringName &p_name, const Transform3D &p_transform, const Vector3 &p_linear_velocity, const Vector3 &p_angular_velocity, XRPose::TrackingConfidence p_tracking_confidence);

protected:
	String _profile;
	TrackerHand _hand = TRACKER_HAND_UNKNOWN;
	Dictionary _inputs;

private:
	std::vector<Ref<XRPose>> _poses;
};

} // namespace godot

VARIANT_ENUM_CAST(XRPositionalTracker::TrackerHand);

#endif // GODOT_XRPOSITIONALTRACKER_HPP
