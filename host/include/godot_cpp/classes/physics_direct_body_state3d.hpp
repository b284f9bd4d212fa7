#ifndef GODOT_PHYSICSDIRECTBODYSTATE3D_HPP
#define GODOT_PHYSICSDIRECTBODYSTATE3D_HPP

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/rid.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <vector>

namespace godot {

class RigidBody3D;

// A body's view of the physics server during its step.
class HOST_API PhysicsDirectBodyState3D : public Object {
	GDEXTENSION_CLASS(PhysicsDirectBodyState3D, Object)

public:
	float get_step() const { return _step; }
	float get_inverse_mass() const;
	Vector3 get_total_gravity() const;

	Vector3 get_linear_velocity() const;
	void set_linear_velocity(const Vector3 &p_velocity);
	Vector3 get_angular_velocity() const;
	void set_angular_velocity(const Vector3 &p_velocity);
	Transform3D get_transform() const;
	void set_transform(const Transform3D &p_transform);
	void apply_central_impulse(const Vector3 &p_impulse);
	void apply_impulse(const Vector3 &p_impulse, const Vector3 &p_position = Vector3(0, 0, 0));
	void set_sleep_state(bool p_enabled);
	bool is_sleeping() const;

	int32_t get_contact_count() const { return (int32_t)_contacts.size(); }
	Vector3 get_contact_local_position(int32_t p_contact_idx) const;
	Vector3 get_contact_local_normal(int32_t p_contact_idx) const;
	Vector3 get_contact_impulse(int32_t p_contact_idx) const;
	int32_t get_contact_local_shape(int32_t p_contact_idx) const;
	Vector3 get_contact_local_velocity_at_position(int32_t p_contact_idx) const;
	RID get_contact_collider(int32_t p_contact_idx) const;
	Vector3 get_contact_collider_position(int32_t p_contact_idx) const;
	uint64_t get_contact_collider_id(int32_t p_contact_idx) const;
	Object *get_contact_collider_object(int32_t p_contact_idx) const;
	int32_t get_contact_collider_shape(int32_t p_contact_idx) const;
	Vector3 get_contact_collider_velocity_at_position(int32_t p_contact_idx) const;

	// ---- engine side ----
	struct Contact {
		int32_t local_shape = 0;
		Vector3 local_position; // global coordinates, as the engine reports it
		Vector3 local_normal;
		Vector3 impulse;
		uint64_t collider_id = 0;
		RID collider_rid;
		int32_t collider_shape = 0;
		Vector3 collider_position;
	};
	void _host_begin_step(RigidBody3D *p_body, float p_step);
	void _host_add_contact(const Contact &p_contact) { _contacts.push_back(p_contact); }
	void _host_end_step();

private:
	RigidBody3D *_body = nullptr;
	float _step = 0.0f;
	std::vector<Contact> _contacts;
};

} // namespace godot

#endif // GODOT_PHYSICSDIRECTBODYSTATE3D_HPP
