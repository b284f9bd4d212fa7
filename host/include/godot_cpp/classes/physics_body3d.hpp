#ifndef GODOT_PHYSICSBODY3D_HPP
#define GODOT_PHYSICSBODY3D_HPP

#include <godot_cpp/classes/collision_object3d.hpp>

namespace godot {

class HOST_API PhysicsBody3D : public CollisionObject3D {
	GDEXTENSION_CLASS(PhysicsBody3D, CollisionObject3D)

public:
	enum BodyAxis {
		BODY_AXIS_LINEAR_X = 1,
		BODY_AXIS_LINEAR_Y = 2,
		BODY_AXIS_LINEAR_Z = 4,
		BODY_AXIS_ANGULAR_X = 8,
		BODY_AXIS_ANGULAR_Y = 16,
		BODY_AXIS_ANGULAR_Z = 32,
	};
};

} // namespace godot

#endif // GODOT_PHYSICSBODY3D_HPP
