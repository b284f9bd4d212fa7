#ifndef GODOT_BASIS_HPP
#define GODOT_BASIS_HPP

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/math.hpp>
#include <godot_cpp/variant/quaternion.hpp>
#include <godot_cpp/variant/vector3.hpp>

// Default visibility via pragma: see vector2.hpp.
#pragma GCC visibility push(default)

namespace godot {

// Row-major 3x3 matrix. rows[i] is row i; the basis axes are the columns.
// There is deliberately no operator*(const Vector3 &): use xform().
struct [[nodiscard]] Basis {
	Vector3 rows[3] = {
		Vector3(1, 0, 0),
		Vector3(0, 1, 0),
		Vector3(0, 0, 1),
	};

	_FORCE_INLINE_ const Vector3 &operator[](int p_row) const { return rows[p_row]; }
	_FORCE_INLINE_ Vector3 &operator[](int p_row) { return rows[p_row]; }

	void invert();
	void transpose();
	Basis inverse() const;
	Basis transposed() const;
	_FORCE_INLINE_ real_t determinant() const {
		return rows[0][0] * (rows[1][1] * rows[2][2] - rows[2][1] * rows[1][2]) -
				rows[1][0] * (rows[0][1] * rows[2][2] - rows[2][1] * rows[0][2]) +
				rows[2][0] * (rows[0][1] * rows[1][2] - rows[1][1] * rows[0][2]);
	}

	// Rotations and scales without _local act in the parent frame (left multiply),
	// the _local variants in the basis' own frame (right multiply).
	void rotate(const Vector3 &p_axis, real_t p_angle);
	Basis rotated(const Vector3 &p_axis, real_t p_angle) const;
	void rotate_local(const Vector3 &p_axis, real_t p_angle);
	Basis rotated_local(const Vector3 &p_axis, real_t p_angle) const;
	void rotate(const Quaternion &p_quaternion);
	Basis rotated(const Quaternion &p_quaternion) const;

	Vector3 get_euler(EulerOrder p_order = EULER_ORDER_YXZ) const;
	void set_euler(const Vector3 &p_euler, EulerOrder p_order = EULER_ORDER_YXZ);
	static Basis from_euler(const Vector3 &p_euler, EulerOrder p_order = EULER_ORDER_YXZ) {
		Basis b;
		b.set_euler(p_euler, p_order);
		return b;
	}

	Quaternion get_quaternion() const;
	void set_quaternion(const Quaternion &p_quaternion);
	// Rotation part only: scale (and reflection) removed first.
	Quaternion get_rotation_quaternion() const;
	Vector3 get_rotation_euler() const { return orthonormalized_rotation().get_euler(); }
	void get_rotation_axis_angle(Vector3 &p_axis, real_t &p_angle) const { orthonormalized_rotation().get_axis_angle(p_axis, p_angle); }

	void get_axis_angle(Vector3 &r_axis, real_t &r_angle) const;
	void set_axis_angle(const Vector3 &p_axis, real_t p_angle);

	void scale(const Vector3 &p_scale);
	Basis scaled(const Vector3 &p_scale) const;
	void scale_local(const Vector3 &p_scale);
	Basis scaled_local(const Vector3 &p_scale) const;
	// Column lengths, negated when the basis flips handedness.
	Vector3 get_scale() const;
	Vector3 get_scale_abs() const;
	Vector3 get_scale_local() const;

	void set_axis_angle_scale(const Vector3 &p_axis, real_t p_angle, const Vector3 &p_scale);
	void set_euler_scale(const Vector3 &p_euler, const Vector3 &p_scale, EulerOrder p_order = EULER_ORDER_YXZ);
	void set_quaternion_scale(const Quaternion &p_quaternion, const Vector3 &p_scale);

	// Dot products of v with a column.
	_FORCE_INLINE_ real_t tdotx(const Vector3 &p_v) const { return rows[0][0] * p_v[0] + rows[1][0] * p_v[1] + rows[2][0] * p_v[2]; }
	_FORCE_INLINE_ real_t tdoty(const Vector3 &p_v) const { return rows[0][1] * p_v[0] + rows[1][1] * p_v[1] + rows[2][1] * p_v[2]; }
	_FORCE_INLINE_ real_t tdotz(const Vector3 &p_v) const { return rows[0][2] * p_v[0] + rows[1][2] * p_v[1] + rows[2][2] * p_v[2]; }

	bool is_equal_approx(const Basis &p_basis) const {
		return rows[0].is_equal_approx(p_basis.rows[0]) && rows[1].is_equal_approx(p_basis.rows[1]) && rows[2].is_equal_approx(p_basis.rows[2]);
	}
	bool is_finite() const { return rows[0].is_finite() && rows[1].is_finite() && rows[2].is_finite(); }

	bool operator==(const Basis &p_matrix) const {
		return rows[0] == p_matrix.rows[0] && rows[1] == p_matrix.rows[1] && rows[2] == p_matrix.rows[2];
	}
	bool operator!=(const Basis &p_matrix) const { return !(*this == p_matrix); }

	_FORCE_INLINE_ Vector3 xform(const Vector3 &p_vector) const {
		return Vector3(rows[0].dot(p_vector), rows[1].dot(p_vector), rows[2].dot(p_vector));
	}
	// Transpose multiply: the inverse only for orthonormal bases.
	_FORCE_INLINE_ Vector3 xform_inv(const Vector3 &p_vector) const {
		return Vector3(
				(rows[0][0] * p_vector.x) + (rows[1][0] * p_vector.y) + (rows[2][0] * p_vector.z),
				(rows[0][1] * p_vector.x) + (rows[1][1] * p_vector.y) + (rows[2][1] * p_vector.z),
				(rows[0][2] * p_vector.x) + (rows[1][2] * p_vector.y) + (rows[2][2] * p_vector.z));
	}

	_FORCE_INLINE_ void operator*=(const Basis &p_matrix) {
		set(p_matrix.tdotx(rows[0]), p_matrix.tdoty(rows[0]), p_matrix.tdotz(rows[0]),
				p_matrix.tdotx(rows[1]), p_matrix.tdoty(rows[1]), p_matrix.tdotz(rows[1]),
				p_matrix.tdotx(rows[2]), p_matrix.tdoty(rows[2]), p_matrix.tdotz(rows[2]));
	}
	_FORCE_INLINE_ Basis operator*(const Basis &p_matrix) const {
		return Basis(p_matrix.tdotx(rows[0]), p_matrix.tdoty(rows[0]), p_matrix.tdotz(rows[0]),
				p_matrix.tdotx(rows[1]), p_matrix.tdoty(rows[1]), p_matrix.tdotz(rows[1]),
				p_matrix.tdotx(rows[2]), p_matrix.tdoty(rows[2]), p_matrix.tdotz(rows[2]));
	}
	_FORCE_INLINE_ void operator+=(const Basis &p_matrix) {
		rows[0] += p_matrix.rows[0];
		rows[1] += p_matrix.rows[1];
		rows[2] += p_matrix.rows[2];
	}
	_FORCE_INLINE_ Basis operator+(const Basis &p_matrix) const {
		Basis ret(*this);
		ret += p_matrix;
		return ret;
	}
	_FORCE_INLINE_ void operator-=(const Basis &p_matrix) {
		rows[0] -= p_matrix.rows[0];
		rows[1] -= p_matrix.rows[1];
		rows[2] -= p_matrix.rows[2];
	}
	_FORCE_INLINE_ Basis operator-(const Basis &p_matrix) const {
		Basis ret(*this);
		ret -= p_matrix;
		return ret;
	}
	_FORCE_INLINE_ void operator*=(real_t p_val) {
		rows[0] *= p_val;
		rows[1] *= p_val;
		rows[2] *= p_val;
	}
	_FORCE_INLINE_ Basis operator*(real_t p_val) const {
		Basis ret(*this);
		ret *= p_val;
		return ret;
	}
	_FORCE_INLINE_ void operator/=(real_t p_val) {
		rows[0] /= p_val;
		rows[1] /= p_val;
		rows[2] /= p_val;
	}
	_FORCE_INLINE_ Basis operator/(real_t p_val) const {
		Basis ret(*this);
		ret /= p_val;
		return ret;
	}

	bool is_orthogonal() const;
	bool is_orthonormal() const;
	bool is_conformal() const;
	bool is_diagonal() const;
	bool is_rotation() const;

	Basis lerp(const Basis &p_to, real_t p_weight) const;
	Basis slerp(const Basis &p_to, real_t p_weight) const;

	_FORCE_INLINE_ void set(real_t p_xx, real_t p_xy, real_t p_xz, real_t p_yx, real_t p_yy, real_t p_yz, real_t p_zx, real_t p_zy, real_t p_zz) {
		rows[0] = Vector3(p_xx, p_xy, p_xz);
		rows[1] = Vector3(p_yx, p_yy, p_yz);
		rows[2] = Vector3(p_zx, p_zy, p_zz);
	}
	_FORCE_INLINE_ void set_columns(const Vector3 &p_x, const Vector3 &p_y, const Vector3 &p_z) {
		set_column(0, p_x);
		set_column(1, p_y);
		set_column(2, p_z);
	}
	_FORCE_INLINE_ Vector3 get_column(int p_index) const {
		return Vector3(rows[0][p_index], rows[1][p_index], rows[2][p_index]);
	}
	_FORCE_INLINE_ void set_column(int p_index, const Vector3 &p_value) {
		rows[0][p_index] = p_value.x;
		rows[1][p_index] = p_value.y;
		rows[2][p_index] = p_value.z;
	}
	_FORCE_INLINE_ Vector3 get_main_diagonal() const { return Vector3(rows[0][0], rows[1][1], rows[2][2]); }
	_FORCE_INLINE_ void set_zero() {
		rows[0].zero();
		rows[1].zero();
		rows[2].zero();
	}
	_FORCE_INLINE_ Basis transpose_xform(const Basis &p_m) const {
		return Basis(
				rows[0].x * p_m[0].x + rows[1].x * p_m[1].x + rows[2].x * p_m[2].x,
				rows[0].x * p_m[0].y + rows[1].x * p_m[1].y + rows[2].x * p_m[2].y,
				rows[0].x * p_m[0].z + rows[1].x * p_m[1].z + rows[2].x * p_m[2].z,
				rows[0].y * p_m[0].x + rows[1].y * p_m[1].x + rows[2].y * p_m[2].x,
				rows[0].y * p_m[0].y + rows[1].y * p_m[1].y + rows[2].y * p_m[2].y,
				rows[0].y * p_m[0].z + rows[1].y * p_m[1].z + rows[2].y * p_m[2].z,
				rows[0].z * p_m[0].x + rows[1].z * p_m[1].x + rows[2].z * p_m[2].x,
				rows[0].z * p_m[0].y + rows[1].z * p_m[1].y + rows[2].z * p_m[2].y,
				rows[0].z * p_m[0].z + rows[1].z * p_m[1].z + rows[2].z * p_m[2].z);
	}

	void orthonormalize();
	Basis orthonormalized() const;
	void orthogonalize();
	Basis orthogonalized() const;

	// Columns: -Z (or +Z with p_use_model_front) faces p_target, Y leans towards p_up.
	static Basis looking_at(const Vector3 &p_target, const Vector3 &p_up = Vector3(0, 1, 0), bool p_use_model_front = false);
	static Basis from_scale(const Vector3 &p_scale) { return Basis(p_scale.x, 0, 0, 0, p_scale.y, 0, 0, 0, p_scale.z); }

	operator Quaternion() const { return get_quaternion(); }

	Basis(real_t p_xx, real_t p_xy, real_t p_xz, real_t p_yx, real_t p_yy, real_t p_yz, real_t p_zx, real_t p_zy, real_t p_zz) {
		set(p_xx, p_xy, p_xz, p_yx, p_yy, p_yz, p_zx, p_zy, p_zz);
	}
	Basis(const Quaternion &p_quaternion) { set_quaternion(p_quaternion); }
	Basis(const Quaternion &p_quaternion, const Vector3 &p_scale) { set_quaternion_scale(p_quaternion, p_scale); }
	Basis(const Vector3 &p_axis, real_t p_angle) { set_axis_angle(p_axis, p_angle); }
	Basis(const Vector3 &p_axis, real_t p_angle, const Vector3 &p_scale) { set_axis_angle_scale(p_axis, p_angle, p_scale); }
	// Takes the three axes, i.e. the columns.
	Basis(const Vector3 &p_x_axis, const Vector3 &p_y_axis, const Vector3 &p_z_axis) { set_columns(p_x_axis, p_y_axis, p_z_axis); }
	Basis() {}

private:
	void _set_diagonal(const Vector3 &p_diag);
	Basis orthonormalized_rotation() const;
};

} // namespace godot

#pragma GCC visibility pop

#endif // GODOT_BASIS_HPP
