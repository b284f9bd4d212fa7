#ifndef GODOT_PHYSICSBODY3D_HPP
#define GODOT_PHYSICSBODY3D_HPP

#include <godot_cpp/classes/collision_object3d.hpp>

namespace godot {

class HOST_API PhysicsBody3D : public CollisionObject3D {
	GDEXTENSION_CLASS(PhysicsBody3D, CollisionObject3D)
};

} // namespace godot

#endif // GODOT_PHYSICSBODY3D_HPP
