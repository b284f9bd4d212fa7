#ifndef GODOT_HOST_PHYSICS_WORLD_HPP
#define GODOT_HOST_PHYSICS_WORLD_HPP

#include <godot_cpp/core/defs.hpp>

namespace godot_host {

// The physics server's part of a physics step.
class HOST_API PhysicsWorld {
public:
	// Emits the contact signals that the step's contacts cause.
	static void deliver_contact_signals();
	// Integrates every active body, calling its force integration.
	static void step_bodies(double p_delta);
};

} // namespace godot_host

#endif // GODOT_HOST_PHYSICS_WORLD_HPP
