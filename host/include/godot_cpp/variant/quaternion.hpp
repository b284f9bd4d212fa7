#ifndef GODOT_QUATERNION_HPP
#define GODOT_QUATERNION_HPP

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/math.hpp>
#include <godot_cpp/variant/vector3.hpp>

// Default visibility via pragma: see vector2.hpp.
#pragma GCC visibility push(default)

namespace godot {

struct [[nodiscard]] Quaternion {
	union {
		__extension__ struct {
			real_t x;
			real_t y;
			real_t z;
			real_t w;
		};
		real_t components[4] = { 0, 0, 0, 1.0 };
	};

	_FORCE_INLINE_ real_t &operator[](int p_idx) { return components[p_idx]; }
	_FORCE_INLINE_ const real_t &operator[](int p_idx) const { return components[p_idx]; }

	_FORCE_INLINE_ real_t length_squared() const { return dot(*this); }
	real_t length() const { return Math::sqrt(length_squared()); }
	bool is_equal_approx(const Quaternion &p_q) const {
		return Math::is_equal_approx(x, p_q.x) && Math::is_equal_approx(y, p_q.y) && Math::is_equal_approx(z, p_q.z) &&
				Math::is_equal_approx(w, p_q.w);
	}
	bool is_finite() const { return Math::is_finite(x) && Math::is_finite(y) && Math::is_finite(z) && Math::is_finite(w); }
	void normalize() { *this /= length(); }
	Quaternion normalized() const { return *this / length(); }
	bool is_normalized() const { return Math::is_equal_approx(length_squared(), (real_t)1, (real_t)UNIT_EPSILON); }
	// Conjugate: only the inverse for unit quaternions, which is all rotation code uses.
	Quaternion inverse() const { return Quaternion(-x, -y, -z, w); }
	Quaternion log() const;
	Quaternion exp() const;
	_FORCE_INLINE_ real_t dot(const Quaternion &p_q) const { return x * p_q.x + y * p_q.y + z * p_q.z + w * p_q.w; }
	real_t angle_to(const Quaternion &p_to) const;

	Vector3 get_euler(EulerOrder p_order = EULER_ORDER_YXZ) const;
	static Quaternion from_euler(const Vector3 &p_euler);

	Quaternion slerp(const Quaternion &p_to, real_t p_weight) const;
	Quaternion slerpni(const Quaternion &p_to, real_t p_weight) const;

	Vector3 get_axis() const;
	real_t get_angle() const;
	void get_axis_angle(Vector3 &r_axis, real_t &r_angle) const {
		r_angle = 2 * Math::acos(w);
		real_t r = ((real_t)1) / Math::sqrt(1 - w * w);
		r_axis.x = x * r;
		r_axis.y = y * r;
		r_axis.z = z * r;
	}

	void operator*=(const Quaternion &p_q);
	Quaternion operator*(const Quaternion &p_q) const;

	_FORCE_INLINE_ Vector3 xform(const Vector3 &p_v) const {
		Vector3 u(x, y, z);
		Vector3 uv = u.cross(p_v);
		return p_v + ((uv * w) + u.cross(uv)) * ((real_t)2);
	}
	_FORCE_INLINE_ Vector3 xform_inv(const Vector3 &p_v) const { return inverse().xform(p_v); }

	_FORCE_INLINE_ void operator+=(const Quaternion &p_q) {
		x += p_q.x;
		y += p_q.y;
		z += p_q.z;
		w += p_q.w;
	}
	_FORCE_INLINE_ void operator-=(const Quaternion &p_q) {
		x -= p_q.x;
		y -= p_q.y;
		z -= p_q.z;
		w -= p_q.w;
	}
	_FORCE_INLINE_ void operator*=(real_t p_s) {
		x *= p_s;
		y *= p_s;
		z *= p_s;
		w *= p_s;
	}
	_FORCE_INLINE_ void operator/=(real_t p_s) { *this *= 1.0f / p_s; }
	_FORCE_INLINE_ Quaternion operator+(const Quaternion &p_q) const { return Quaternion(x + p_q.x, y + p_q.y, z + p_q.z, w + p_q.w); }
	_FORCE_INLINE_ Quaternion operator-(const Quaternion &p_q) const { return Quaternion(x - p_q.x, y - p_q.y, z - p_q.z, w - p_q.w); }
	_FORCE_INLINE_ Quaternion operator-() const { return Quaternion(-x, -y, -z, -w); }
	_FORCE_INLINE_ Quaternion operator*(real_t p_s) const { return Quaternion(x * p_s, y * p_s, z * p_s, w * p_s); }
	_FORCE_INLINE_ Quaternion operator/(real_t p_s) const { return *this * (1.0f / p_s); }

	_FORCE_INLINE_ bool operator==(const Quaternion &p_q) const { return x == p_q.x && y == p_q.y && z == p_q.z && w == p_q.w; }
	_FORCE_INLINE_ bool operator!=(const Quaternion &p_q) const { return !(*this == p_q); }

	_FORCE_INLINE_ Quaternion() {}
	_FORCE_INLINE_ Quaternion(real_t p_x, real_t p_y, real_t p_z, real_t p_w) {
		x = p_x;
		y = p_y;
		z = p_z;
		w = p_w;
	}
	Quaternion(const Vector3 &p_axis, real_t p_angle);
	// Shortest arc taking direction p_v0 to direction p_v1.
	Quaternion(const Vector3 &p_v0, const Vector3 &p_v1);
};

_FORCE_INLINE_ Quaternion operator*(float p_real, const Quaternion &p_quaternion) { return p_quaternion * p_real; }
_FORCE_INLINE_ Quaternion operator*(double p_real, const Quaternion &p_quaternion) { return p_quaternion * (real_t)p_real; }
_FORCE_INLINE_ Quaternion operator*(int32_t p_real, const Quaternion &p_quaternion) { return p_quaternion * (real_t)p_real; }
_FORCE_INLINE_ Quaternion operator*(int64_t p_real, const Quaternion &p_quaternion) { return p_quaternion * (real_t)p_real; }

} // namespace godot

#pragma GCC visibility pop

#endif // GODOT_QUATERNION_HPP
