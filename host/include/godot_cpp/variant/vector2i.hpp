#ifndef GODOT_VECTOR2I_HPP
#define GODOT_VECTOR2I_HPP

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/math.hpp>

// Default visibility via pragma: see vector2.hpp.
#pragma GCC visibility push(default)

namespace godot {

struct Vector2;

struct [[nodiscard]] Vector2i {
	static const int AXIS_COUNT = 2;

	enum Axis {
		AXIS_X,
		AXIS_Y,
	};

	union {
		__extension__ struct {
			int32_t x;
			int32_t y;
		};
		__extension__ struct {
			int32_t width;
			int32_t height;
		};
		int32_t coord[2] = { 0, 0 };
	};

	_FORCE_INLINE_ int32_t &operator[](int p_axis) { return coord[p_axis]; }
	_FORCE_INLINE_ const int32_t &operator[](int p_axis) const { return coord[p_axis]; }

	_FORCE_INLINE_ Vector2i::Axis min_axis_index() const { return x < y ? Vector2i::AXIS_X : Vector2i::AXIS_Y; }
	_FORCE_INLINE_ Vector2i::Axis max_axis_index() const { return x < y ? Vector2i::AXIS_Y : Vector2i::AXIS_X; }

	Vector2i min(const Vector2i &p_v) const { return Vector2i(MIN(x, p_v.x), MIN(y, p_v.y)); }
	Vector2i max(const Vector2i &p_v) const { return Vector2i(MAX(x, p_v.x), MAX(y, p_v.y)); }

	int64_t length_squared() const { return (int64_t)x * x + (int64_t)y * y; }
	double length() const { return ::sqrt((double)length_squared()); }
	int64_t distance_squared_to(const Vector2i &p_to) const { return (p_to - *this).length_squared(); }
	double distance_to(const Vector2i &p_to) const { return (p_to - *this).length(); }

	Vector2i abs() const { return Vector2i(x < 0 ? -x : x, y < 0 ? -y : y); }
	Vector2i sign() const { return Vector2i(Math::sign(x), Math::sign(y)); }
	Vector2i clamp(const Vector2i &p_min, const Vector2i &p_max) const {
		return Vector2i(CLAMP(x, p_min.x, p_max.x), CLAMP(y, p_min.y, p_max.y));
	}
	Vector2i snapped(const Vector2i &p_step) const {
		return Vector2i((int32_t)Math::snapped((double)x, (double)p_step.x), (int32_t)Math::snapped((double)y, (double)p_step.y));
	}
	real_t aspect() const { return (real_t)x / (real_t)y; }

	Vector2i operator+(const Vector2i &p_v) const { return Vector2i(x + p_v.x, y + p_v.y); }
	void operator+=(const Vector2i &p_v) { x += p_v.x; y += p_v.y; }
	Vector2i operator-(const Vector2i &p_v) const { return Vector2i(x - p_v.x, y - p_v.y); }
	void operator-=(const Vector2i &p_v) { x -= p_v.x; y -= p_v.y; }
	Vector2i operator*(const Vector2i &p_v) const { return Vector2i(x * p_v.x, y * p_v.y); }
	Vector2i operator*(int32_t p_rvalue) const { return Vector2i(x * p_rvalue, y * p_rvalue); }
	void operator*=(int32_t p_rvalue) { x *= p_rvalue; y *= p_rvalue; }
	void operator*=(const Vector2i &p_v) { x *= p_v.x; y *= p_v.y; }
	Vector2i operator/(const Vector2i &p_v) const { return Vector2i(x / p_v.x, y / p_v.y); }
	Vector2i operator/(int32_t p_rvalue) const { return Vector2i(x / p_rvalue, y / p_rvalue); }
	void operator/=(int32_t p_rvalue) { x /= p_rvalue; y /= p_rvalue; }
	void operator/=(const Vector2i &p_v) { x /= p_v.x; y /= p_v.y; }
	Vector2i operator%(const Vector2i &p_v) const { return Vector2i(x % p_v.x, y % p_v.y); }
	Vector2i operator%(int32_t p_rvalue) const { return Vector2i(x % p_rvalue, y % p_rvalue); }
	void operator%=(int32_t p_rvalue) { x %= p_rvalue; y %= p_rvalue; }
	Vector2i operator-() const { return Vector2i(-x, -y); }

	bool operator==(const Vector2i &p_v) const { return x == p_v.x && y == p_v.y; }
	bool operator!=(const Vector2i &p_v) const { return x != p_v.x || y != p_v.y; }
	bool operator<(const Vector2i &p_v) const { return x == p_v.x ? (y < p_v.y) : (x < p_v.x); }
	bool operator>(const Vector2i &p_v) const { return x == p_v.x ? (y > p_v.y) : (x > p_v.x); }
	bool operator<=(const Vector2i &p_v) const { return x == p_v.x ? (y <= p_v.y) : (x < p_v.x); }
	bool operator>=(const Vector2i &p_v) const { return x == p_v.x ? (y >= p_v.y) : (x > p_v.x); }

	operator Vector2() const;

	Vector2i() {}
	Vector2i(int32_t p_x, int32_t p_y) {
		x = p_x;
		y = p_y;
	}
};

_FORCE_INLINE_ Vector2i operator*(int32_t p_scalar, const Vector2i &p_vector) { return p_vector * p_scalar; }
_FORCE_INLINE_ Vector2i operator*(int64_t p_scalar, const Vector2i &p_vector) { return p_vector * (int32_t)p_scalar; }

typedef Vector2i Size2i;
typedef Vector2i Point2i;

} // namespace godot

#pragma GCC visibility pop

#endif // GODOT_VECTOR2I_HPP
