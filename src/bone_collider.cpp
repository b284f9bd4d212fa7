#include "bone_collider.hpp"

#include <godot_cpp/core/class_db.hpp>

namespace godot {

BoneCollider::BoneCollider() {}

BoneCollider::~BoneCollider() {}

void BoneCollider::_bind_methods() {}

void BoneCollider::_process(double) {}

void BoneCollider::_physics_process(double) {}

void BoneCollider::_ready() {}

} // namespace godot
