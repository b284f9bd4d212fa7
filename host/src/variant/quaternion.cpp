#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/quaternion.hpp>

namespace godot {

Quaternion::Quaternion(const Vector3 &p_axis, real_t p_angle) {
	real_t d = p_axis.length();
	if (d == 0) {
		x = y = z = w = 0;
	} else {
		real_t sin_angle = Math::sin(p_angle * 0.5f);
		real_t cos_angle = Math::cos(p_angle * 0.5f);
		real_t s = sin_angle / d;
		x = p_axis.x * s;
		y = p_axis.y * s;
		z = p_axis.z * s;
		w = cos_angle;
	}
}

Quaternion::Quaternion(const Vector3 &p_v0, const Vector3 &p_v1) {
	Vector3 n0 = p_v0.normalized();
	Vector3 n1 = p_v1.normalized();
	Vector3 c = n0.cross(n1);
	real_t d = n0.dot(n1);

	if (d < -1.0f + (real_t)CMP_EPSILON) {
		// Opposite directions: half turn about any axis perpendicular to n0.
		Vector3 axis = Vector3(1, 0, 0).cross(n0);
		if (axis.length_squared() < (real_t)CMP_EPSILON) {
			axis = Vector3(0, 1, 0).cross(n0);
		}
		axis.normalize();
		x = axis.x;
		y = axis.y;
		z = axis.z;
		w = 0;
	} else {
		real_t s = Math::sqrt((1.0f + d) * 2.0f);
		real_t rs = 1.0f / s;
		x = c.x * rs;
		y = c.y * rs;
		z = c.z * rs;
		w = s * 0.5f;
	}
}

void Quaternion::operator*=(const Quaternion &p_q) {
	real_t xx = w * p_q.x + x * p_q.w + y * p_q.z - z * p_q.y;
	real_t yy = w * p_q.y + y * p_q.w + z * p_q.x - x * p_q.z;
	real_t zz = w * p_q.z + z * p_q.w + x * p_q.y - y * p_q.x;
	w = w * p_q.w - x * p_q.x - y * p_q.y - z * p_q.z;
	x = xx;
	y = yy;
	z = zz;
}

Quaternion Quaternion::operator*(const Quaternion &p_q) const {
	Quaternion r = *this;
	r *= p_q;
	return r;
}

real_t Quaternion::angle_to(const Quaternion &p_to) const {
	real_t d = dot(p_to);
	return Math::acos(CLAMP(d * d * 2 - 1, (real_t)-1, (real_t)1));
}

Vector3 Quaternion::get_euler(EulerOrder p_order) const {
	return Basis(*this).get_euler(p_order);
}

Quaternion Quaternion::from_euler(const Vector3 &p_euler) {
	// YXZ: yaw, then pitch, then roll in the local frame, matching Basis::from_euler's default.
	real_t hx = p_euler.x * 0.5f;
	real_t hy = p_euler.y * 0.5f;
	real_t hz = p_euler.z * 0.5f;
	Quaternion qy(0, Math::sin(hy), 0, Math::cos(hy));
	Quaternion qx(Math::sin(hx), 0, 0, Math::cos(hx));
	Quaternion qz(0, 0, Math::sin(hz), Math::cos(hz));
	return qy * qx * qz;
}

Quaternion Quaternion::slerp(const Quaternion &p_to, real_t p_weight) const {
	Quaternion to1;
	real_t cosom = dot(p_to);

	// Take the short way round.
	if (cosom < 0.0f) {
		cosom = -cosom;
		to1 = -p_to;
	} else {
		to1 = p_to;
	}

	real_t scale0, scale1;
	if ((1.0f - cosom) > (real_t)CMP_EPSILON) {
		real_t omega = Math::acos(cosom);
		real_t sinom = Math::sin(omega);
		scale0 = Math::sin((1.0f - p_weight) * omega) / sinom;
		scale1 = Math::sin(p_weight * omega) / sinom;
	} else {
		// Nearly identical: linear is accurate and avoids dividing by ~0.
		scale0 = 1.0f - p_weight;
		scale1 = p_weight;
	}
	return Quaternion(
			scale0 * x + scale1 * to1.x,
			scale0 * y + scale1 * to1.y,
			scale0 * z + scale1 * to1.z,
			scale0 * w + scale1 * to1.w);
}

Quaternion Quaternion::slerpni(const Quaternion &p_to, real_t p_weight) const {
	real_t d = dot(p_to);
	if (Math::absf(d) > 0.9999f) {
		return *this;
	}
	real_t theta = Math::acos(d);
	real_t sin_t = 1.0f / Math::sin(theta);
	real_t new_factor = Math::sin(p_weight * theta) * sin_t;
	real_t inv_factor = Math::sin((1.0f - p_weight) * theta) * sin_t;
	return Quaternion(
			inv_factor * x + new_factor * p_to.x,
			inv_factor * y + new_factor * p_to.y,
			inv_factor * z + new_factor * p_to.z,
			inv_factor * w + new_factor * p_to.w);
}

Vector3 Quaternion::get_axis() const {
	if (Math::abs(w) > 1 - (real_t)CMP_EPSILON) {
		return Vector3(x, y, z);
	}
	real_t r = ((real_t)1) / Math::sqrt(1 - w * w);
	return Vector3(x * r, y * r, z * r);
}

real_t Quaternion::get_angle() const {
	return 2 * Math::acos(w);
}

Quaternion Quaternion::log() const {
	Vector3 v = get_axis() * get_angle();
	return Quaternion(v.x, v.y, v.z, 0);
}

Quaternion Quaternion::exp() const {
	Vector3 v(x, y, z);
	real_t theta = v.length();
	v = v.normalized();
	if (theta < (real_t)CMP_EPSILON || !v.is_normalized()) {
		return Quaternion(0, 0, 0, 1);
	}
	return Quaternion(v, theta);
}

} // namespace godot
