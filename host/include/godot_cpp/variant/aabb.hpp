#ifndef GODOT_AABB_HPP
#define GODOT_AABB_HPP

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/math.hpp>
#include <godot_cpp/variant/vector3.hpp>

// Default visibility via pragma: see vector2.hpp.
#pragma GCC visibility push(default)

namespace godot {

// Axis-aligned box from position to position + size; size is expected non-negative.
struct [[nodiscard]] AABB {
	Vector3 position;
	Vector3 size;

	real_t get_volume() const { return size.x * size.y * size.z; }
	_FORCE_INLINE_ bool has_volume() const { return size.x > 0.0f && size.y > 0.0f && size.z > 0.0f; }
	_FORCE_INLINE_ bool has_surface() const { return size.x > 0.0f || size.y > 0.0f || size.z > 0.0f; }

	const Vector3 &get_position() const { return position; }
	void set_position(const Vector3 &p_pos) { position = p_pos; }
	const Vector3 &get_size() const { return size; }
	void set_size(const Vector3 &p_size) { size = p_size; }

	bool operator==(const AABB &p_rval) const { return position == p_rval.position && size == p_rval.size; }
	bool operator!=(const AABB &p_rval) const { return position != p_rval.position || size != p_rval.size; }

	bool is_equal_approx(const AABB &p_aabb) const { return position.is_equal_approx(p_aabb.position) && size.is_equal_approx(p_aabb.size); }
	bool is_finite() const { return position.is_finite() && size.is_finite(); }

	bool intersects(const AABB &p_aabb) const;
	bool encloses(const AABB &p_aabb) const;
	bool has_point(const Vector3 &p_point) const;

	AABB merge(const AABB &p_with) const;
	void merge_with(const AABB &p_aabb);
	AABB intersection(const AABB &p_aabb) const;

	AABB grow(real_t p_by) const;
	void grow_by(real_t p_amount);
	AABB expand(const Vector3 &p_vector) const;
	void expand_to(const Vector3 &p_vector);
	AABB abs() const;

	_FORCE_INLINE_ Vector3 get_center() const { return position + (size * 0.5f); }
	_FORCE_INLINE_ Vector3 get_end() const { return position + size; }
	_FORCE_INLINE_ void set_end(const Vector3 &p_end) { size = p_end - position; }
	Vector3 get_longest_axis() const;
	int get_longest_axis_index() const;
	real_t get_longest_axis_size() const;
	Vector3 get_endpoint(int p_point) const;

	_FORCE_INLINE_ AABB() {}
	_FORCE_INLINE_ AABB(const Vector3 &p_pos, const Vector3 &p_size) : position(p_pos), size(p_size) {}
};

} // namespace godot

#pragma GCC visibility pop

#endif // GODOT_AABB_HPP
