// A rigid body's state during its step, with the step's contacts.
#include <godot_cpp/classes/physics_direct_body_state3d.hpp>

#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_host/physics_world.hpp>

namespace godot {

void PhysicsDirectBodyState3D::_host_begin_step(RigidBody3D *p_body, float p_step) {
	_body = p_body;
	_step = p_step;
	_contacts.clear();
}

void PhysicsDirectBodyState3D::_host_end_step() {
}

float PhysicsDirectBodyState3D::get_inverse_mass() const {
	ERR_FAIL_NULL_V(_body, 0.0f);
	return 1.0f / _body->get_mass();
}

Vector3 PhysicsDirectBodyState3D::get_total_gravity() const {
	ERR_FAIL_NULL_V(_body, Vector3());
	return godot_host::PhysicsWorld::get_gravity() * _body->get_gravity_scale();
}

Vector3 PhysicsDirectBodyState3D::get_linear_velocity() const {
	ERR_FAIL_NULL_V(_body, Vector3());
	return _body->get_linear_velocity();
}

void PhysicsDirectBodyState3D::set_linear_velocity(const Vector3 &p_velocity) {
	ERR_FAIL_NULL(_body);
	_body->set_linear_velocity(p_velocity);
}

Vector3 PhysicsDirectBodyState3D::get_angular_velocity() const {
	ERR_FAIL_NULL_V(_body, Vector3());
	return _body->get_angular_velocity();
}

void PhysicsDirectBodyState3D::set_angular_velocity(const Vector3 &p_velocity) {
	ERR_FAIL_NULL(_body);
	_body->set_angular_velocity(p_velocity);
}

Transform3D PhysicsDirectBodyState3D::get_transform() const {
	ERR_FAIL_NULL_V(_body, Transform3D());
	return _body->get_global_transform();
}

void PhysicsDirectBodyState3D::set_transform(const Transform3D &p_transform) {
	ERR_FAIL_NULL(_body);
	_body->set_global_transform(p_transform);
}

void PhysicsDirectBodyState3D::apply_central_impulse(const Vector3 &p_impulse) {
	ERR_FAIL_NULL(_body);
	_body->apply_central_impulse(p_impulse);
}

void PhysicsDirectBodyState3D::apply_impulse(const Vector3 &p_impulse, const Vector3 &p_position) {
	ERR_FAIL_NULL(_body);
	_body->apply_impulse(p_impulse, p_position);
}

void PhysicsDirectBodyState3D::set_sleep_state(bool p_enabled) {
	ERR_FAIL_NULL(_body);
	_body->set_sleeping(p_enabled);
}

bool PhysicsDirectBodyState3D::is_sleeping() const {
	ERR_FAIL_NULL_V(_body, false);
	return _body->is_sleeping();
}

Vector3 PhysicsDirectBodyState3D::get_contact_local_position(int32_t p_contact_idx) const {
	ERR_FAIL_INDEX_V(p_contact_idx, (int32_t)_contacts.size(), Vector3());
	return _contacts[(size_t)p_contact_idx].local_position;
}

Vector3 PhysicsDirectBodyState3D::get_contact_local_normal(int32_t p_contact_idx) const {
	ERR_FAIL_INDEX_V(p_contact_idx, (int32_t)_contacts.size(), Vector3());
	return _contacts[(size_t)p_contact_idx].local_normal;
}

Vector3 PhysicsDirectBodyState3D::get_contact_impulse(int32_t p_contact_idx) const {
	ERR_FAIL_INDEX_V(p_contact_idx, (int32_t)_contacts.size(), Vector3());
	return _contacts[(size_t)p_contact_idx].impulse;
}

int32_t PhysicsDirectBodyState3D::get_contact_local_shape(int32_t p_contact_idx) const {
	ERR_FAIL_INDEX_V(p_contact_idx, (int32_t)_contacts.size(), 0);
	return _contacts[(size_t)p_contact_idx].local_shape;
}

Vector3 PhysicsDirectBodyState3D::get_contact_local_velocity_at_position(int32_t p_contact_idx) const {
	ERR_FAIL_INDEX_V(p_contact_idx, (int32_t)_contacts.size(), Vector3());
	ERR_FAIL_NULL_V(_body, Vector3());
	Vector3 r = _contacts[(size_t)p_contact_idx].local_position - _body->get_global_position();
	return _body->get_linear_velocity() + _body->get_angular_velocity().cross(r);
}

RID PhysicsDirectBodyState3D::get_contact_collider(int32_t p_contact_idx) const {
	ERR_FAIL_INDEX_V(p_contact_idx, (int32_t)_contacts.size(), RID());
	return _contacts[(size_t)p_contact_idx].collider_rid;
}

Vector3 PhysicsDirectBodyState3D::get_contact_collider_position(int32_t p_contact_idx) const {
	ERR_FAIL_INDEX_V(p_contact_idx, (int32_t)_contacts.size(), Vector3());
	return _contacts[(size_t)p_contact_idx].collider_position;
}

uint64_t PhysicsDirectBodyState3D::get_contact_collider_id(int32_t p_contact_idx) const {
	ERR_FAIL_INDEX_V(p_contact_idx, (int32_t)_contacts.size(), 0);
	return _contacts[(size_t)p_contact_idx].collider_id;
}

Object *PhysicsDirectBodyState3D::get_contact_collider_object(int32_t p_contact_idx) const {
	ERR_FAIL_INDEX_V(p_contact_idx, (int32_t)_contacts.size(), nullptr);
	uint64_t id = _contacts[(size_t)p_contact_idx].collider_id;
	return id ? ObjectDB::get_instance(id) : nullptr;
}

int32_t PhysicsDirectBodyState3D::get_contact_collider_shape(int32_t p_contact_idx) const {
	ERR_FAIL_INDEX_V(p_contact_idx, (int32_t)_contacts.size(), 0);
	return _contacts[(size_t)p_contact_idx].collider_shape;
}

Vector3 PhysicsDirectBodyState3D::get_contact_collider_velocity_at_position(int32_t p_contact_idx) const {
	ERR_FAIL_INDEX_V(p_contact_idx, (int32_t)_contacts.size(), Vector3());
	Object *o = get_contact_collider_object(p_contact_idx);
	if (RigidBody3D *rb = Object::cast_to<RigidBody3D>(o)) {
		Vector3 r = _contacts[(size_t)p_contact_idx].local_position - rb->get_global_position();
		return rb->get_linear_velocity() + rb->get_angular_velocity().cross(r);
	}
	return Vector3();
}

} // namespace godot
