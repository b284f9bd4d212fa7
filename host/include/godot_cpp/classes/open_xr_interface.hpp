#ifndef GODOT_OPENXRINTERFACE_HPP
#define GODOT_OPENXRINTERFACE_HPP

#include <godot_cpp/classes/xr_interface.hpp>

namespace godot {

class HOST_API OpenXRInterface : public XRInterface {
	GDEXTENSION_CLASS(OpenXRInterface, XRInterface)
};

} // namespace godot

#endif // GODOT_OPENXRINTERFACE_HPP
