#ifndef MOSSGLIMMER_GLOBALS_HPP
#define MOSSGLIMMER_GLOBALS_HPP

#include <godot_cpp/classes/open_xr_interface.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/xr_camera3d.hpp>
#include <godot_cpp/classes/xr_controller3d.hpp>
#include <godot_cpp/classes/xr_hand_tracker.hpp>
#include <godot_cpp/classes/xr_origin3d.hpp>
#include <godot_cpp/classes/xr_positional_tracker.hpp>

#include <vector>

namespace godot {

// XR state shared by the manager, the player and the greeting sequences.
// Hand-indexed members use 0 for the left hand and 1 for the right.
class Globals {
public:
	static bool is_dev;
	static Ref<OpenXRInterface> xr_interface;
	static XROrigin3D *m_xr_origin;
	static XRCamera3D *m_xr_camera;
	static std::vector<Ref<XRPositionalTracker>> pos_trackers; // left hand, right hand, head
	static std::vector<Ref<XRHandTracker>> hand_trackers; // left, right
	static XRController3D *hand_controllers[2];

	static void cleanup();
};

// Whether an entry named "DEV" exists next to the working directory; false
// when the working directory or the entry's status can't be read.
bool find_developer_marker();

} // namespace godot

#endif // MOSSGLIMMER_GLOBALS_HPP
