#ifndef GODOT_XRHANDTRACKER_HPP
#define GODOT_XRHANDTRACKER_HPP

#include <godot_cpp/classes/xr_positional_tracker.hpp>

namespace godot {

class HOST_API XRHandTracker : public XRPositionalTracker {
	GDEXTENSION_CLASS(XRHandTracker, XRPositionalTracker)

public:
	enum HandTrackingSource {
		HAND_TRACKING_SOURCE_UNKNOWN = 0,
		HAND_TRACKING_SOURCE_UNOBSTRUCTED = 1,
		HAND_TRACKING_SOURCE_CONTROLLER = 2,
		HAND_TRACKING_SOURCE_MAX = 3,
	};

	XRHandTracker();

	void set_has_tracking_data(bool p_has_data);
	bool get_has_tracking_data() const;
	void set_hand_tracking_source(XRHandTracker::HandTrackingSource p_source);
	XRHandTracker::HandTrackingSource get_hand_tracking_source() const;

private:
	bool _has_tracking_data = false;
	HandTrackingSource _source = HAND_TRACKING_SOURCE_UNKNOWN;
};

} // namespace godot

VARIANT_ENUM_CAST(XRHandTracker::HandTrackingSource);

#endif // GODOT_XRHANDTRACKER_HPP
