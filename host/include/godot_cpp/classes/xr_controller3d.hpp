#ifndef GODOT_XRCONTROLLER3D_HPP
#define GODOT_XRCONTROLLER3D_HPP

#include <godot_cpp/classes/xr_node3d.hpp>
#include <godot_cpp/classes/xr_positional_tracker.hpp>
#include <godot_cpp/variant/vector2.hpp>

#include <utility>
#include <vector>

namespace godot {

class HOST_API XRController3D : public XRNode3D {
	GDEXTENSION_CLASS(XRController3D, XRNode3D)

public:
	bool is_button_pressed(const StringName &p_name) const;
	Variant get_input(const StringName &p_name) const;
	float get_float(const StringName &p_name) const;
	Vector2 get_vector2(const StringName &p_name) const;
	XRPositionalTracker::TrackerHand get_tracker_hand() const { return _tracker_hand; }

	// ---- engine side ----
	// The controller's inputs as the engine forwards them from its tracker:
	// each stores the value and emits the controller's signal.
	void _host_set_tracker_hand(XRPositionalTracker::TrackerHand p_hand) { _tracker_hand = p_hand; }
	void _host_press_button(const String &p_name);
	void _host_release_button(const String &p_name);
	void _host_set_float(const String &p_name, float p_value);
	void _host_set_vector2(const String &p_name, const Vector2 &p_value);
	void _host_change_profile(const String &p_role);

private:
	std::vector<std::pair<StringName, Variant>> _inputs;
	XRPositionalTracker::TrackerHand _tracker_hand = XRPositionalTracker::TRACKER_HAND_UNKNOWN;

	void _store(const StringName &p_name, const Variant &p_value);
};

} // namespace godot

#endif // GODOT_XRCONTROLLER3D_HPP
