// Rigid bodies: mass, velocities, forces and impulses, and their step.
#include <godot_cpp/classes/physics_direct_body_state3d.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>

#include <godot_host/physics_world.hpp>

#include <algorithm>

namespace godot {

RigidBody3D::RigidBody3D() {
	_state = memnew(PhysicsDirectBodyState3D);
}

RigidBody3D::~RigidBody3D() {
	memdelete(_state);
}

void RigidBody3D::set_mass(float p_mass) {
	ERR_FAIL_COND(p_mass <= 0);
	_mass = p_mass;
}

float RigidBody3D::_host_inverse_inertia() const {
	// Solid sphere of radius 0.5: I = 2/5 m r^2.
	return 1.0f / (0.4f * _mass * 0.25f);
}

void RigidBody3D::apply_central_impulse(const Vector3 &p_impulse) {
	apply_impulse(p_impulse, Vector3());
}

void RigidBody3D::apply_impulse(const Vector3 &p_impulse, const Vector3 &p_position) {
	_linear_velocity += p_impulse / _mass;
	_angular_velocity += p_position.cross(p_impulse) * _host_inverse_inertia();
	_sleeping = false;
	if (_record_impulses) {
		_impulses.emplace_back(p_impulse, p_position);
	}
}

void RigidBody3D::apply_torque_impulse(const Vector3 &p_impulse) {
	_angular_velocity += p_impulse * _host_inverse_inertia();
	_sleeping = false;
}

void RigidBody3D::apply_central_force(const Vector3 &p_force) {
	_step_force += p_force;
	_sleeping = false;
}

void RigidBody3D::apply_force(const Vector3 &p_force, const Vector3 &p_position) {
	_step_force += p_force;
	_step_torque += p_position.cross(p_force);
	_sleeping = false;
}

void RigidBody3D::apply_torque(const Vector3 &p_torque) {
	_step_torque += p_torque;
	_sleeping = false;
}

void RigidBody3D::set_can_sleep(bool p_able_to_sleep) {
	_can_sleep = p_able_to_sleep;
	if (!_can_sleep) {
		_sleeping = false;
	}
}

void RigidBody3D::set_sleeping(bool p_sleeping) {
	bool sleeping = p_sleeping && _can_sleep;
	if (sleeping == _sleeping) {
		return;
	}
	_sleeping = sleeping;
	emit_signal("sleeping_state_changed");
}

int32_t RigidBody3D::get_contact_count() const {
	return _contact_monitor ? _state->get_contact_count() : 0;
}

void RigidBody3D::_host_step(float p_step) {
	if (_freeze || _sleeping) {
		return;
	}
	static const StringName integrate_forces("_integrate_forces");
	uint64_t id = get_instance_id();
	_state->_host_begin_step(this, p_step);
	godot_host::PhysicsWorld::_fill_state(this);
	if (_host_has_virtual(integrate_forces)) {
		_integrate_forces(_state);
		// The callback may have freed the body or taken it out of the world.
		if (ObjectDB::get_instance(id) != this || !_host_in_world()) {
			return;
		}
	}
	_state->_host_end_step();

	if (!_custom_integrator) {
		Vector3 accel = godot_host::PhysicsWorld::get_gravity() * _gravity_scale + (_constant_force + _step_force) / _mass;
		_linear_velocity += accel * p_step;
		_angular_velocity += (_constant_torque + _step_torque) * (_host_inverse_inertia() * p_step);
		_linear_velocity *= std::max(0.0f, 1.0f - p_step * _linear_damp);
		_angular_velocity *= std::max(0.0f, 1.0f - p_step * _angular_damp);
	}
	_step_force = Vector3();
	_step_torque = Vector3();

	Transform3D t = get_global_transform();
	t.origin += _linear_velocity * p_step;
	real_t rate = _angular_velocity.length();
	if (rate > 0.0f) {
		t.basis = Basis(_angular_velocity / rate, rate * p_step) * t.basis;
		t.basis.orthonormalize();
	}
	set_global_transform(t);
}

} // namespace godot
