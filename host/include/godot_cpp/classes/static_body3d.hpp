#ifndef GODOT_STATICBODY3D_HPP
#define GODOT_STATICBODY3D_HPP

#include <godot_cpp/classes/physics_body3d.hpp>

namespace godot {

class HOST_API StaticBody3D : public PhysicsBody3D {
	GDEXTENSION_CLASS(StaticBody3D, PhysicsBody3D)

public:
	void set_constant_linear_velocity(const Vector3 &p_vel) { _constant_linear_velocity = p_vel; }
	Vector3 get_constant_linear_velocity() const { return _constant_linear_velocity; }
	void set_constant_angular_velocity(const Vector3 &p_vel) { _constant_angular_velocity = p_vel; }
	Vector3 get_constant_angular_velocity() const { return _constant_angular_velocity; }

private:
	Vector3 _constant_linear_velocity;
	Vector3 _constant_angular_velocity;
};

} // namespace godot

#endif // GODOT_STATICBODY3D_HPP
