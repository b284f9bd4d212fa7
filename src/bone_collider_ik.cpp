#include "bone_collider_ik.hpp"

#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>

#include <cmath>

namespace godot {

BoneColliderIK::BoneColliderIK() {}

BoneColliderIK::~BoneColliderIK() {}

void BoneColliderIK::_bind_methods() {
	ClassDB::bind_method(D_METHOD("set_mass", "p_value"), &BoneColliderIK::set_mass);
	ClassDB::bind_method(D_METHOD("get_mass"), &BoneColliderIK::get_mass);
	ADD_PROPERTY(PropertyInfo(Variant::FLOAT, "mass", PROPERTY_HINT_NONE, "", PROPERTY_USAGE_DEFAULT), "set_mass", "get_mass");
}

// The player's pushes scale with this mass: one that is no number (or a
// double too large for a float) is refused.
void BoneColliderIK::set_mass(const float &p_value) {
	ERR_FAIL_COND_MSG(!std::isfinite(p_value), "A bone collider's mass must be a finite number: the collider keeps its mass.");
	mass = p_value;
}

float BoneColliderIK::get_mass() const {
	return mass;
}

Vector3 BoneColliderIK::get_velocity() const {
	return velocity;
}

void BoneColliderIK::_process(double p_delta) {
	BoneCollider::_process(p_delta);
}

void BoneColliderIK::_physics_process(double) {
	Vector3 p = get_global_position();
	// A place that is no number (a script's) tells no motion: the collider
	// reports none, and its history goes on from its next real place.
	if (!p.is_finite()) {
		velocity = Vector3();
		return;
	}
	if (!has_samples) {
		for (Vector3 &sample : position_history) {
			sample = p;
		}
		has_samples = true;
	}
	uint32_t i = history_index;
	position_history[i] = p;
	uint32_t j = (i + 1) % 6;
	// Five steps of displacement over a fixed 10, not over the elapsed time.
	velocity = (position_history[i] - position_history[j]) / 10.0f;
	history_index = j;
}

void BoneColliderIK::_ready() {
	BoneCollider::_ready();
	if (Engine::get_singleton()->is_editor_hint()) {
		set_process(false);
		set_physics_process(false);
	}
}

} // namespace godot
