#ifndef GODOT_RIGIDBODY3D_HPP
#define GODOT_RIGIDBODY3D_HPP

#include <godot_cpp/classes/physics_body3d.hpp>

#include <utility>
#include <vector>

namespace godot {

class PhysicsDirectBodyState3D;

class HOST_API RigidBody3D : public PhysicsBody3D {
	GDEXTENSION_CLASS(RigidBody3D, PhysicsBody3D)

public:
	enum FreezeMode {
		FREEZE_MODE_STATIC = 0,
		FREEZE_MODE_KINEMATIC = 1,
	};

	RigidBody3D();
	~RigidBody3D() override;

	virtual void _integrate_forces(PhysicsDirectBodyState3D *) {}

	void set_mass(float p_mass);
	float get_mass() const { return _mass; }
	void set_gravity_scale(float p_gravity_scale) { _gravity_scale = p_gravity_scale; }
	float get_gravity_scale() const { return _gravity_scale; }
	void set_linear_damp(float p_linear_damp) { _linear_damp = p_linear_damp; }
	float get_linear_damp() const { return _linear_damp; }
	void set_angular_damp(float p_angular_damp) { _angular_damp = p_angular_damp; }
	float get_angular_damp() const { return _angular_damp; }

	void set_linear_velocity(const Vector3 &p_linear_velocity) { _linear_velocity = p_linear_velocity; }
	Vector3 get_linear_velocity() const { return _linear_velocity; }
	void set_angular_velocity(const Vector3 &p_angular_velocity) { _angular_velocity = p_angular_velocity; }
	Vector3 get_angular_velocity() const { return _angular_velocity; }

	void set_constant_force(const Vector3 &p_force) { _constant_force = p_force; }
	Vector3 get_constant_force() const { return _constant_force; }
	void set_constant_torque(const Vector3 &p_torque) { _constant_torque = p_torque; }
	Vector3 get_constant_torque() const { return _constant_torque; }
	void add_constant_central_force(const Vector3 &p_force) { _constant_force += p_force; }
	void add_constant_torque(const Vector3 &p_torque) { _constant_torque += p_torque; }

	void apply_central_impulse(const Vector3 &p_impulse);
	void apply_impulse(const Vector3 &p_impulse, const Vector3 &p_position = Vector3(0, 0, 0));
	void apply_torque_impulse(const Vector3 &p_impulse);
	void apply_central_force(const Vector3 &p_force);
	void apply_force(const Vector3 &p_force, const Vector3 &p_position = Vector3(0, 0, 0));
	void apply_torque(const Vector3 &p_torque);

	void set_can_sleep(bool p_able_to_sleep);
	bool is_able_to_sleep() const { return _can_sleep; }
	void set_sleeping(bool p_sleeping);
	bool is_sleeping() const { return _sleeping; }

	void set_contact_monitor(bool p_enabled) { _contact_monitor = p_enabled; }
	bool is_contact_monitor_enabled() const { return _contact_monitor; }
	void set_max_contacts_reported(int32_t p_amount) { _max_contacts_reported = p_amount; }
	int32_t get_max_contacts_reported() const { return _max_contacts_reported; }
	int32_t get_contact_count() const;

	void set_freeze_enabled(bool p_freeze_mode) { _freeze = p_freeze_mode; }
	bool is_freeze_enabled() const { return _freeze; }
	void set_freeze_mode(RigidBody3D::FreezeMode p_freeze_mode) { _freeze_mode = p_freeze_mode; }
	RigidBody3D::FreezeMode get_freeze_mode() const { return _freeze_mode; }
	void set_use_custom_integrator(bool p_enable) { _custom_integrator = p_enable; }
	bool is_using_custom_integrator() { return _custom_integrator; }

	// ---- engine side ----
	// One physics step: the force integration callback, then the velocities
	// carried into the transform.
	void _host_step(float p_step);
	PhysicsDirectBodyState3D *_host_state() const { return _state; }
	// The inverse inertia about each axis: the engine derives it from the
	// shapes; here every body counts as a solid sphere of radius 0.5.
	float _host_inverse_inertia() const;
	// Impulses (impulse, position) applied since the last clear, when recording.
	void _host_set_record_impulses(bool p_record) { _record_impulses = p_record; }
	const std::vector<std::pair<Vector3, Vector3>> &_host_impulses() const { return _impulses; }
	void _host_clear_impulses() { _impulses.clear(); }

protected:
	template <typename T, typename B>
	static void register_virtuals() {
		PhysicsBody3D::register_virtuals<T, B>();
		GDHOST_BIND_VIRTUAL(RigidBody3D, _integrate_forces);
	}

private:
	float _mass = 1.0f;
	float _gravity_scale = 1.0f;
	float _linear_damp = 0.0f;
	float _angular_damp = 0.0f;
	Vector3 _linear_velocity;
	Vector3 _angular_velocity;
	Vector3 _constant_force;
	Vector3 _constant_torque;
	Vector3 _step_force;
	Vector3 _step_torque;
	bool _can_sleep = true;
	bool _sleeping = false;
	bool _contact_monitor = false;
	int32_t _max_contacts_reported = 0;
	bool _freeze = false;
	FreezeMode _freeze_mode = FREEZE_MODE_STATIC;
	bool _custom_integrator = false;
	bool _record_impulses = false;
	std::vector<std::pair<Vector3, Vector3>> _impulses;
	PhysicsDirectBodyState3D *_state = nullptr;
};

} // namespace godot

#endif // GODOT_RIGIDBODY3D_HPP
