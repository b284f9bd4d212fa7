#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector2i.hpp>
#include <godot_cpp/variant/vector3.hpp>
#include <godot_cpp/variant/vector3i.hpp>

namespace godot {

Vector2::operator Vector2i() const {
	return Vector2i((int32_t)x, (int32_t)y);
}

Vector2i::operator Vector2() const {
	return Vector2((real_t)x, (real_t)y);
}

Vector3::operator Vector3i() const {
	return Vector3i((int32_t)x, (int32_t)y, (int32_t)z);
}

Vector3i::operator Vector3() const {
	return Vector3((real_t)x, (real_t)y, (real_t)z);
}

Vector2 Vector2::slerp(const Vector2 &p_to, real_t p_weight) const {
	real_t start_length_sq = length_squared();
	real_t end_length_sq = p_to.length_squared();
	if (start_length_sq == 0.0f || end_length_sq == 0.0f) {
		// No direction to rotate from or to.
		return lerp(p_to, p_weight);
	}
	real_t start_length = Math::sqrt(start_length_sq);
	real_t result_length = Math::lerp(start_length, Math::sqrt(end_length_sq), p_weight);
	real_t angle = angle_to(p_to);
	return rotated(angle * p_weight) * (result_length / start_length);
}

void Vector3::rotate(const Vector3 &p_axis, real_t p_angle) {
	*this = Basis(p_axis, p_angle).xform(*this);
}

Vector3 Vector3::rotated(const Vector3 &p_axis, real_t p_angle) const {
	Vector3 r = *this;
	r.rotate(p_axis, p_angle);
	return r;
}

Vector3 Vector3::slerp(const Vector3 &p_to, real_t p_weight) const {
	real_t start_length_sq = length_squared();
	real_t end_length_sq = p_to.length_squared();
	if (start_length_sq == 0.0f || end_length_sq == 0.0f) {
		return lerp(p_to, p_weight);
	}
	Vector3 axis = cross(p_to);
	real_t axis_length_sq = axis.length_squared();
	if (axis_length_sq == 0.0f) {
		// Parallel or opposite: the rotation axis is undefined.
		return lerp(p_to, p_weight);
	}
	axis /= Math::sqrt(axis_length_sq);
	real_t start_length = Math::sqrt(start_length_sq);
	real_t result_length = Math::lerp(start_length, Math::sqrt(end_length_sq), p_weight);
	real_t angle = angle_to(p_to);
	return rotated(axis, angle * p_weight) * (result_length / start_length);
}

Basis Vector3::outer(const Vector3 &p_with) const {
	return Basis(
			x * p_with.x, x * p_with.y, x * p_with.z,
			y * p_with.x, y * p_with.y, y * p_with.z,
			z * p_with.x, z * p_with.y, z * p_with.z);
}

} // namespace godot
