#ifndef GODOT_XRPOSITIONALTRACKER_HPP
#define GODOT_XRPOSITIONALTRACKER_HPP

#include <godot_cpp/classes/xr_tracker.hpp>

namespace godot {

class HOST_API XRPositionalTracker : public XRTracker {
	GDEXTENSION_CLASS(XRPositionalTracker, XRTracker)
};

} // namespace godot

#endif // GODOT_XRPOSITIONALTRACKER_HPP
