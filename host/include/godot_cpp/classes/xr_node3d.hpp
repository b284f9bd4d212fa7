#ifndef GODOT_XRNODE3D_HPP
#define GODOT_XRNODE3D_HPP

#include <godot_cpp/classes/node3d.hpp>

namespace godot {

class HOST_API XRNode3D : public Node3D {
	GDEXTENSION_CLASS(XRNode3D, Node3D)
};

} // namespace godot

#endif // GODOT_XRNODE3D_HPP
