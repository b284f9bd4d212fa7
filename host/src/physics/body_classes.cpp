// Registration of the physics node classes.
#include <godot_cpp/classes/collision_object3d.hpp>
#include <godot_cpp/classes/collision_shape3d.hpp>
#include <godot_cpp/classes/physics_body3d.hpp>
#include <godot_cpp/classes/physics_direct_body_state3d.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/static_body3d.hpp>

namespace godot {

GDHOST_REGISTER_ABSTRACT_ENGINE_CLASS(CollisionObject3D, "input_event", "mouse_entered", "mouse_exited");
GDHOST_REGISTER_ABSTRACT_ENGINE_CLASS(PhysicsBody3D);
GDHOST_REGISTER_ENGINE_CLASS(RigidBody3D, "body_shape_entered", "body_shape_exited", "body_entered", "body_exited", "sleeping_state_changed");
GDHOST_REGISTER_ENGINE_CLASS(StaticBody3D);
GDHOST_REGISTER_ENGINE_CLASS(CollisionShape3D);
GDHOST_REGISTER_ABSTRACT_ENGINE_CLASS(PhysicsDirectBodyState3D);

} // namespace godot
