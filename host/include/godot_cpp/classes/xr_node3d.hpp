#ifndef GODOT_XRNODE3D_HPP
#define GODOT_XRNODE3D_HPP

#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/ref.hpp>

namespace godot {

class XRPose;

class HOST_API XRNode3D : public Node3D {
	GDEXTENSION_CLASS(XRNode3D, Node3D)

public:
	XRNode3D();
	~XRNode3D() override;

	void set_tracker(const StringName &p_tracker_name) { _tracker = p_tracker_name; }
	StringName get_tracker() const { return _tracker; }
	void set_pose_name(const StringName &p_pose) { _pose_name = p_pose; }
	StringName get_pose_name() const { return _pose_name; }
	void set_show_when_tracked(bool p_show) { _show_when_tracked = p_show; }
	bool get_show_when_tracked() const { return _show_when_tracked; }
	bool get_is_active() const { return _has_tracking_data; }
	bool get_has_tracking_data() const { return _has_tracking_data; }
	Ref<XRPose> get_pose();

	// ---- engine side ----
	// The pose the engine reads from the tracker each frame; emits
	// "tracking_changed" when tracking starts or stops.
	void _host_set_pose(const Ref<XRPose> &p_pose);

private:
	StringName _tracker;
	StringName _pose_name = StringName("default");
	bool _show_when_tracked = false;
	bool _has_tracking_data = false;
	Ref<XRPose> _pose;
};

} // namespace godot

#endif // GODOT_XRNODE3D_HPP
