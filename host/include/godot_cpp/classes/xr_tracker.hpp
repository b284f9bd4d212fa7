#ifndef GODOT_XRTRACKER_HPP
#define GODOT_XRTRACKER_HPP

#include <godot_cpp/classes/ref_counted.hpp>

namespace godot {

class HOST_API XRTracker : public RefCounted {
	GDEXTENSION_CLASS(XRTracker, RefCounted)
};

} // namespace godot

#endif // GODOT_XRTRACKER_HPP
