// Registration of the XR classes.
#include <godot_cpp/classes/open_xr_interface.hpp>
#include <godot_cpp/classes/xr_camera3d.hpp>
#include <godot_cpp/classes/xr_controller3d.hpp>
#include <godot_cpp/classes/xr_hand_tracker.hpp>
#include <godot_cpp/classes/xr_interface.hpp>
#include <godot_cpp/classes/xr_node3d.hpp>
#include <godot_cpp/classes/xr_origin3d.hpp>
#include <godot_cpp/classes/xr_positional_tracker.hpp>
#include <godot_cpp/classes/xr_server.hpp>
#include <godot_cpp/classes/xr_tracker.hpp>

namespace godot {

GDHOST_REGISTER_ABSTRACT_ENGINE_CLASS(XRServer, "reference_frame_changed", "interface_added", "interface_removed", "tracker_added", "tracker_updated", "tracker_removed");
GDHOST_REGISTER_ABSTRACT_ENGINE_CLASS(XRInterface, "play_area_changed");
GDHOST_REGISTER_ENGINE_CLASS(OpenXRInterface, "session_begun", "session_stopping", "session_focussed", "session_visible", "session_loss_pending", "instance_exiting", "pose_recentered", "refresh_rate_changed");
GDHOST_REGISTER_ABSTRACT_ENGINE_CLASS(XRTracker);
GDHOST_REGISTER_ENGINE_CLASS(XRPositionalTracker, "pose_changed", "pose_lost_tracking", "button_pressed", "button_released", "input_float_changed", "input_vector2_changed", "profile_changed");
GDHOST_REGISTER_ENGINE_CLASS(XRHandTracker);
GDHOST_REGISTER_ENGINE_CLASS(XRNode3D, "tracking_changed");
GDHOST_REGISTER_ENGINE_CLASS(XRController3D, "button_pressed", "button_released", "input_float_changed", "input_vector2_changed", "profile_changed");
GDHOST_REGISTER_ENGINE_CLASS(XROrigin3D);
GDHOST_REGISTER_ENGINE_CLASS(XRCamera3D);

} // namespace godot
