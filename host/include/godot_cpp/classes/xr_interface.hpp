#ifndef GODOT_XRINTERFACE_HPP
#define GODOT_XRINTERFACE_HPP

#include <godot_cpp/classes/ref_counted.hpp>

namespace godot {

class HOST_API XRInterface : public RefCounted {
	GDEXTENSION_CLASS(XRInterface, RefCounted)
};

} // namespace godot

#endif // GODOT_XRINTERFACE_HPP
