#include <godot_host/physics_world.hpp>

namespace godot_host {

void PhysicsWorld::deliver_contact_signals() {
}

void PhysicsWorld::step_bodies(double) {
}

} // namespace godot_host
