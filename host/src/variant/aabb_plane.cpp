#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/aabb.hpp>
#include <godot_cpp/variant/plane.hpp>

namespace godot {

bool AABB::intersects(const AABB &p_aabb) const {
	// Touching faces do not count as intersecting.
	for (int i = 0; i < 3; i++) {
		if (position[i] >= (p_aabb.position[i] + p_aabb.size[i])) {
			return false;
		}
		if ((position[i] + size[i]) <= p_aabb.position[i]) {
			return false;
		}
	}
	return true;
}

bool AABB::encloses(const AABB &p_aabb) const {
	Vector3 src_min = position;
	Vector3 src_max = position + size;
	Vector3 dst_min = p_aabb.position;
	Vector3 dst_max = p_aabb.position + p_aabb.size;
	for (int i = 0; i < 3; i++) {
		if (src_min[i] > dst_min[i] || src_max[i] < dst_max[i]) {
			return false;
		}
	}
	return true;
}

bool AABB::has_point(const Vector3 &p_point) const {
	for (int i = 0; i < 3; i++) {
		if (p_point[i] < position[i] || p_point[i] > position[i] + size[i]) {
			return false;
		}
	}
	return true;
}

void AABB::merge_with(const AABB &p_aabb) {
	Vector3 beg_1 = position;
	Vector3 beg_2 = p_aabb.position;
	Vector3 end_1 = size + beg_1;
	Vector3 end_2 = p_aabb.size + beg_2;
	Vector3 min = beg_1.min(beg_2);
	Vector3 max = end_1.max(end_2);
	position = min;
	size = max - min;
}

AABB AABB::merge(const AABB &p_with) const {
	AABB aabb = *this;
	aabb.merge_with(p_with);
	return aabb;
}

AABB AABB::intersection(const AABB &p_aabb) const {
	Vector3 min = position.max(p_aabb.position);
	Vector3 max = (position + size).min(p_aabb.position + p_aabb.size);
	for (int i = 0; i < 3; i++) {
		if (min[i] > max[i]) {
			return AABB();
		}
	}
	return AABB(min, max - min);
}

void AABB::grow_by(real_t p_amount) {
	position -= Vector3(p_amount, p_amount, p_amount);
	size += Vector3(p_amount, p_amount, p_amount) * 2.0f;
}

AABB AABB::grow(real_t p_by) const {
	AABB aabb = *this;
	aabb.grow_by(p_by);
	return aabb;
}

void AABB::expand_to(const Vector3 &p_vector) {
	Vector3 begin = position.min(p_vector);
	Vector3 end = (position + size).max(p_vector);
	position = begin;
	size = end - begin;
}

AABB AABB::expand(const Vector3 &p_vector) const {
	AABB aabb = *this;
	aabb.expand_to(p_vector);
	return aabb;
}

AABB AABB::abs() const {
	return AABB(position + size.min(Vector3()), size.abs());
}

int AABB::get_longest_axis_index() const {
	int axis = 0;
	real_t max_size = size.x;
	if (size.y > max_size) {
		axis = 1;
		max_size = size.y;
	}
	if (size.z > max_size) {
		axis = 2;
	}
	return axis;
}

Vector3 AABB::get_longest_axis() const {
	Vector3 axis;
	axis[get_longest_axis_index()] = 1;
	return axis;
}

real_t AABB::get_longest_axis_size() const {
	return size[get_longest_axis_index()];
}

Vector3 AABB::get_endpoint(int p_point) const {
	ERR_FAIL_INDEX_V(p_point, 8, Vector3());
	// Bit 2 selects max x, bit 1 max y, bit 0 max z.
	return Vector3(
			(p_point & 4) ? position.x + size.x : position.x,
			(p_point & 2) ? position.y + size.y : position.y,
			(p_point & 1) ? position.z + size.z : position.z);
}

Plane::Plane(const Vector3 &p_point1, const Vector3 &p_point2, const Vector3 &p_point3) {
	normal = (p_point1 - p_point3).cross(p_point1 - p_point2);
	normal.normalize();
	d = normal.dot(p_point1);
}

void Plane::normalize() {
	real_t l = normal.length();
	if (l == 0) {
		*this = Plane(0, 0, 0, 0);
		return;
	}
	normal /= l;
	d /= l;
}

Plane Plane::normalized() const {
	Plane p = *this;
	p.normalize();
	return p;
}

Vector3 Plane::get_any_perpendicular_normal() const {
	static const Vector3 p1 = Vector3(1, 0, 0);
	static const Vector3 p2 = Vector3(0, 1, 0);
	// Avoid the reference axis most parallel to the normal.
	Vector3 p = Math::abs(normal.dot(p1)) > 0.99f ? p2 : p1;
	p -= normal * normal.dot(p);
	p.normalize();
	return p;
}

bool Plane::intersect_3(const Plane &p_plane1, const Plane &p_plane2, Vector3 *r_result) const {
	const Plane &p_plane0 = *this;
	Vector3 normal0 = p_plane0.normal;
	Vector3 normal1 = p_plane1.normal;
	Vector3 normal2 = p_plane2.normal;

	real_t denom = normal0.cross(normal1).dot(normal2);
	if (Math::is_zero_approx(denom)) {
		return false;
	}
	if (r_result) {
		*r_result = ((normal1.cross(normal2) * p_plane0.d) +
							(normal2.cross(normal0) * p_plane1.d) +
							(normal0.cross(normal1) * p_plane2.d)) /
				denom;
	}
	return true;
}

bool Plane::intersects_ray(const Vector3 &p_from, const Vector3 &p_dir, Vector3 *p_intersection) const {
	real_t den = normal.dot(p_dir);
	if (Math::is_zero_approx(den)) {
		return false; // Parallel.
	}
	real_t dist = (normal.dot(p_from) - d) / den;
	if (dist > (real_t)CMP_EPSILON) {
		return false; // Plane is behind the ray origin.
	}
	dist = -dist;
	*p_intersection = p_from + p_dir * dist;
	return true;
}

bool Plane::intersects_segment(const Vector3 &p_begin, const Vector3 &p_end, Vector3 *p_intersection) const {
	Vector3 segment = p_begin - p_end;
	real_t den = normal.dot(segment);
	if (Math::is_zero_approx(den)) {
		return false;
	}
	real_t dist = (normal.dot(p_begin) - d) / den;
	if (dist < (real_t)-CMP_EPSILON || dist > (1.0f + (real_t)CMP_EPSILON)) {
		return false;
	}
	dist = -dist;
	*p_intersection = p_begin + segment * dist;
	return true;
}

} // namespace godot
