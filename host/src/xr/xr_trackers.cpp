// Trackers: a name, a type, and for positional trackers their inputs.
#include <godot_cpp/classes/xr_hand_tracker.hpp>
#include <godot_cpp/classes/xr_positional_tracker.hpp>
#include <godot_cpp/classes/xr_tracker.hpp>

namespace godot {

XRServer::TrackerType XRTracker::get_tracker_type() const {
	return _type;
}

void XRTracker::set_tracker_type(XRServer::TrackerType p_type) {
	_type = p_type;
}

StringName XRTracker::get_tracker_name() const {
	return _name;
}

void XRTracker::set_tracker_name(const StringName &p_name) {
	_name = p_name;
}

String XRTracker::get_tracker_desc() const {
	return _description;
}

void XRTracker::set_tracker_desc(const String &p_description) {
	_description = p_description;
}

XRPositionalTracker::XRPositionalTracker() {
	_type = XRServer::TRACKER_CONTROLLER;
}

String XRPositionalTracker::get_tracker_profile() const {
	return _profile;
}

void XRPositionalTracker::set_tracker_profile(const String &p_profile) {
	if (_profile != p_profile) {
		_profile = p_profile;
		emit_signal("profile_changed", _profile);
	}
}

XRPositionalTracker::TrackerHand XRPositionalTracker::get_tracker_hand() const {
	return _hand;
}

void XRPositionalTracker::set_tracker_hand(XRPositionalTracker::TrackerHand p_hand) {
	if (p_hand >= TRACKER_HAND_UNKNOWN && p_hand < TRACKER_HAND_MAX) {
		_hand = p_hand;
	}
}

Variant XRPositionalTracker::get_input(const StringName &p_name) const {
	if (_inputs.has(p_name)) {
		return _inputs[p_name];
	}
	return Variant();
}

void XRPositionalTracker::set_input(const StringName &p_name, const Variant &p_value) {
	_inputs[p_name] = p_value;
}

XRHandTracker::XRHandTracker() {
	_type = XRServer::TRACKER_HAND;
}

void XRHandTracker::set_has_tracking_data(bool p_has_data) {
	_has_tracking_data = p_has_data;
}

bool XRHandTracker::get_has_tracking_data() const {
	return _has_tracking_data;
}

void XRHandTracker::set_hand_tracking_source(XRHandTracker::HandTrackingSource p_source) {
	_source = p_source;
}

XRHandTracker::HandTrackingSource XRHandTracker::get_hand_tracking_source() const {
	return _source;
}

} // namespace godot
