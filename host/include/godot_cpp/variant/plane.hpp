#ifndef GODOT_PLANE_HPP
#define GODOT_PLANE_HPP

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/math.hpp>
#include <godot_cpp/variant/vector3.hpp>

// Default visibility via pragma: see vector2.hpp.
#pragma GCC visibility push(default)

namespace godot {

// Points p with normal.dot(p) == d lie on the plane; normal points to the "over" side.
struct [[nodiscard]] Plane {
	Vector3 normal;
	real_t d = 0;

	void set_normal(const Vector3 &p_normal) { normal = p_normal; }
	_FORCE_INLINE_ Vector3 get_normal() const { return normal; }

	void normalize();
	Plane normalized() const;

	_FORCE_INLINE_ Vector3 get_center() const { return normal * d; }
	Vector3 get_any_perpendicular_normal() const;

	_FORCE_INLINE_ bool is_point_over(const Vector3 &p_point) const { return normal.dot(p_point) > d; }
	_FORCE_INLINE_ real_t distance_to(const Vector3 &p_point) const { return normal.dot(p_point) - d; }
	_FORCE_INLINE_ bool has_point(const Vector3 &p_point, real_t p_tolerance = (real_t)CMP_EPSILON) const {
		real_t dist = normal.dot(p_point) - d;
		return Math::abs(dist) <= p_tolerance;
	}
	_FORCE_INLINE_ Vector3 project(const Vector3 &p_point) const { return p_point - normal * distance_to(p_point); }

	bool intersect_3(const Plane &p_plane1, const Plane &p_plane2, Vector3 *r_result = nullptr) const;
	bool intersects_ray(const Vector3 &p_from, const Vector3 &p_dir, Vector3 *p_intersection) const;
	bool intersects_segment(const Vector3 &p_begin, const Vector3 &p_end, Vector3 *p_intersection) const;

	_FORCE_INLINE_ Plane operator-() const { return Plane(-normal, -d); }
	bool is_equal_approx(const Plane &p_plane) const { return normal.is_equal_approx(p_plane.normal) && Math::is_equal_approx(d, p_plane.d); }
	bool is_finite() const { return normal.is_finite() && Math::is_finite(d); }

	_FORCE_INLINE_ bool operator==(const Plane &p_plane) const { return normal == p_plane.normal && d == p_plane.d; }
	_FORCE_INLINE_ bool operator!=(const Plane &p_plane) const { return normal != p_plane.normal || d != p_plane.d; }

	_FORCE_INLINE_ Plane() {}
	_FORCE_INLINE_ Plane(real_t p_a, real_t p_b, real_t p_c, real_t p_d) : normal(p_a, p_b, p_c), d(p_d) {}
	_FORCE_INLINE_ Plane(const Vector3 &p_normal, real_t p_d = 0.0f) : normal(p_normal), d(p_d) {}
	_FORCE_INLINE_ Plane(const Vector3 &p_normal, const Vector3 &p_point) : normal(p_normal), d(p_normal.dot(p_point)) {}
	// Normal follows the clockwise winding of the three points.
	Plane(const Vector3 &p_point1, const Vector3 &p_point2, const Vector3 &p_point3);
};

} // namespace godot

#pragma GCC visibility pop

#endif // GODOT_PLANE_HPP
