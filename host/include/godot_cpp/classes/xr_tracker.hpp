#ifndef GODOT_XRTRACKER_HPP
#define GODOT_XRTRACKER_HPP

#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/classes/xr_server.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>

namespace godot {

class HOST_API XRTracker : public RefCounted {
	GDEXTENSION_CLASS(XRTracker, RefCounted)

public:
	XRServer::TrackerType get_tracker_type() const;
	void set_tracker_type(XRServer::TrackerType p_type);
	StringName get_tracker_name() const;
	void set_tracker_name(const StringName &p_name);
	String get_tracker_desc() const;
	void set_tracker_desc(const String &p_description);

protected:
	XRServer::TrackerType _type = XRServer::TRACKER_UNKNOWN;
	StringName _name = "Unknown";
	String _description;
};

} // namespace godot

#endif // GODOT_XRTRACKER_HPP
