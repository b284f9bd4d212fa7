#ifndef MOSSGLIMMER_BONE_COLLIDER_IK_HPP
#define MOSSGLIMMER_BONE_COLLIDER_IK_HPP

#include "bone_collider.hpp"

#include <godot_cpp/variant/vector3.hpp>

#include <cstdint>

namespace godot {

// A bone collider with a mass that estimates its own velocity.
class BoneColliderIK : public BoneCollider {
	GDCLASS(BoneColliderIK, BoneCollider)

protected:
	static void _bind_methods();

	float mass = 1.0f;
	Vector3 velocity;
	Vector3 position_history[6];
	uint32_t history_index = 0;
	// Until the first sample the history holds no position: the first one
	// fills it, so a new collider reports no motion it never made.
	bool has_samples = false;

public:
	BoneColliderIK();
	~BoneColliderIK() override;

	void _process(double p_delta) override;
	void _physics_process(double p_delta) override;
	void _ready() override;

	void set_mass(const float &p_value);
	float get_mass() const;
	Vector3 get_velocity() const;
};

} // namespace godot

#endif // MOSSGLIMMER_BONE_COLLIDER_IK_HPP
