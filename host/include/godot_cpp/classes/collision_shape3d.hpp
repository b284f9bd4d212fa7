#ifndef GODOT_COLLISIONSHAPE3D_HPP
#define GODOT_COLLISIONSHAPE3D_HPP

#include <godot_cpp/classes/node3d.hpp>

namespace godot {

class HOST_API CollisionShape3D : public Node3D {
	GDEXTENSION_CLASS(CollisionShape3D, Node3D)
};

} // namespace godot

#endif // GODOT_COLLISIONSHAPE3D_HPP
