#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/basis.hpp>

namespace godot {

#define cofac(row1, col1, row2, col2) \
	(rows[row1][col1] * rows[row2][col2] - rows[row1][col2] * rows[row2][col1])

void Basis::invert() {
	real_t co[3] = {
		cofac(1, 1, 2, 2), cofac(1, 2, 2, 0), cofac(1, 0, 2, 1)
	};
	real_t det = rows[0][0] * co[0] + rows[0][1] * co[1] + rows[0][2] * co[2];
	ERR_FAIL_COND(det == 0);
	real_t s = 1.0f / det;
	set(co[0] * s, cofac(0, 2, 2, 1) * s, cofac(0, 1, 1, 2) * s,
			co[1] * s, cofac(0, 0, 2, 2) * s, cofac(0, 2, 1, 0) * s,
			co[2] * s, cofac(0, 1, 2, 0) * s, cofac(0, 0, 1, 1) * s);
}

#undef cofac

Basis Basis::inverse() const {
	Basis inv = *this;
	inv.invert();
	return inv;
}

void Basis::transpose() {
	real_t t = rows[0][1];
	rows[0][1] = rows[1][0];
	rows[1][0] = t;
	t = rows[0][2];
	rows[0][2] = rows[2][0];
	rows[2][0] = t;
	t = rows[1][2];
	rows[1][2] = rows[2][1];
	rows[2][1] = t;
}

Basis Basis::transposed() const {
	Basis tr = *this;
	tr.transpose();
	return tr;
}

void Basis::orthonormalize() {
	// Gram-Schmidt on the columns, X first so it keeps its direction.
	Vector3 x = get_column(0);
	Vector3 y = get_column(1);
	Vector3 z = get_column(2);

	x.normalize();
	y = y - x * x.dot(y);
	y.normalize();
	z = z - x * x.dot(z) - y * y.dot(z);
	z.normalize();

	set_columns(x, y, z);
}

Basis Basis::orthonormalized() const {
	Basis c = *this;
	c.orthonormalize();
	return c;
}

void Basis::orthogonalize() {
	Vector3 scl = get_scale();
	orthonormalize();
	scale_local(scl);
}

Basis Basis::orthogonalized() const {
	Basis c = *this;
	c.orthogonalize();
	return c;
}

bool Basis::is_orthogonal() const {
	const Vector3 x = get_column(0);
	const Vector3 y = get_column(1);
	const Vector3 z = get_column(2);
	return Math::is_zero_approx(x.dot(y)) && Math::is_zero_approx(x.dot(z)) && Math::is_zero_approx(y.dot(z));
}

bool Basis::is_orthonormal() const {
	return is_orthogonal() && Math::is_equal_approx(get_column(0).length_squared(), (real_t)1) &&
			Math::is_equal_approx(get_column(1).length_squared(), (real_t)1) &&
			Math::is_equal_approx(get_column(2).length_squared(), (real_t)1);
}

bool Basis::is_conformal() const {
	const real_t x_len_sq = get_column(0).length_squared();
	return is_orthogonal() && Math::is_equal_approx(x_len_sq, get_column(1).length_squared()) &&
			Math::is_equal_approx(x_len_sq, get_column(2).length_squared());
}

bool Basis::is_diagonal() const {
	return Math::is_zero_approx(rows[0][1]) && Math::is_zero_approx(rows[0][2]) &&
			Math::is_zero_approx(rows[1][0]) && Math::is_zero_approx(rows[1][2]) &&
			Math::is_zero_approx(rows[2][0]) && Math::is_zero_approx(rows[2][1]);
}

bool Basis::is_rotation() const {
	return is_orthonormal() && Math::is_equal_approx(determinant(), (real_t)1, (real_t)UNIT_EPSILON);
}

void Basis::_set_diagonal(const Vector3 &p_diag) {
	set(p_diag.x, 0, 0, 0, p_diag.y, 0, 0, 0, p_diag.z);
}

void Basis::scale(const Vector3 &p_scale) {
	rows[0] *= p_scale.x;
	rows[1] *= p_scale.y;
	rows[2] *= p_scale.z;
}

Basis Basis::scaled(const Vector3 &p_scale) const {
	Basis m = *this;
	m.scale(p_scale);
	return m;
}

void Basis::scale_local(const Vector3 &p_scale) {
	*this = scaled_local(p_scale);
}

Basis Basis::scaled_local(const Vector3 &p_scale) const {
	return (*this) * Basis::from_scale(p_scale);
}

Vector3 Basis::get_scale_abs() const {
	return Vector3(get_column(0).length(), get_column(1).length(), get_column(2).length());
}

Vector3 Basis::get_scale_local() const {
	real_t det_sign = SIGN(determinant());
	return Vector3(rows[0].length(), rows[1].length(), rows[2].length()) * det_sign;
}

Vector3 Basis::get_scale() const {
	// A reflection is reported as negative scale on all three axes.
	real_t det_sign = SIGN(determinant());
	return get_scale_abs() * det_sign;
}

void Basis::rotate(const Vector3 &p_axis, real_t p_angle) {
	*this = rotated(p_axis, p_angle);
}

Basis Basis::rotated(const Vector3 &p_axis, real_t p_angle) const {
	return Basis(p_axis, p_angle) * (*this);
}

void Basis::rotate_local(const Vector3 &p_axis, real_t p_angle) {
	*this = rotated_local(p_axis, p_angle);
}

Basis Basis::rotated_local(const Vector3 &p_axis, real_t p_angle) const {
	return (*this) * Basis(p_axis, p_angle);
}

void Basis::rotate(const Quaternion &p_quaternion) {
	*this = rotated(p_quaternion);
}

Basis Basis::rotated(const Quaternion &p_quaternion) const {
	return Basis(p_quaternion) * (*this);
}

Basis Basis::orthonormalized_rotation() const {
	Basis m = orthonormalized();
	if (m.determinant() < 0) {
		// Fold a reflection into the scale so what's left is a proper rotation.
		m.scale(Vector3(-1, -1, -1));
	}
	return m;
}

Quaternion Basis::get_rotation_quaternion() const {
	return orthonormalized_rotation().get_quaternion();
}

Quaternion Basis::get_quaternion() const {
	// Pick the numerically safest branch: trace if positive, else the largest diagonal entry.
	real_t trace = rows[0][0] + rows[1][1] + rows[2][2];
	real_t temp[4];

	if (trace > 0.0f) {
		real_t s = Math::sqrt(trace + 1.0f);
		temp[3] = s * 0.5f;
		s = 0.5f / s;
		temp[0] = (rows[2][1] - rows[1][2]) * s;
		temp[1] = (rows[0][2] - rows[2][0]) * s;
		temp[2] = (rows[1][0] - rows[0][1]) * s;
	} else {
		int i = rows[0][0] < rows[1][1] ? (rows[1][1] < rows[2][2] ? 2 : 1) : (rows[0][0] < rows[2][2] ? 2 : 0);
		int j = (i + 1) % 3;
		int k = (i + 2) % 3;

		real_t s = Math::sqrt(rows[i][i] - rows[j][j] - rows[k][k] + 1.0f);
		temp[i] = s * 0.5f;
		s = 0.5f / s;
		temp[3] = (rows[k][j] - rows[j][k]) * s;
		temp[j] = (rows[j][i] + rows[i][j]) * s;
		temp[k] = (rows[k][i] + rows[i][k]) * s;
	}
	return Quaternion(temp[0], temp[1], temp[2], temp[3]);
}

void Basis::set_quaternion(const Quaternion &p_quaternion) {
	real_t d = p_quaternion.length_squared();
	real_t s = 2.0f / d;
	real_t xs = p_quaternion.x * s, ys = p_quaternion.y * s, zs = p_quaternion.z * s;
	real_t wx = p_quaternion.w * xs, wy = p_quaternion.w * ys, wz = p_quaternion.w * zs;
	real_t xx = p_quaternion.x * xs, xy = p_quaternion.x * ys, xz = p_quaternion.x * zs;
	real_t yy = p_quaternion.y * ys, yz = p_quaternion.y * zs, zz = p_quaternion.z * zs;
	set(1.0f - (yy + zz), xy - wz, xz + wy,
			xy + wz, 1.0f - (xx + zz), yz - wx,
			xz - wy, yz + wx, 1.0f - (xx + yy));
}

void Basis::set_axis_angle(const Vector3 &p_axis, real_t p_angle) {
	// Rodrigues' formula; p_axis must be normalised. Evaluation order is kept
	// as is so results match the engine bit for bit.
	Vector3 axis_sq(p_axis.x * p_axis.x, p_axis.y * p_axis.y, p_axis.z * p_axis.z);
	real_t cosine = Math::cos(p_angle);
	rows[0][0] = axis_sq.x + cosine * (1.0f - axis_sq.x);
	rows[1][1] = axis_sq.y + cosine * (1.0f - axis_sq.y);
	rows[2][2] = axis_sq.z + cosine * (1.0f - axis_sq.z);

	real_t sine = Math::sin(p_angle);
	real_t t = 1 - cosine;

	real_t xyzt = p_axis.x * p_axis.y * t;
	real_t zyxs = p_axis.z * sine;
	rows[0][1] = xyzt - zyxs;
	rows[1][0] = xyzt + zyxs;

	xyzt = p_axis.x * p_axis.z * t;
	zyxs = p_axis.y * sine;
	rows[0][2] = xyzt + zyxs;
	rows[2][0] = xyzt - zyxs;

	xyzt = p_axis.y * p_axis.z * t;
	zyxs = p_axis.x * sine;
	rows[1][2] = xyzt - zyxs;
	rows[2][1] = xyzt + zyxs;
}

void Basis::get_axis_angle(Vector3 &r_axis, real_t &r_angle) const {
	Quaternion q = get_quaternion().normalized();
	if (q.w < 0) {
		q = -q; // Same rotation; keeps the angle in [0, pi].
	}
	Vector3 v(q.x, q.y, q.z);
	real_t s = v.length();
	if (s < (real_t)CMP_EPSILON) {
		r_axis = Vector3(0, 1, 0);
		r_angle = 0;
		return;
	}
	r_axis = v / s;
	r_angle = 2.0f * Math::atan2(s, q.w);
}

void Basis::set_axis_angle_scale(const Vector3 &p_axis, real_t p_angle, const Vector3 &p_scale) {
	_set_diagonal(p_scale);
	rotate(p_axis, p_angle);
}

void Basis::set_euler_scale(const Vector3 &p_euler, const Vector3 &p_scale, EulerOrder p_order) {
	_set_diagonal(p_scale);
	*this = Basis::from_euler(p_euler, p_order) * (*this);
}

void Basis::set_quaternion_scale(const Quaternion &p_quaternion, const Vector3 &p_scale) {
	_set_diagonal(p_scale);
	rotate(p_quaternion);
}

namespace {

// Axes of an Euler order in composition order: basis = R[i] * R[j] * R[k].
struct EulerAxes {
	int i, j, k;
};

EulerAxes euler_axes(EulerOrder p_order) {
	switch (p_order) {
		case EULER_ORDER_XYZ:
			return { 0, 1, 2 };
		case EULER_ORDER_XZY:
			return { 0, 2, 1 };
		case EULER_ORDER_YXZ:
			return { 1, 0, 2 };
		case EULER_ORDER_YZX:
			return { 1, 2, 0 };
		case EULER_ORDER_ZXY:
			return { 2, 0, 1 };
		case EULER_ORDER_ZYX:
			return { 2, 1, 0 };
	}
	return { 1, 0, 2 };
}

bool valid_euler_order(EulerOrder p_order) {
	return p_order >= EULER_ORDER_XYZ && p_order <= EULER_ORDER_ZYX;
}

} // namespace

void Basis::set_euler(const Vector3 &p_euler, EulerOrder p_order) {
	ERR_FAIL_COND_MSG(!valid_euler_order(p_order), "Invalid Euler order.");

	real_t c = Math::cos(p_euler.x);
	real_t s = Math::sin(p_euler.x);
	Basis xmat(1, 0, 0, 0, c, -s, 0, s, c);

	c = Math::cos(p_euler.y);
	s = Math::sin(p_euler.y);
	Basis ymat(c, 0, s, 0, 1, 0, -s, 0, c);

	c = Math::cos(p_euler.z);
	s = Math::sin(p_euler.z);
	Basis zmat(c, -s, 0, s, c, 0, 0, 0, 1);

	const Basis *mats[3] = { &xmat, &ymat, &zmat };
	EulerAxes ax = euler_axes(p_order);
	if (p_order == EULER_ORDER_XYZ) {
		*this = *mats[ax.i] * (*mats[ax.j] * *mats[ax.k]);
	} else {
		*this = *mats[ax.i] * *mats[ax.j] * *mats[ax.k];
	}
}

Vector3 Basis::get_euler(EulerOrder p_order) const {
	ERR_FAIL_COND_V_MSG(!valid_euler_order(p_order), Vector3(), "Invalid Euler order.");

	// For R = R_i(a) R_j(b) R_k(c), the (i, k) entry is +-sin(b); the sign is
	// + when (i, j, k) is a cyclic permutation of (x, y, z).
	EulerAxes ax = euler_axes(p_order);
	const int i = ax.i, j = ax.j, k = ax.k;
	const real_t p = ((j - i + 3) % 3 == 1) ? 1.0f : -1.0f;

	Vector3 euler;
	real_t sb = p * rows[i][k];
	if (sb < (1.0f - (real_t)CMP_EPSILON) && sb > -(1.0f - (real_t)CMP_EPSILON)) {
		euler[i] = Math::atan2(-p * rows[j][k], rows[k][k]);
		euler[j] = Math::asin(sb);
		euler[k] = Math::atan2(-p * rows[i][j], rows[i][i]);
	} else {
		// Gimbal lock: only a + c (or a - c) is defined, so put it all in a.
		euler[i] = Math::atan2(p * rows[k][j], rows[j][j]);
		euler[j] = sb > 0 ? (real_t)(Math_PI * 0.5) : (real_t)(-Math_PI * 0.5);
		euler[k] = 0;
	}
	return euler;
}

Basis Basis::lerp(const Basis &p_to, real_t p_weight) const {
	Basis b;
	b.rows[0] = rows[0].lerp(p_to.rows[0], p_weight);
	b.rows[1] = rows[1].lerp(p_to.rows[1], p_weight);
	b.rows[2] = rows[2].lerp(p_to.rows[2], p_weight);
	return b;
}

Basis Basis::slerp(const Basis &p_to, real_t p_weight) const {
	Quaternion from = get_rotation_quaternion();
	Quaternion to = p_to.get_rotation_quaternion();
	return Basis(from.slerp(to, p_weight).normalized(), get_scale().lerp(p_to.get_scale(), p_weight));
}

Basis Basis::looking_at(const Vector3 &p_target, const Vector3 &p_up, bool p_use_model_front) {
	ERR_FAIL_COND_V_MSG(p_target.is_zero_approx(), Basis(), "The target vector can't be zero.");
	ERR_FAIL_COND_V_MSG(p_up.is_zero_approx(), Basis(), "The up vector can't be zero.");
	Vector3 v_z = p_target.normalized();
	if (!p_use_model_front) {
		v_z = -v_z;
	}
	Vector3 v_x = p_up.cross(v_z);
	ERR_FAIL_COND_V_MSG(v_x.is_zero_approx(), Basis(), "The target vector and up vector can't be parallel to each other.");
	v_x.normalize();
	Vector3 v_y = v_z.cross(v_x);

	Basis b;
	b.set_columns(v_x, v_y, v_z);
	return b;
}

} // namespace godot
