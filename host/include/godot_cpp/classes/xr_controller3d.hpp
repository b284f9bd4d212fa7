#ifndef GODOT_XRCONTROLLER3D_HPP
#define GODOT_XRCONTROLLER3D_HPP

#include <godot_cpp/classes/xr_node3d.hpp>

namespace godot {

class HOST_API XRController3D : public XRNode3D {
	GDEXTENSION_CLASS(XRController3D, XRNode3D)
};

} // namespace godot

#endif // GODOT_XRCONTROLLER3D_HPP
