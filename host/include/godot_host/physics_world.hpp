#ifndef GODOT_HOST_PHYSICS_WORLD_HPP
#define GODOT_HOST_PHYSICS_WORLD_HPP

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/variant/vector3.hpp>

namespace godot {
class CollisionObject3D;
class Object;
class RigidBody3D;
} // namespace godot

namespace godot_host {

// The physics server's part of a physics step. There is no collision
// detection: tests and the runner say which shapes touch, and the world
// delivers that as the engine would.
class HOST_API PhysicsWorld {
public:
	// Emits the contact signals that the step's contacts cause.
	static void deliver_contact_signals();
	// Integrates every active body, calling its force integration.
	static void step_bodies(double p_delta);

	// A contact that a rigid body's state reports to its force integration
	// in every step from now on, until removed (while the body monitors
	// contacts, up to its maximum). A null collider is reported as such; a
	// collider that is freed or leaves the world is left out.
	struct Contact {
		int32_t local_shape = 0;
		godot::Object *collider = nullptr;
		int32_t collider_shape = 0;
		godot::Vector3 local_normal;
		godot::Vector3 local_position; // in global coordinates, as the engine reports it
		godot::Vector3 impulse;
	};
	static void add_contact(godot::RigidBody3D *p_body, const Contact &p_contact);
	static void clear_contacts(godot::RigidBody3D *p_body);
	static int contact_count(godot::RigidBody3D *p_body);

	// Two shapes start or stop touching. At the next step's delivery each
	// side that is a rigid body monitoring contacts gets "body_shape_entered"
	// / "body_shape_exited" (other body's RID, the other body, its shape
	// index, its own shape index), preceded by "body_entered" / "body_exited"
	// on its first and last shape pair of that body. A body that a receiver
	// frees hears, and causes, nothing more. Pairs end by themselves,
	// with the signals, when one side leaves the world; a side that leaves
	// the tree ends them at once, as the engine does.
	static void begin_shape_contact(godot::CollisionObject3D *p_body, godot::CollisionObject3D *p_other, int32_t p_other_shape, int32_t p_local_shape);
	static void end_shape_contact(godot::CollisionObject3D *p_body, godot::CollisionObject3D *p_other, int32_t p_other_shape, int32_t p_local_shape);
	static int active_shape_pairs(godot::CollisionObject3D *p_body);

	static void set_gravity(const godot::Vector3 &p_gravity);
	static godot::Vector3 get_gravity();
	// Drops every contact, pair and pending event and restores the gravity.
	static void reset();

	// ---- engine side ----
	// Entries kept for bodies in the tree, their contacts and touching
	// pairs, and events not yet delivered.
	static size_t _host_record_count();
	static void _body_entered_tree(godot::CollisionObject3D *p_body);
	static void _body_exiting_tree(godot::CollisionObject3D *p_body);
	// A body's shape index went away: later indexes move down by one.
	static void _shape_index_removed(godot::CollisionObject3D *p_body, int32_t p_index);
	// Fills the state with the contacts of this step.
	static void _fill_state(godot::RigidBody3D *p_body);
};

} // namespace godot_host

#endif // GODOT_HOST_PHYSICS_WORLD_HPP
