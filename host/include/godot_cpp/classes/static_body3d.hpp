#ifndef GODOT_STATICBODY3D_HPP
#define GODOT_STATICBODY3D_HPP

#include <godot_cpp/classes/physics_body3d.hpp>

namespace godot {

class HOST_API StaticBody3D : public PhysicsBody3D {
	GDEXTENSION_CLASS(StaticBody3D, PhysicsBody3D)
};

} // namespace godot

#endif // GODOT_STATICBODY3D_HPP
