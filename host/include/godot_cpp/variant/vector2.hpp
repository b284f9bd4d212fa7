#ifndef GODOT_VECTOR2_HPP
#define GODOT_VECTOR2_HPP

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/math.hpp>

// GCC rejects a GNU visibility attribute next to [[nodiscard]] in a class head,
// so the math types get default visibility through the pragma instead of HOST_API.
#pragma GCC visibility push(default)

namespace godot {

struct Vector2i;

struct [[nodiscard]] Vector2 {
	static const int AXIS_COUNT = 2;

	enum Axis {
		AXIS_X,
		AXIS_Y,
	};

	union {
		__extension__ struct {
			real_t x;
			real_t y;
		};
		__extension__ struct {
			real_t width;
			real_t height;
		};
		real_t coord[2] = { 0, 0 };
	};

	_FORCE_INLINE_ real_t &operator[](int p_axis) { return coord[p_axis]; }
	_FORCE_INLINE_ const real_t &operator[](int p_axis) const { return coord[p_axis]; }

	_FORCE_INLINE_ Vector2::Axis min_axis_index() const { return x < y ? Vector2::AXIS_X : Vector2::AXIS_Y; }
	_FORCE_INLINE_ Vector2::Axis max_axis_index() const { return x < y ? Vector2::AXIS_Y : Vector2::AXIS_X; }

	void normalize() {
		real_t l = x * x + y * y;
		if (l != 0) {
			l = Math::sqrt(l);
			x /= l;
			y /= l;
		}
	}
	Vector2 normalized() const {
		Vector2 v = *this;
		v.normalize();
		return v;
	}
	bool is_normalized() const { return Math::is_equal_approx(length_squared(), (real_t)1, (real_t)UNIT_EPSILON); }

	real_t length() const { return Math::sqrt(x * x + y * y); }
	real_t length_squared() const { return x * x + y * y; }
	Vector2 limit_length(real_t p_len = 1.0f) const {
		const real_t l = length();
		Vector2 v = *this;
		if (l > 0 && p_len < l) {
			v /= l;
			v *= p_len;
		}
		return v;
	}

	Vector2 min(const Vector2 &p_v) const { return Vector2(MIN(x, p_v.x), MIN(y, p_v.y)); }
	Vector2 minf(real_t p_s) const { return Vector2(MIN(x, p_s), MIN(y, p_s)); }
	Vector2 max(const Vector2 &p_v) const { return Vector2(MAX(x, p_v.x), MAX(y, p_v.y)); }
	Vector2 maxf(real_t p_s) const { return Vector2(MAX(x, p_s), MAX(y, p_s)); }

	real_t distance_to(const Vector2 &p_v) const { return (*this - p_v).length(); }
	real_t distance_squared_to(const Vector2 &p_v) const { return (*this - p_v).length_squared(); }
	real_t angle_to(const Vector2 &p_v) const { return Math::atan2(cross(p_v), dot(p_v)); }
	real_t angle_to_point(const Vector2 &p_v) const { return (p_v - *this).angle(); }
	Vector2 direction_to(const Vector2 &p_to) const { return (p_to - *this).normalized(); }

	real_t dot(const Vector2 &p_other) const { return x * p_other.x + y * p_other.y; }
	real_t cross(const Vector2 &p_other) const { return x * p_other.y - y * p_other.x; }
	Vector2 posmod(real_t p_mod) const { return Vector2(Math::fposmod(x, p_mod), Math::fposmod(y, p_mod)); }
	Vector2 posmodv(const Vector2 &p_modv) const { return Vector2(Math::fposmod(x, p_modv.x), Math::fposmod(y, p_modv.y)); }
	Vector2 project(const Vector2 &p_to) const { return p_to * (dot(p_to) / p_to.length_squared()); }

	Vector2 lerp(const Vector2 &p_to, real_t p_weight) const {
		return Vector2(Math::lerp(x, p_to.x, p_weight), Math::lerp(y, p_to.y, p_weight));
	}
	Vector2 slerp(const Vector2 &p_to, real_t p_weight) const;
	Vector2 move_toward(const Vector2 &p_to, real_t p_delta) const {
		Vector2 vd = p_to - *this;
		real_t len = vd.length();
		return len <= p_delta || len < (real_t)CMP_EPSILON ? p_to : *this + vd / len * p_delta;
	}

	Vector2 slide(const Vector2 &p_normal) const { return *this - p_normal * dot(p_normal); }
	Vector2 bounce(const Vector2 &p_normal) const { return -reflect(p_normal); }
	Vector2 reflect(const Vector2 &p_normal) const { return p_normal * (2.0f * dot(p_normal)) - *this; }

	bool is_equal_approx(const Vector2 &p_v) const { return Math::is_equal_approx(x, p_v.x) && Math::is_equal_approx(y, p_v.y); }
	bool is_zero_approx() const { return Math::is_zero_approx(x) && Math::is_zero_approx(y); }
	bool is_finite() const { return Math::is_finite(x) && Math::is_finite(y); }

	Vector2 operator+(const Vector2 &p_v) const { return Vector2(x + p_v.x, y + p_v.y); }
	void operator+=(const Vector2 &p_v) { x += p_v.x; y += p_v.y; }
	Vector2 operator-(const Vector2 &p_v) const { return Vector2(x - p_v.x, y - p_v.y); }
	void operator-=(const Vector2 &p_v) { x -= p_v.x; y -= p_v.y; }
	Vector2 operator*(const Vector2 &p_v) const { return Vector2(x * p_v.x, y * p_v.y); }
	Vector2 operator*(real_t p_rvalue) const { return Vector2(x * p_rvalue, y * p_rvalue); }
	void operator*=(real_t p_rvalue) { x *= p_rvalue; y *= p_rvalue; }
	void operator*=(const Vector2 &p_rvalue) { x *= p_rvalue.x; y *= p_rvalue.y; }
	Vector2 operator/(const Vector2 &p_v) const { return Vector2(x / p_v.x, y / p_v.y); }
	Vector2 operator/(real_t p_rvalue) const { return Vector2(x / p_rvalue, y / p_rvalue); }
	void operator/=(real_t p_rvalue) { x /= p_rvalue; y /= p_rvalue; }
	void operator/=(const Vector2 &p_rvalue) { x /= p_rvalue.x; y /= p_rvalue.y; }
	Vector2 operator-() const { return Vector2(-x, -y); }

	bool operator==(const Vector2 &p_v) const { return x == p_v.x && y == p_v.y; }
	bool operator!=(const Vector2 &p_v) const { return x != p_v.x || y != p_v.y; }
	bool operator<(const Vector2 &p_v) const { return x == p_v.x ? (y < p_v.y) : (x < p_v.x); }
	bool operator>(const Vector2 &p_v) const { return x == p_v.x ? (y > p_v.y) : (x > p_v.x); }
	bool operator<=(const Vector2 &p_v) const { return x == p_v.x ? (y <= p_v.y) : (x < p_v.x); }
	bool operator>=(const Vector2 &p_v) const { return x == p_v.x ? (y >= p_v.y) : (x > p_v.x); }

	real_t angle() const { return Math::atan2(y, x); }
	static Vector2 from_angle(real_t p_angle) { return Vector2(Math::cos(p_angle), Math::sin(p_angle)); }

	Vector2 abs() const { return Vector2(Math::abs(x), Math::abs(y)); }
	Vector2 rotated(real_t p_by) const {
		real_t sine = Math::sin(p_by);
		real_t cosi = Math::cos(p_by);
		return Vector2(x * cosi - y * sine, x * sine + y * cosi);
	}
	Vector2 orthogonal() const { return Vector2(y, -x); }
	Vector2 sign() const { return Vector2(SIGN(x), SIGN(y)); }
	Vector2 floor() const { return Vector2(Math::floor(x), Math::floor(y)); }
	Vector2 ceil() const { return Vector2(Math::ceil(x), Math::ceil(y)); }
	Vector2 round() const { return Vector2(Math::round(x), Math::round(y)); }
	Vector2 snapped(const Vector2 &p_step) const { return Vector2(Math::snapped(x, p_step.x), Math::snapped(y, p_step.y)); }
	Vector2 snappedf(real_t p_step) const { return Vector2(Math::snapped(x, p_step), Math::snapped(y, p_step)); }
	Vector2 clamp(const Vector2 &p_min, const Vector2 &p_max) const {
		return Vector2(CLAMP(x, p_min.x, p_max.x), CLAMP(y, p_min.y, p_max.y));
	}
	Vector2 clampf(real_t p_min, real_t p_max) const { return Vector2(CLAMP(x, p_min, p_max), CLAMP(y, p_min, p_max)); }
	real_t aspect() const { return width / height; }

	operator Vector2i() const;

	Vector2() {}
	Vector2(real_t p_x, real_t p_y) {
		x = p_x;
		y = p_y;
	}
};

_FORCE_INLINE_ Vector2 operator*(float p_scalar, const Vector2 &p_vec) { return p_vec * p_scalar; }
_FORCE_INLINE_ Vector2 operator*(double p_scalar, const Vector2 &p_vec) { return p_vec * (real_t)p_scalar; }
_FORCE_INLINE_ Vector2 operator*(int32_t p_scalar, const Vector2 &p_vec) { return p_vec * (real_t)p_scalar; }
_FORCE_INLINE_ Vector2 operator*(int64_t p_scalar, const Vector2 &p_vec) { return p_vec * (real_t)p_scalar; }

typedef Vector2 Size2;
typedef Vector2 Point2;

} // namespace godot

#pragma GCC visibility pop

#endif // GODOT_VECTOR2_HPP
