#ifndef GODOT_XRHANDTRACKER_HPP
#define GODOT_XRHANDTRACKER_HPP

#include <godot_cpp/classes/xr_positional_tracker.hpp>

namespace godot {

class HOST_API XRHandTracker : public XRPositionalTracker {
	GDEXTENSION_CLASS(XRHandTracker, XRPositionalTracker)
};

} // namespace godot

#endif // GODOT_XRHANDTRACKER_HPP
