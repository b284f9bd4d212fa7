#ifndef GODOT_TRANSFORM3D_HPP
#define GODOT_TRANSFORM3D_HPP

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/math.hpp>
#include <godot_cpp/variant/aabb.hpp>
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/plane.hpp>
#include <godot_cpp/variant/vector3.hpp>

// Default visibility via pragma: see vector2.hpp.
#pragma GCC visibility push(default)

namespace godot {

// Affine transform: x -> basis.xform(x) + origin.
// There is deliberately no operator*(const Vector3 &): use xform().
struct [[nodiscard]] Transform3D {
	Basis basis;
	Vector3 origin;

	void invert();
	// Assumes an orthonormal basis (transpose); affine_inverse() handles scale and shear.
	Transform3D inverse() const;
	void affine_invert();
	Transform3D affine_inverse() const;

	// Without _local: in the parent frame (left multiply, moves origin too).
	// With _local: in the transform's own frame (right multiply).
	Transform3D rotated(const Vector3 &p_axis, real_t p_angle) const;
	Transform3D rotated_local(const Vector3 &p_axis, real_t p_angle) const;
	void rotate(const Vector3 &p_axis, real_t p_angle);
	void rotate_basis(const Vector3 &p_axis, real_t p_angle);

	void set_look_at(const Vector3 &p_eye, const Vector3 &p_target, const Vector3 &p_up = Vector3(0, 1, 0), bool p_use_model_front = false);
	Transform3D looking_at(const Vector3 &p_target, const Vector3 &p_up = Vector3(0, 1, 0), bool p_use_model_front = false) const;

	void scale(const Vector3 &p_scale);
	Transform3D scaled(const Vector3 &p_scale) const;
	Transform3D scaled_local(const Vector3 &p_scale) const;
	void scale_basis(const Vector3 &p_scale);
	void translate_local(real_t p_tx, real_t p_ty, real_t p_tz);
	void translate_local(const Vector3 &p_translation);
	Transform3D translated(const Vector3 &p_translation) const;
	Transform3D translated_local(const Vector3 &p_translation) const;

	const Basis &get_basis() const { return basis; }
	void set_basis(const Basis &p_basis) { basis = p_basis; }
	const Vector3 &get_origin() const { return origin; }
	void set_origin(const Vector3 &p_origin) { origin = p_origin; }

	void orthonormalize();
	Transform3D orthonormalized() const;
	void orthogonalize();
	Transform3D orthogonalized() const;
	bool is_equal_approx(const Transform3D &p_transform) const;
	bool is_finite() const;

	bool operator==(const Transform3D &p_transform) const { return basis == p_transform.basis && origin == p_transform.origin; }
	bool operator!=(const Transform3D &p_transform) const { return basis != p_transform.basis || origin != p_transform.origin; }

	_FORCE_INLINE_ Vector3 xform(const Vector3 &p_vector) const {
		return Vector3(
				basis[0].dot(p_vector) + origin.x,
				basis[1].dot(p_vector) + origin.y,
				basis[2].dot(p_vector) + origin.z);
	}
	// Exact inverse only for orthonormal bases, like inverse().
	_FORCE_INLINE_ Vector3 xform_inv(const Vector3 &p_vector) const {
		Vector3 v = p_vector - origin;
		return Vector3(
				(basis.rows[0][0] * v.x) + (basis.rows[1][0] * v.y) + (basis.rows[2][0] * v.z),
				(basis.rows[0][1] * v.x) + (basis.rows[1][1] * v.y) + (basis.rows[2][1] * v.z),
				(basis.rows[0][2] * v.x) + (basis.rows[1][2] * v.y) + (basis.rows[2][2] * v.z));
	}
	Plane xform(const Plane &p_plane) const;
	Plane xform_inv(const Plane &p_plane) const;
	AABB xform(const AABB &p_aabb) const;
	AABB xform_inv(const AABB &p_aabb) const;

	void operator*=(const Transform3D &p_transform);
	Transform3D operator*(const Transform3D &p_transform) const;
	void operator*=(real_t p_val);
	Transform3D operator*(real_t p_val) const;
	void operator/=(real_t p_val);
	Transform3D operator/(real_t p_val) const;

	Transform3D interpolate_with(const Transform3D &p_transform, real_t p_c) const;

	void set(real_t p_xx, real_t p_xy, real_t p_xz, real_t p_yx, real_t p_yy, real_t p_yz, real_t p_zx, real_t p_zy, real_t p_zz, real_t p_tx, real_t p_ty, real_t p_tz) {
		basis.set(p_xx, p_xy, p_xz, p_yx, p_yy, p_yz, p_zx, p_zy, p_zz);
		origin.x = p_tx;
		origin.y = p_ty;
		origin.z = p_tz;
	}

	Transform3D() {}
	Transform3D(const Basis &p_basis, const Vector3 &p_origin = Vector3()) : basis(p_basis), origin(p_origin) {}
	// Axes are the basis columns.
	Transform3D(const Vector3 &p_x, const Vector3 &p_y, const Vector3 &p_z, const Vector3 &p_origin) : basis(p_x, p_y, p_z), origin(p_origin) {}
	// Basis values row-major, then the origin.
	Transform3D(real_t p_xx, real_t p_xy, real_t p_xz, real_t p_yx, real_t p_yy, real_t p_yz, real_t p_zx, real_t p_zy, real_t p_zz, real_t p_ox, real_t p_oy, real_t p_oz) :
			basis(p_xx, p_xy, p_xz, p_yx, p_yy, p_yz, p_zx, p_zy, p_zz), origin(p_ox, p_oy, p_oz) {}
};

} // namespace godot

#pragma GCC visibility pop

#endif // GODOT_TRANSFORM3D_HPP
