#ifndef GODOT_XRSERVER_HPP
#define GODOT_XRSERVER_HPP

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/core/binder_common.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_host/bounded_record.hpp>

#include <vector>

namespace godot {

class XRInterface;
class XRTracker;

class HOST_API XRServer : public Object {
	GDEXTENSION_CLASS(XRServer, Object)

public:
	enum TrackerType {
		TRACKER_HEAD = 1,
		TRACKER_CONTROLLER = 2,
		TRACKER_BASESTATION = 4,
		TRACKER_ANCHOR = 8,
		TRACKER_HAND = 16,
		TRACKER_BODY = 32,
		TRACKER_FACE = 64,
		TRACKER_ANY_KNOWN = 127,
		TRACKER_UNKNOWN = 128,
		TRACKER_ANY = 255,
	};

	enum RotationMode {
		RESET_FULL_ROTATION = 0,
		RESET_BUT_KEEP_TILT = 1,
		DONT_RESET_ROTATION = 2,
	};

	static XRServer *get_singleton();

	double get_world_scale() const;
	void set_world_scale(double p_scale);
	Transform3D get_world_origin() const;
	void set_world_origin(const Transform3D &p_world_origin);
	Transform3D get_reference_frame() const;
	void clear_reference_frame();
	void center_on_hmd(XRServer::RotationMode p_rotation_mode, bool p_keep_height);
	Transform3D get_hmd_transform();

	void add_interface(const Ref<XRInterface> &p_interface);
	int32_t get_interface_count() const;
	void remove_interface(const Ref<XRInterface> &p_interface);
	Ref<XRInterface> get_interface(int32_t p_idx) const;
	Ref<XRInterface> find_interface(const String &p_name) const;
	Ref<XRInterface> get_primary_interface() const;
	void set_primary_interface(const Ref<XRInterface> &p_interface);

	void add_tracker(const Ref<XRTracker> &p_tracker);
	void remove_tracker(const Ref<XRTracker> &p_tracker);
	Dictionary get_trackers(int32_t p_tracker_types);
	Ref<XRTracker> get_tracker(const StringName &p_tracker_name) const;

	// ---- engine side ----
	struct CenterCall {
		RotationMode rotation_mode = RESET_FULL_ROTATION;
		bool keep_height = false;
	};
	// The recent center_on_hmd calls since the last reset (at least the last
	// 512), in order, and how many there were in all.
	const std::vector<CenterCall> &_host_center_calls() const { return _center_calls.recent(); }
	uint64_t _host_center_call_count() const { return _center_calls.total(); }
	// The headset pose that the runtime reports (identity until set).
	void _host_set_hmd_transform(const Transform3D &p_transform) { _hmd_transform = p_transform; }
	// Drops every interface and tracker and restores the defaults.
	void _host_reset();

private:
	std::vector<Ref<XRInterface>> _interfaces;
	Ref<XRInterface> _primary_interface;
	Dictionary _trackers;
	double _world_scale = 1.0;
	Transform3D _world_origin;
	Transform3D _reference_frame;
	Transform3D _hmd_transform;
	godot_host::BoundedRecord<CenterCall> _center_calls{ 1024 };
};

} // namespace godot

VARIANT_ENUM_CAST(XRServer::TrackerType);
VARIANT_ENUM_CAST(XRServer::RotationMode);

#endif // GODOT_XRSERVER_HPP
