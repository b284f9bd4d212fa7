#ifndef GODOT_CAMERA3D_HPP
#define GODOT_CAMERA3D_HPP

#include <godot_cpp/classes/node3d.hpp>

namespace godot {

class HOST_API Camera3D : public Node3D {
	GDEXTENSION_CLASS(Camera3D, Node3D)
};

} // namespace godot

#endif // GODOT_CAMERA3D_HPP
