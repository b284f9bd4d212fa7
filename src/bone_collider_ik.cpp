#include "bone_collider_ik.hpp"

#include <godot_cpp/core/class_db.hpp>

namespace godot {

BoneColliderIK::BoneColliderIK() {}

BoneColliderIK::~BoneColliderIK() {}

void BoneColliderIK::_bind_methods() {}

void BoneColliderIK::_process(double p_delta) {
	BoneCollider::_process(p_delta);
}

void BoneColliderIK::_physics_process(double) {}

void BoneColliderIK::_ready() {
	BoneCollider::_ready();
}

} // namespace godot
