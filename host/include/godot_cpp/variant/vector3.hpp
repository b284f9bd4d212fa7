#ifndef GODOT_VECTOR3_HPP
#define GODOT_VECTOR3_HPP

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/math.hpp>

// Default visibility via pragma: see vector2.hpp.
#pragma GCC visibility push(default)

namespace godot {

struct Basis;
struct Vector3i;

struct [[nodiscard]] Vector3 {
	static const int AXIS_COUNT = 3;

	enum Axis {
		AXIS_X,
		AXIS_Y,
		AXIS_Z,
	};

	union {
		__extension__ struct {
			real_t x;
			real_t y;
			real_t z;
		};
		real_t coord[3] = { 0, 0, 0 };
	};

	_FORCE_INLINE_ const real_t &operator[](int p_axis) const { return coord[p_axis]; }
	_FORCE_INLINE_ real_t &operator[](int p_axis) { return coord[p_axis]; }

	_FORCE_INLINE_ Vector3::Axis min_axis_index() const {
		return x < y ? (x < z ? Vector3::AXIS_X : Vector3::AXIS_Z) : (y < z ? Vector3::AXIS_Y : Vector3::AXIS_Z);
	}
	_FORCE_INLINE_ Vector3::Axis max_axis_index() const {
		return x < y ? (y < z ? Vector3::AXIS_Z : Vector3::AXIS_Y) : (x < z ? Vector3::AXIS_Z : Vector3::AXIS_X);
	}

	Vector3 min(const Vector3 &p_v) const { return Vector3(MIN(x, p_v.x), MIN(y, p_v.y), MIN(z, p_v.z)); }
	Vector3 minf(real_t p_s) const { return Vector3(MIN(x, p_s), MIN(y, p_s), MIN(z, p_s)); }
	Vector3 max(const Vector3 &p_v) const { return Vector3(MAX(x, p_v.x), MAX(y, p_v.y), MAX(z, p_v.z)); }
	Vector3 maxf(real_t p_s) const { return Vector3(MAX(x, p_s), MAX(y, p_s), MAX(z, p_s)); }

	_FORCE_INLINE_ real_t length() const {
		real_t x2 = x * x;
		real_t y2 = y * y;
		real_t z2 = z * z;
		return Math::sqrt(x2 + y2 + z2);
	}
	_FORCE_INLINE_ real_t length_squared() const {
		real_t x2 = x * x;
		real_t y2 = y * y;
		real_t z2 = z * z;
		return x2 + y2 + z2;
	}

	_FORCE_INLINE_ void normalize() {
		real_t lengthsq = length_squared();
		if (lengthsq == 0) {
			x = y = z = 0;
		} else {
			real_t len = Math::sqrt(lengthsq);
			x /= len;
			y /= len;
			z /= len;
		}
	}
	_FORCE_INLINE_ Vector3 normalized() const {
		Vector3 v = *this;
		v.normalize();
		return v;
	}
	_FORCE_INLINE_ bool is_normalized() const {
		return Math::is_equal_approx(length_squared(), (real_t)1, (real_t)UNIT_EPSILON);
	}
	Vector3 inverse() const { return Vector3(1.0f / x, 1.0f / y, 1.0f / z); }
	Vector3 limit_length(real_t p_len = 1.0f) const {
		const real_t l = length();
		Vector3 v = *this;
		if (l > 0 && p_len < l) {
			v /= l;
			v *= p_len;
		}
		return v;
	}

	_FORCE_INLINE_ void zero() { x = y = z = 0; }

	void snap(const Vector3 &p_step) {
		x = Math::snapped(x, p_step.x);
		y = Math::snapped(y, p_step.y);
		z = Math::snapped(z, p_step.z);
	}
	Vector3 snapped(const Vector3 &p_step) const {
		Vector3 v = *this;
		v.snap(p_step);
		return v;
	}
	Vector3 snappedf(real_t p_step) const { return snapped(Vector3(p_step, p_step, p_step)); }

	// Both go through Basis(axis, angle), so the axis must be normalised.
	void rotate(const Vector3 &p_axis, real_t p_angle);
	Vector3 rotated(const Vector3 &p_axis, real_t p_angle) const;

	_FORCE_INLINE_ Vector3 lerp(const Vector3 &p_to, real_t p_weight) const {
		return Vector3(x + (p_weight * (p_to.x - x)), y + (p_weight * (p_to.y - y)), z + (p_weight * (p_to.z - z)));
	}
	Vector3 slerp(const Vector3 &p_to, real_t p_weight) const;
	Vector3 move_toward(const Vector3 &p_to, real_t p_delta) const {
		Vector3 vd = p_to - *this;
		real_t len = vd.length();
		return len <= p_delta || len < (real_t)CMP_EPSILON ? p_to : *this + vd / len * p_delta;
	}

	_FORCE_INLINE_ Vector3 cross(const Vector3 &p_with) const {
		return Vector3((y * p_with.z) - (z * p_with.y), (z * p_with.x) - (x * p_with.z), (x * p_with.y) - (y * p_with.x));
	}
	_FORCE_INLINE_ real_t dot(const Vector3 &p_with) const { return x * p_with.x + y * p_with.y + z * p_with.z; }
	Basis outer(const Vector3 &p_with) const;

	_FORCE_INLINE_ Vector3 abs() const { return Vector3(Math::abs(x), Math::abs(y), Math::abs(z)); }
	_FORCE_INLINE_ Vector3 floor() const { return Vector3(Math::floor(x), Math::floor(y), Math::floor(z)); }
	_FORCE_INLINE_ Vector3 sign() const { return Vector3(SIGN(x), SIGN(y), SIGN(z)); }
	_FORCE_INLINE_ Vector3 ceil() const { return Vector3(Math::ceil(x), Math::ceil(y), Math::ceil(z)); }
	_FORCE_INLINE_ Vector3 round() const { return Vector3(Math::round(x), Math::round(y), Math::round(z)); }
	Vector3 clamp(const Vector3 &p_min, const Vector3 &p_max) const {
		return Vector3(CLAMP(x, p_min.x, p_max.x), CLAMP(y, p_min.y, p_max.y), CLAMP(z, p_min.z, p_max.z));
	}
	Vector3 clampf(real_t p_min, real_t p_max) const {
		return Vector3(CLAMP(x, p_min, p_max), CLAMP(y, p_min, p_max), CLAMP(z, p_min, p_max));
	}

	_FORCE_INLINE_ real_t distance_to(const Vector3 &p_to) const { return (p_to - *this).length(); }
	_FORCE_INLINE_ real_t distance_squared_to(const Vector3 &p_to) const { return (p_to - *this).length_squared(); }

	Vector3 posmod(real_t p_mod) const {
		return Vector3(Math::fposmod(x, p_mod), Math::fposmod(y, p_mod), Math::fposmod(z, p_mod));
	}
	Vector3 posmodv(const Vector3 &p_modv) const {
		return Vector3(Math::fposmod(x, p_modv.x), Math::fposmod(y, p_modv.y), Math::fposmod(z, p_modv.z));
	}
	Vector3 project(const Vector3 &p_to) const { return p_to * (dot(p_to) / p_to.length_squared()); }

	_FORCE_INLINE_ real_t angle_to(const Vector3 &p_to) const { return Math::atan2(cross(p_to).length(), dot(p_to)); }
	real_t signed_angle_to(const Vector3 &p_to, const Vector3 &p_axis) const {
		Vector3 cross_to = cross(p_to);
		real_t unsigned_angle = Math::atan2(cross_to.length(), dot(p_to));
		real_t sign = cross_to.dot(p_axis);
		return (sign < 0) ? -unsigned_angle : unsigned_angle;
	}
	_FORCE_INLINE_ Vector3 direction_to(const Vector3 &p_to) const {
		Vector3 ret(p_to.x - x, p_to.y - y, p_to.z - z);
		ret.normalize();
		return ret;
	}

	_FORCE_INLINE_ Vector3 slide(const Vector3 &p_normal) const { return *this - p_normal * dot(p_normal); }
	_FORCE_INLINE_ Vector3 bounce(const Vector3 &p_normal) const { return -reflect(p_normal); }
	_FORCE_INLINE_ Vector3 reflect(const Vector3 &p_normal) const { return p_normal * (2.0f * dot(p_normal)) - *this; }

	bool is_equal_approx(const Vector3 &p_v) const {
		return Math::is_equal_approx(x, p_v.x) && Math::is_equal_approx(y, p_v.y) && Math::is_equal_approx(z, p_v.z);
	}
	bool is_zero_approx() const { return Math::is_zero_approx(x) && Math::is_zero_approx(y) && Math::is_zero_approx(z); }
	bool is_finite() const { return Math::is_finite(x) && Math::is_finite(y) && Math::is_finite(z); }

	_FORCE_INLINE_ Vector3 &operator+=(const Vector3 &p_v) {
		x += p_v.x;
		y += p_v.y;
		z += p_v.z;
		return *this;
	}
	_FORCE_INLINE_ Vector3 operator+(const Vector3 &p_v) const { return Vector3(x + p_v.x, y + p_v.y, z + p_v.z); }
	_FORCE_INLINE_ Vector3 &operator-=(const Vector3 &p_v) {
		x -= p_v.x;
		y -= p_v.y;
		z -= p_v.z;
		return *this;
	}
	_FORCE_INLINE_ Vector3 operator-(const Vector3 &p_v) const { return Vector3(x - p_v.x, y - p_v.y, z - p_v.z); }
	_FORCE_INLINE_ Vector3 &operator*=(const Vector3 &p_v) {
		x *= p_v.x;
		y *= p_v.y;
		z *= p_v.z;
		return *this;
	}
	_FORCE_INLINE_ Vector3 operator*(const Vector3 &p_v) const { return Vector3(x * p_v.x, y * p_v.y, z * p_v.z); }
	_FORCE_INLINE_ Vector3 &operator/=(const Vector3 &p_v) {
		x /= p_v.x;
		y /= p_v.y;
		z /= p_v.z;
		return *this;
	}
	_FORCE_INLINE_ Vector3 operator/(const Vector3 &p_v) const { return Vector3(x / p_v.x, y / p_v.y, z / p_v.z); }

	_FORCE_INLINE_ Vector3 &operator*=(real_t p_scalar) {
		x *= p_scalar;
		y *= p_scalar;
		z *= p_scalar;
		return *this;
	}
	_FORCE_INLINE_ Vector3 operator*(real_t p_scalar) const { return Vector3(x * p_scalar, y * p_scalar, z * p_scalar); }
	_FORCE_INLINE_ Vector3 &operator/=(real_t p_scalar) {
		x /= p_scalar;
		y /= p_scalar;
		z /= p_scalar;
		return *this;
	}
	_FORCE_INLINE_ Vector3 operator/(real_t p_scalar) const { return Vector3(x / p_scalar, y / p_scalar, z / p_scalar); }

	_FORCE_INLINE_ Vector3 operator-() const { return Vector3(-x, -y, -z); }

	_FORCE_INLINE_ bool operator==(const Vector3 &p_v) const { return x == p_v.x && y == p_v.y && z == p_v.z; }
	_FORCE_INLINE_ bool operator!=(const Vector3 &p_v) const { return x != p_v.x || y != p_v.y || z != p_v.z; }
	_FORCE_INLINE_ bool operator<(const Vector3 &p_v) const {
		if (x == p_v.x) {
			if (y == p_v.y) {
				return z < p_v.z;
			}
			return y < p_v.y;
		}
		return x < p_v.x;
	}
	_FORCE_INLINE_ bool operator>(const Vector3 &p_v) const {
		if (x == p_v.x) {
			if (y == p_v.y) {
				return z > p_v.z;
			}
			return y > p_v.y;
		}
		return x > p_v.x;
	}
	_FORCE_INLINE_ bool operator<=(const Vector3 &p_v) const {
		if (x == p_v.x) {
			if (y == p_v.y) {
				return z <= p_v.z;
			}
			return y < p_v.y;
		}
		return x < p_v.x;
	}
	_FORCE_INLINE_ bool operator>=(const Vector3 &p_v) const {
		if (x == p_v.x) {
			if (y == p_v.y) {
				return z >= p_v.z;
			}
			return y > p_v.y;
		}
		return x > p_v.x;
	}

	operator Vector3i() const;

	_FORCE_INLINE_ Vector3() {}
	_FORCE_INLINE_ Vector3(real_t p_x, real_t p_y, real_t p_z) {
		x = p_x;
		y = p_y;
		z = p_z;
	}
};

_FORCE_INLINE_ Vector3 operator*(float p_scalar, const Vector3 &p_vec) { return p_vec * p_scalar; }
_FORCE_INLINE_ Vector3 operator*(double p_scalar, const Vector3 &p_vec) { return p_vec * (real_t)p_scalar; }
_FORCE_INLINE_ Vector3 operator*(int32_t p_scalar, const Vector3 &p_vec) { return p_vec * (real_t)p_scalar; }
_FORCE_INLINE_ Vector3 operator*(int64_t p_scalar, const Vector3 &p_vec) { return p_vec * (real_t)p_scalar; }

} // namespace godot

#pragma GCC visibility pop

#endif // GODOT_VECTOR3_HPP
