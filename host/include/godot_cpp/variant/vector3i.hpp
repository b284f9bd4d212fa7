#ifndef GODOT_VECTOR3I_HPP
#define GODOT_VECTOR3I_HPP

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/math.hpp>

// Default visibility via pragma: see vector2.hpp.
#pragma GCC visibility push(default)

namespace godot {

struct Vector3;

struct [[nodiscard]] Vector3i {
	static const int AXIS_COUNT = 3;

	enum Axis {
		AXIS_X,
		AXIS_Y,
		AXIS_Z,
	};

	union {
		__extension__ struct {
			int32_t x;
			int32_t y;
			int32_t z;
		};
		int32_t coord[3] = { 0, 0, 0 };
	};

	_FORCE_INLINE_ const int32_t &operator[](int p_axis) const { return coord[p_axis]; }
	_FORCE_INLINE_ int32_t &operator[](int p_axis) { return coord[p_axis]; }

	_FORCE_INLINE_ Vector3i::Axis min_axis_index() const {
		return x < y ? (x < z ? Vector3i::AXIS_X : Vector3i::AXIS_Z) : (y < z ? Vector3i::AXIS_Y : Vector3i::AXIS_Z);
	}
	_FORCE_INLINE_ Vector3i::Axis max_axis_index() const {
		return x < y ? (y < z ? Vector3i::AXIS_Z : Vector3i::AXIS_Y) : (x < z ? Vector3i::AXIS_Z : Vector3i::AXIS_X);
	}

	Vector3i min(const Vector3i &p_v) const { return Vector3i(MIN(x, p_v.x), MIN(y, p_v.y), MIN(z, p_v.z)); }
	Vector3i max(const Vector3i &p_v) const { return Vector3i(MAX(x, p_v.x), MAX(y, p_v.y), MAX(z, p_v.z)); }

	int64_t length_squared() const { return (int64_t)x * x + (int64_t)y * y + (int64_t)z * z; }
	double length() const { return ::sqrt((double)length_squared()); }
	int64_t distance_squared_to(const Vector3i &p_to) const { return (p_to - *this).length_squared(); }
	double distance_to(const Vector3i &p_to) const { return (p_to - *this).length(); }

	_FORCE_INLINE_ void zero() { x = y = z = 0; }

	Vector3i abs() const { return Vector3i(x < 0 ? -x : x, y < 0 ? -y : y, z < 0 ? -z : z); }
	Vector3i sign() const { return Vector3i(Math::sign(x), Math::sign(y), Math::sign(z)); }
	Vector3i clamp(const Vector3i &p_min, const Vector3i &p_max) const {
		return Vector3i(CLAMP(x, p_min.x, p_max.x), CLAMP(y, p_min.y, p_max.y), CLAMP(z, p_min.z, p_max.z));
	}
	Vector3i snapped(const Vector3i &p_step) const {
		return Vector3i((int32_t)Math::snapped((double)x, (double)p_step.x), (int32_t)Math::snapped((double)y, (double)p_step.y),
				(int32_t)Math::snapped((double)z, (double)p_step.z));
	}

	Vector3i &operator+=(const Vector3i &p_v) {
		x += p_v.x;
		y += p_v.y;
		z += p_v.z;
		return *this;
	}
	Vector3i operator+(const Vector3i &p_v) const { return Vector3i(x + p_v.x, y + p_v.y, z + p_v.z); }
	Vector3i &operator-=(const Vector3i &p_v) {
		x -= p_v.x;
		y -= p_v.y;
		z -= p_v.z;
		return *this;
	}
	Vector3i operator-(const Vector3i &p_v) const { return Vector3i(x - p_v.x, y - p_v.y, z - p_v.z); }
	Vector3i &operator*=(const Vector3i &p_v) {
		x *= p_v.x;
		y *= p_v.y;
		z *= p_v.z;
		return *this;
	}
	Vector3i operator*(const Vector3i &p_v) const { return Vector3i(x * p_v.x, y * p_v.y, z * p_v.z); }
	Vector3i &operator/=(const Vector3i &p_v) {
		x /= p_v.x;
		y /= p_v.y;
		z /= p_v.z;
		return *this;
	}
	Vector3i operator/(const Vector3i &p_v) const { return Vector3i(x / p_v.x, y / p_v.y, z / p_v.z); }
	Vector3i operator%(const Vector3i &p_v) const { return Vector3i(x % p_v.x, y % p_v.y, z % p_v.z); }

	Vector3i &operator*=(int32_t p_scalar) {
		x *= p_scalar;
		y *= p_scalar;
		z *= p_scalar;
		return *this;
	}
	Vector3i operator*(int32_t p_scalar) const { return Vector3i(x * p_scalar, y * p_scalar, z * p_scalar); }
	Vector3i &operator/=(int32_t p_scalar) {
		x /= p_scalar;
		y /= p_scalar;
		z /= p_scalar;
		return *this;
	}
	Vector3i operator/(int32_t p_scalar) const { return Vector3i(x / p_scalar, y / p_scalar, z / p_scalar); }
	Vector3i operator%(int32_t p_scalar) const { return Vector3i(x % p_scalar, y % p_scalar, z % p_scalar); }

	Vector3i operator-() const { return Vector3i(-x, -y, -z); }

	bool operator==(const Vector3i &p_v) const { return x == p_v.x && y == p_v.y && z == p_v.z; }
	bool operator!=(const Vector3i &p_v) const { return x != p_v.x || y != p_v.y || z != p_v.z; }
	bool operator<(const Vector3i &p_v) const {
		if (x == p_v.x) {
			return y == p_v.y ? z < p_v.z : y < p_v.y;
		}
		return x < p_v.x;
	}
	bool operator>(const Vector3i &p_v) const {
		if (x == p_v.x) {
			return y == p_v.y ? z > p_v.z : y > p_v.y;
		}
		return x > p_v.x;
	}
	bool operator<=(const Vector3i &p_v) const { return !(*this > p_v); }
	bool operator>=(const Vector3i &p_v) const { return !(*this < p_v); }

	operator Vector3() const;

	_FORCE_INLINE_ Vector3i() {}
	_FORCE_INLINE_ Vector3i(int32_t p_x, int32_t p_y, int32_t p_z) {
		x = p_x;
		y = p_y;
		z = p_z;
	}
};

_FORCE_INLINE_ Vector3i operator*(int32_t p_scalar, const Vector3i &p_vector) { return p_vector * p_scalar; }
_FORCE_INLINE_ Vector3i operator*(int64_t p_scalar, const Vector3i &p_vector) { return p_vector * (int32_t)p_scalar; }

} // namespace godot

#pragma GCC visibility pop

#endif // GODOT_VECTOR3I_HPP
