#ifndef GODOT_COLLISIONOBJECT3D_HPP
#define GODOT_COLLISIONOBJECT3D_HPP

#include <godot_cpp/classes/node3d.hpp>

namespace godot {

class HOST_API CollisionObject3D : public Node3D {
	GDEXTENSION_CLASS(CollisionObject3D, Node3D)
};

} // namespace godot

#endif // GODOT_COLLISIONOBJECT3D_HPP
