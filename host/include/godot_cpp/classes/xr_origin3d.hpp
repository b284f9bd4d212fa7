#ifndef GODOT_XRORIGIN3D_HPP
#define GODOT_XRORIGIN3D_HPP

#include <godot_cpp/classes/node3d.hpp>

namespace godot {

class HOST_API XROrigin3D : public Node3D {
	GDEXTENSION_CLASS(XROrigin3D, Node3D)
};

} // namespace godot

#endif // GODOT_XRORIGIN3D_HPP
