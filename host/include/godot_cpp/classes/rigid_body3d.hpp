#ifndef GODOT_RIGIDBODY3D_HPP
#define GODOT_RIGIDBODY3D_HPP

#include <godot_cpp/classes/physics_body3d.hpp>
#include <godot_cpp/classes/physics_direct_body_state3d.hpp>

namespace godot {

class HOST_API RigidBody3D : public PhysicsBody3D {
	GDEXTENSION_CLASS(RigidBody3D, PhysicsBody3D)

public:
	virtual void _integrate_forces(PhysicsDirectBodyState3D *) {}

protected:
	template <typename T, typename B>
	static void register_virtuals() {
		PhysicsBody3D::register_virtuals<T, B>();
		GDHOST_BIND_VIRTUAL(RigidBody3D, _integrate_forces);
	}
};

} // namespace godot

#endif // GODOT_RIGIDBODY3D_HPP
