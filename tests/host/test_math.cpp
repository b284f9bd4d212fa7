#include <godot_cpp/core/math.hpp>
#include <godot_cpp/variant/aabb.hpp>
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/color.hpp>
#include <godot_cpp/variant/plane.hpp>
#include <godot_cpp/variant/quaternion.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector3.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <type_traits>

using namespace godot;

// Readable failure output; internal linkage so other test files can do the same.
namespace godot {
static void PrintTo(const Vector3 &p_v, std::ostream *r_os) {
	*r_os << "(" << p_v.x << ", " << p_v.y << ", " << p_v.z << ")";
}
static void PrintTo(const Basis &p_b, std::ostream *r_os) {
	*r_os << "[";
	for (int i = 0; i < 3; i++) {
		PrintTo(p_b.rows[i], r_os);
	}
	*r_os << "]";
}
static void PrintTo(const Color &p_c, std::ostream *r_os) {
	*r_os << "rgba(" << p_c.r << ", " << p_c.g << ", " << p_c.b << ", " << p_c.a << ")";
}
} // namespace godot

namespace {

constexpr real_t QUARTER_TURN = 1.5707964f; // Nearest float to pi/2.

::testing::AssertionResult near(const Vector3 &p_a, const Vector3 &p_b, real_t p_eps = 1e-5f) {
	for (int i = 0; i < 3; i++) {
		if (!(std::fabs(p_a[i] - p_b[i]) <= p_eps)) {
			return ::testing::AssertionFailure() << "(" << p_a.x << ", " << p_a.y << ", " << p_a.z << ") vs ("
												 << p_b.x << ", " << p_b.y << ", " << p_b.z << "), eps " << p_eps;
		}
	}
	return ::testing::AssertionSuccess();
}

::testing::AssertionResult near(const Basis &p_a, const Basis &p_b, real_t p_eps = 1e-5f) {
	for (int i = 0; i < 3; i++) {
		::testing::AssertionResult r = near(p_a.rows[i], p_b.rows[i], p_eps);
		if (!r) {
			return r << " in row " << i;
		}
	}
	return ::testing::AssertionSuccess();
}

::testing::AssertionResult near(const Transform3D &p_a, const Transform3D &p_b, real_t p_eps = 1e-5f) {
	::testing::AssertionResult r = near(p_a.basis, p_b.basis, p_eps);
	if (!r) {
		return r;
	}
	return near(p_a.origin, p_b.origin, p_eps) << " in origin";
}

// Same rotation if q1 == q2 or q1 == -q2.
::testing::AssertionResult same_rotation(const Quaternion &p_a, const Quaternion &p_b, real_t p_eps = 1e-5f) {
	if (std::fabs(std::fabs(p_a.dot(p_b)) - 1.0f) <= p_eps) {
		return ::testing::AssertionSuccess();
	}
	return ::testing::AssertionFailure() << "(" << p_a.x << ", " << p_a.y << ", " << p_a.z << ", " << p_a.w << ") vs ("
										 << p_b.x << ", " << p_b.y << ", " << p_b.z << ", " << p_b.w << ")";
}

// A skewed, scaled, non-symmetric matrix: catches transposition and order mistakes.
Basis sample_affine() {
	return Basis(2, 0.5f, -1, 0.25f, 1.5f, 0.75f, -0.5f, 1, 3);
}

template <typename T, typename = void>
struct has_vector_product : std::false_type {};
template <typename T>
struct has_vector_product<T, std::void_t<decltype(std::declval<const T &>() * std::declval<const Vector3 &>())>> : std::true_type {};

} // namespace

// ---------------------------------------------------------------------------
// Scalar helpers

TEST(MathHelpers, ApproxEqualityScalesWithMagnitude) {
	EXPECT_TRUE(Math::is_equal_approx(1.0f, 1.000001f));
	EXPECT_FALSE(Math::is_equal_approx(1.0f, 1.0001f));
	// Relative tolerance: 1e-5 of 100000 is 1.
	EXPECT_TRUE(Math::is_equal_approx(100000.0f, 100000.5f));
	EXPECT_TRUE(Math::is_equal_approx(INFINITY, INFINITY));
	EXPECT_TRUE(Math::is_equal_approx(1.0f, 1.05f, 0.1f));
	EXPECT_TRUE(Math::is_zero_approx(5e-6f));
	EXPECT_FALSE(Math::is_zero_approx(2e-5f));
}

TEST(MathHelpers, WrappingAndAngles) {
	EXPECT_FLOAT_EQ(Math::fposmod(-1.0f, 3.0f), 2.0f);
	EXPECT_EQ(Math::posmod(int64_t(-7), int64_t(3)), 2);
	EXPECT_FLOAT_EQ(Math::wrapf(370.0f, 0.0f, 360.0f), 10.0f);
	EXPECT_FLOAT_EQ(Math::wrapf(-10.0f, 0.0f, 360.0f), 350.0f);
	// Short way round across the +-pi seam.
	float mid = Math::lerp_angle(3.0f, -3.0f, 0.5f);
	EXPECT_NEAR(std::fabs(mid), (float)Math_PI, 1e-5f);
	EXPECT_FLOAT_EQ(Math::rad_to_deg(Math::deg_to_rad(90.0f)), 90.0f);
	// Rounding noise just outside [-1, 1] must not produce NaN.
	EXPECT_FLOAT_EQ(Math::acos(1.0000001f), 0.0f);
	EXPECT_FALSE(Math::is_nan(Math::asin(-1.0000001f)));
	EXPECT_FLOAT_EQ(Math::move_toward(1.0f, 5.0f, 1.5f), 2.5f);
	EXPECT_FLOAT_EQ(Math::move_toward(1.0f, 2.0f, 5.0f), 2.0f);
	EXPECT_FLOAT_EQ(Math::snapped(0.74f, 0.25f), 0.75f);
	EXPECT_EQ(CLAMP(7, 0, 5), 5);
	EXPECT_EQ(SIGN(-3.0f), -1.0f);
}

TEST(MathHelpers, FloatOverloadsStaySinglePrecision) {
	static_assert(std::is_same<decltype(Math::sin(1.0f)), float>::value, "");
	static_assert(std::is_same<decltype(Math::sqrt(1.0f)), float>::value, "");
	static_assert(std::is_same<decltype(Math::sin(1.0)), double>::value, "");
	EXPECT_EQ(Math::cos(QUARTER_TURN), cosf(QUARTER_TURN));
}

// ---------------------------------------------------------------------------
// Vectors

TEST(Vector3, ComparisonIsExactAndLexicographic) {
	Vector3 a(0.1f, 0.2f, 0.3f);
	Vector3 b = a;
	b.z = std::nextafter(b.z, 1.0f);
	EXPECT_FALSE(a == b);
	EXPECT_TRUE(a != b);
	EXPECT_TRUE(a.is_equal_approx(b));

	EXPECT_TRUE(Vector3(1, 9, 9) < Vector3(2, 0, 0));
	EXPECT_TRUE(Vector3(1, 2, 9) < Vector3(1, 3, 0));
	EXPECT_TRUE(Vector3(1, 2, 3) < Vector3(1, 2, 4));
	EXPECT_FALSE(Vector3(1, 2, 3) < Vector3(1, 2, 3));
	EXPECT_TRUE(Vector3(1, 2, 3) <= Vector3(1, 2, 3));
	EXPECT_TRUE(Vector3(1, 3, 0) > Vector3(1, 2, 9));
}

TEST(Vector3, LengthAndNormalization) {
	EXPECT_EQ(Vector3().normalized(), Vector3());
	EXPECT_EQ(Vector3(3, 4, 12).length(), 13.0f);
	float x = 0.1f, y = 0.7f, z = 1.3f;
	EXPECT_EQ(Vector3(x, y, z).length(), sqrtf(x * x + y * y + z * z));
	EXPECT_TRUE(Vector3(0, -5, 0).normalized() == Vector3(0, -1, 0));
	EXPECT_TRUE(Vector3(1, 2, 3).normalized().is_normalized());
	EXPECT_TRUE(near(Vector3(6, 8, 0).limit_length(5), Vector3(3, 4, 0)));
	EXPECT_EQ(Vector3(0.3f, 0.4f, 0).limit_length(5), Vector3(0.3f, 0.4f, 0));
	EXPECT_TRUE(Vector3().direction_to(Vector3(0, 0, -7)) == Vector3(0, 0, -1));
}

TEST(Vector3, ScalarOperandsOnEitherSide) {
	Vector3 v(1, -2, 3);
	EXPECT_EQ(2.0f * v, Vector3(2, -4, 6));
	EXPECT_EQ(2.0 * v, Vector3(2, -4, 6));
	EXPECT_EQ(2 * v, Vector3(2, -4, 6));
	EXPECT_EQ(int64_t(2) * v, Vector3(2, -4, 6));
	EXPECT_EQ(v * 2.0f, v + v);
	EXPECT_EQ(v / 2.0f, Vector3(0.5f, -1, 1.5f));
	EXPECT_EQ(v * Vector3(2, 3, 4), Vector3(2, -6, 12));
	EXPECT_EQ(-v, Vector3(-1, 2, -3));
	Vector3 w = v;
	w += Vector3(1, 1, 1);
	w *= 2.0f;
	EXPECT_EQ(w, Vector3(4, -2, 8));
}

TEST(Vector3, GeometryHelpers) {
	const Vector3 x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
	EXPECT_EQ(x.cross(y), z); // Right-handed.
	EXPECT_EQ(y.cross(x), -z);
	EXPECT_FLOAT_EQ(x.angle_to(y), (float)Math_PI / 2);
	EXPECT_FLOAT_EQ(x.signed_angle_to(y, -z), -(float)Math_PI / 2);
	EXPECT_TRUE(near(y.rotated(x, QUARTER_TURN), z, 1e-6f));
	EXPECT_EQ(Vector3(1, -1, 0).slide(y), Vector3(1, 0, 0));
	EXPECT_EQ(Vector3(1, -1, 0).bounce(y), Vector3(1, 1, 0));
	EXPECT_EQ(Vector3(3, -1, 2).abs(), Vector3(3, 1, 2));
	EXPECT_EQ(Vector3(3, -1, 0).sign(), Vector3(1, -1, 0));
	EXPECT_EQ(Vector3(1.5f, -1.5f, 0.2f).floor(), Vector3(1, -2, 0));
	EXPECT_EQ(Vector3(1, 5, 3).max_axis_index(), Vector3::AXIS_Y);
	EXPECT_EQ(Vector3(1, 5, -3).min_axis_index(), Vector3::AXIS_Z);
	EXPECT_FLOAT_EQ(Vector3(1, 2, 3).distance_squared_to(Vector3(2, 4, 6)), 14.0f);
	EXPECT_TRUE(near(Vector3(2, 0, 0).slerp(Vector3(0, 4, 0), 0.5f), Vector3(3 * Math_SQRT12, 3 * Math_SQRT12, 0)));
	EXPECT_FALSE(Vector3(1, NAN, 0).is_finite());
	Vector3 u(4, 5, 6);
	EXPECT_EQ(u.coord[1], 5.0f);
	EXPECT_EQ(u[2], 6.0f);
}

TEST(Vector3, InterpolationHelpers) {
	EXPECT_EQ(Vector3(0, 0, 0).move_toward(Vector3(0, 0, 10), 4), Vector3(0, 0, 4));
	EXPECT_EQ(Vector3(0, 0, 0).move_toward(Vector3(0, 0, 1), 4), Vector3(0, 0, 1)); // No overshoot.
	EXPECT_EQ(Vector3(0, 2, 4).lerp(Vector3(4, 2, 0), 0.25f), Vector3(1, 2, 3));
	// Parallel vectors have no rotation axis: falls back to lerp.
	EXPECT_EQ(Vector3(1, 0, 0).slerp(Vector3(3, 0, 0), 0.5f), Vector3(2, 0, 0));
	EXPECT_TRUE(near(Vector3(1, 1, 0).project(Vector3(2, 0, 0)), Vector3(1, 0, 0)));
	EXPECT_EQ(Vector3(5, -1, 0.5f).clamp(Vector3(0, 0, 0), Vector3(1, 1, 1)), Vector3(1, 0, 0.5f));
	EXPECT_TRUE(near(Vector3(0.74f, -0.26f, 1).snappedf(0.25f), Vector3(0.75f, -0.25f, 1)));
}

TEST(Vector2, BasicsAndRotation) {
	Vector2 v(3, 4);
	EXPECT_EQ(v.length(), 5.0f);
	EXPECT_EQ(v[1], 4.0f);
	EXPECT_EQ(2 * v, Vector2(6, 8));
	EXPECT_TRUE(v.rotated(QUARTER_TURN).is_equal_approx(Vector2(-4, 3)));
	EXPECT_FLOAT_EQ(Vector2(0, 1).angle(), (float)Math_PI / 2);
	EXPECT_FLOAT_EQ(Vector2(1, 0).angle_to(Vector2(0, -1)), -(float)Math_PI / 2);
	EXPECT_EQ(Vector2().normalized(), Vector2());
	EXPECT_TRUE(Vector2(1, 5) < Vector2(2, 0));
}

TEST(Vector3i, IntegerOpsAndConversion) {
	Vector3i a(7, -7, 2);
	EXPECT_EQ(a / 2, Vector3i(3, -3, 1)); // Truncates toward zero.
	EXPECT_EQ(a % 3, Vector3i(1, -1, 2));
	EXPECT_EQ(a.abs(), Vector3i(7, 7, 2));
	EXPECT_EQ(a.length_squared(), 102);
	Vector3 f = a;
	EXPECT_EQ(f, Vector3(7, -7, 2));
	Vector3i back = Vector3(1.9f, -1.9f, 0);
	EXPECT_EQ(back, Vector3i(1, -1, 0));
}

// ---------------------------------------------------------------------------
// Basis

TEST(Basis, AxisAngleQuarterTurnAboutX) {
	Basis b(Vector3(1, 0, 0), QUARTER_TURN);
	EXPECT_TRUE(near(b.xform(Vector3(0, 1, 0)), Vector3(0, 0, 1), 1e-6f));
	EXPECT_TRUE(near(b.xform(Vector3(0, 0, 1)), Vector3(0, -1, 0), 1e-6f));
	EXPECT_EQ(b.xform(Vector3(1, 0, 0)), Vector3(1, 0, 0));
	// Exact entries from the single-precision formula: the diagonal carries
	// float cos(angle), the off-diagonals are exactly +-1.
	EXPECT_EQ(b.rows[1][1], cosf(QUARTER_TURN));
	EXPECT_EQ(b.rows[2][2], cosf(QUARTER_TURN));
	EXPECT_EQ(b.rows[2][1], 1.0f);
	EXPECT_EQ(b.rows[1][2], -1.0f);
	EXPECT_EQ(b.rows[0][0], 1.0f);
}

TEST(Basis, AxisAngleAgreesWithQuaternionForArbitraryAxis) {
	Vector3 axis = Vector3(1, -2, 0.5f).normalized();
	for (real_t angle : { 0.3f, -1.2f, 2.9f }) {
		Basis b(axis, angle);
		EXPECT_TRUE(near(b, Basis(Quaternion(axis, angle)), 1e-5f)) << angle;
		EXPECT_TRUE(b.is_rotation());
		EXPECT_TRUE(near(b.xform(axis * 2.0f), axis * 2.0f)); // The axis is fixed.
	}
	Basis c;
	c.set_axis_angle(Vector3(0, 0, 1), QUARTER_TURN);
	EXPECT_TRUE(near(c.xform(Vector3(1, 0, 0)), Vector3(0, 1, 0), 1e-6f)); // Counter-clockwise.
}

TEST(Basis, ColumnAndRowConventions) {
	const Vector3 x(1, 2, 3), y(4, 5, 6), z(7, 8, 9);
	Basis cols(x, y, z);
	EXPECT_EQ(cols.get_column(0), x);
	EXPECT_EQ(cols.get_column(2), z);
	EXPECT_EQ(cols.rows[0], Vector3(1, 4, 7));
	EXPECT_EQ(cols[1], Vector3(2, 5, 8));

	Basis rows(1, 2, 3, 4, 5, 6, 7, 8, 9);
	EXPECT_EQ(rows.rows[0], x);
	EXPECT_EQ(rows.get_column(0), Vector3(1, 4, 7));
	EXPECT_EQ(rows, cols.transposed());

	// xform dots the rows; xform_inv dots the columns (transpose multiply).
	EXPECT_EQ(rows.xform(Vector3(1, 0, 0)), Vector3(1, 4, 7));
	EXPECT_EQ(rows.xform(Vector3(1, 1, 1)), Vector3(6, 15, 24));
	EXPECT_EQ(rows.xform_inv(Vector3(1, 0, 0)), Vector3(1, 2, 3));
	EXPECT_EQ(rows.xform_inv(Vector3(1, 1, 1)), Vector3(12, 15, 18));

	Basis m;
	m.set_column(1, Vector3(-1, -2, -3));
	EXPECT_EQ(m, Basis(1, -1, 0, 0, -2, 0, 0, -3, 1));
	EXPECT_EQ(Basis(), Basis(1, 0, 0, 0, 1, 0, 0, 0, 1));
}

TEST(Basis, ProductComposesRightToLeft) {
	Basis a = sample_affine();
	Basis b(Vector3(0, 1, 1).normalized(), 0.7f);
	const Vector3 v(0.3f, -1.1f, 2.5f);
	EXPECT_TRUE(near((a * b).xform(v), a.xform(b.xform(v)), 1e-5f));

	// Known entries for a small integer product.
	Basis p = Basis(1, 2, 0, 0, 1, 0, 0, 0, 1) * Basis(1, 0, 0, 3, 1, 0, 0, 0, 1);
	EXPECT_EQ(p, Basis(7, 2, 0, 3, 1, 0, 0, 0, 1));

	Basis c = a;
	c *= b;
	EXPECT_EQ(c, a * b);
	EXPECT_EQ(a * 2.0f, a + a);
	static_assert(!has_vector_product<Basis>::value, "Basis * Vector3 must not compile");
	static_assert(!has_vector_product<Transform3D>::value, "Transform3D * Vector3 must not compile");
}

TEST(Basis, InverseAndDeterminant) {
	Basis a = sample_affine();
	EXPECT_TRUE(near(a * a.inverse(), Basis(), 1e-5f));
	EXPECT_TRUE(near(a.inverse() * a, Basis(), 1e-5f));
	EXPECT_NEAR(a.determinant() * a.inverse().determinant(), 1.0f, 1e-5f);
	EXPECT_FLOAT_EQ(Basis::from_scale(Vector3(2, 3, 4)).determinant(), 24.0f);

	Basis r(Vector3(1, 1, 0).normalized(), 1.1f);
	EXPECT_TRUE(near(r.inverse(), r.transposed(), 1e-6f));

	// Singular: error reported, input handed back.
	Basis singular(1, 2, 3, 2, 4, 6, 0, 0, 1);
	EXPECT_EQ(singular.inverse(), singular);
}

TEST(Basis, ScaleRotationDecomposition) {
	Quaternion q(Vector3(0.2f, 1, -0.4f).normalized(), 0.9f);
	const Vector3 s(2, 0.5f, 3);
	Basis b(q, s);
	EXPECT_TRUE(near(b.get_scale(), s, 1e-5f));
	EXPECT_TRUE(same_rotation(b.get_rotation_quaternion(), q));
	EXPECT_TRUE(near(b.orthonormalized(), Basis(q), 1e-5f));
	EXPECT_TRUE(near(b, Basis(q) * Basis::from_scale(s), 1e-5f));

	// scaled() scales in the parent frame (rows), scaled_local() the axes (columns).
	Basis m = sample_affine();
	EXPECT_EQ(m.scaled(Vector3(2, 1, 1)).rows[0], m.rows[0] * 2.0f);
	EXPECT_EQ(m.scaled_local(Vector3(2, 1, 1)).get_column(0), m.get_column(0) * 2.0f);

	// A mirror shows up as negative scale, leaving a proper rotation.
	Basis mirrored = Basis(q).scaled_local(Vector3(-1, -1, -1));
	EXPECT_TRUE(near(mirrored.get_scale(), Vector3(-1, -1, -1), 1e-5f));
	EXPECT_TRUE(same_rotation(mirrored.get_rotation_quaternion(), q));

	Vector3 axis;
	real_t angle = 0;
	Basis(q).get_axis_angle(axis, angle);
	EXPECT_TRUE(near(axis, Vector3(0.2f, 1, -0.4f).normalized(), 1e-5f));
	EXPECT_NEAR(angle, 0.9f, 1e-5f);
}

TEST(Basis, RotatedIsGlobalRotatedLocalIsLocal) {
	Basis m = sample_affine();
	Basis r(Vector3(0, 1, 0), 0.6f);
	EXPECT_TRUE(near(m.rotated(Vector3(0, 1, 0), 0.6f), r * m));
	EXPECT_TRUE(near(m.rotated_local(Vector3(0, 1, 0), 0.6f), m * r));
}

TEST(Basis, EulerRoundTripAllOrders) {
	const Vector3 angles(0.4f, -0.9f, 1.3f);
	for (int o = EULER_ORDER_XYZ; o <= EULER_ORDER_ZYX; o++) {
		EulerOrder order = (EulerOrder)o;
		Basis b = Basis::from_euler(angles, order);
		EXPECT_TRUE(b.is_rotation()) << o;
		EXPECT_TRUE(near(b.get_euler(order), angles, 1e-5f)) << "order " << o;
	}
}

TEST(Basis, EulerOrderNamesTheProductOrder) {
	const Vector3 e(0.4f, -0.9f, 1.3f);
	Basis rx(Vector3(1, 0, 0), e.x), ry(Vector3(0, 1, 0), e.y), rz(Vector3(0, 0, 1), e.z);
	EXPECT_TRUE(near(Basis::from_euler(e), ry * rx * rz)); // YXZ is the default.
	EXPECT_TRUE(near(Basis::from_euler(e, EULER_ORDER_XYZ), rx * ry * rz));
	EXPECT_TRUE(near(Basis::from_euler(e, EULER_ORDER_ZXY), rz * rx * ry));
	EXPECT_TRUE(near(Basis::from_euler(e, EULER_ORDER_ZYX), rz * ry * rx));
	EXPECT_EQ(EULER_ORDER_YXZ, 2);
}

TEST(Basis, EulerAtGimbalLockStillReconstructs) {
	for (real_t pitch : { QUARTER_TURN, -QUARTER_TURN }) {
		Basis b = Basis::from_euler(Vector3(pitch, 0.7f, -0.3f));
		Vector3 e = b.get_euler();
		EXPECT_TRUE(e.is_finite());
		EXPECT_TRUE(near(Basis::from_euler(e), b, 1e-5f)) << pitch;
	}
}

TEST(Basis, LookingAtFacesNegativeZ) {
	Basis b = Basis::looking_at(Vector3(3, 0, 0));
	EXPECT_TRUE(near(b.xform(Vector3(0, 0, -1)), Vector3(1, 0, 0), 1e-6f));
	EXPECT_TRUE(near(b.get_column(1), Vector3(0, 1, 0), 1e-6f));
	Basis front = Basis::looking_at(Vector3(3, 0, 0), Vector3(0, 1, 0), true);
	EXPECT_TRUE(near(front.xform(Vector3(0, 0, 1)), Vector3(1, 0, 0), 1e-6f));
}

TEST(Basis, OrthonormalizeKeepsXAxisDirection) {
	Basis m = sample_affine();
	Basis o = m.orthonormalized();
	EXPECT_TRUE(o.is_orthonormal());
	EXPECT_TRUE(near(o.get_column(0), m.get_column(0).normalized(), 1e-6f));
	// Y stays in the plane of the original X and Y.
	EXPECT_NEAR(o.get_column(1).dot(m.get_column(0).cross(m.get_column(1))), 0.0f, 1e-5f);

	Basis skew(Vector3(2, 0, 0), Vector3(1, 3, 0), Vector3(0, 0, 4));
	Basis g = skew.orthogonalized();
	EXPECT_TRUE(g.is_orthogonal());
	EXPECT_FALSE(g.is_orthonormal());
	EXPECT_TRUE(near(g.get_scale(), skew.get_scale(), 1e-5f));
}

TEST(Basis, SlerpInterpolatesRotationAndScale) {
	Basis a;
	Basis b(Quaternion(Vector3(0, 0, 1), 1.2f), Vector3(3, 3, 3));
	Basis mid = a.slerp(b, 0.5f);
	EXPECT_TRUE(same_rotation(mid.get_rotation_quaternion(), Quaternion(Vector3(0, 0, 1), 0.6f)));
	EXPECT_TRUE(near(mid.get_scale(), Vector3(2, 2, 2), 1e-5f));
	EXPECT_TRUE(near(a.lerp(b, 1.0f), b, 1e-6f));
}

// ---------------------------------------------------------------------------
// Quaternion

TEST(Quaternion, BasisRoundTrip) {
	const Vector3 axes[] = { Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(1, 2, 3).normalized(), Vector3(-1, 0.1f, 0.2f).normalized() };
	// Includes angles near pi, where the trace goes negative and another branch is used.
	for (const Vector3 &axis : axes) {
		for (real_t angle : { 0.0f, 0.5f, -2.0f, 3.1f }) {
			Quaternion q(axis, angle);
			Basis b(q);
			EXPECT_TRUE(near(b, Basis(axis, angle), 1e-5f));
			EXPECT_TRUE(same_rotation(b.get_quaternion(), q)) << angle;
			EXPECT_TRUE(near(q.xform(Vector3(0.3f, -2, 1)), b.xform(Vector3(0.3f, -2, 1)), 1e-5f));
			EXPECT_TRUE(near(q.xform_inv(q.xform(Vector3(1, 2, 3))), Vector3(1, 2, 3), 1e-5f));
		}
	}
	Quaternion conv = Basis(Vector3(0, 0, 1), 1.0f);
	EXPECT_TRUE(same_rotation(conv, Quaternion(Vector3(0, 0, 1), 1.0f)));
}

TEST(Quaternion, ProductMatchesBasisProduct) {
	Quaternion a(Vector3(1, 0, 0), 0.8f);
	Quaternion b(Vector3(0, 1, 1).normalized(), -1.4f);
	EXPECT_TRUE(near(Basis(a * b), Basis(a) * Basis(b), 1e-5f));
	EXPECT_TRUE(same_rotation(a * a.inverse(), Quaternion()));
	EXPECT_TRUE(same_rotation(Quaternion::from_euler(Vector3(0.3f, 1.2f, -0.4f)),
			Basis::from_euler(Vector3(0.3f, 1.2f, -0.4f)).get_quaternion()));
	EXPECT_TRUE(near(a.get_euler(), Vector3(0.8f, 0, 0), 1e-5f));
}

TEST(Quaternion, SlerpAndArc) {
	Quaternion from;
	Quaternion to(Vector3(0, 1, 0), 2.0f);
	EXPECT_TRUE(same_rotation(from.slerp(to, 0.25f), Quaternion(Vector3(0, 1, 0), 0.5f)));
	EXPECT_TRUE(same_rotation(from.slerp(to, 1.0f), to));
	// Takes the short way even when the target has the opposite sign.
	EXPECT_TRUE(same_rotation(from.slerp(-to, 0.5f), Quaternion(Vector3(0, 1, 0), 1.0f)));
	EXPECT_NEAR(from.angle_to(to), 2.0f, 1e-5f);
	EXPECT_TRUE(Quaternion(1, 2, 3, 4).normalized().is_normalized());
	EXPECT_EQ(Quaternion(), Quaternion(0, 0, 0, 1));

	Quaternion arc(Vector3(1, 0, 0), Vector3(0, 0, 2));
	EXPECT_TRUE(near(arc.xform(Vector3(1, 0, 0)), Vector3(0, 0, 1), 1e-6f));
	Quaternion flip(Vector3(1, 0, 0), Vector3(-1, 0, 0));
	EXPECT_TRUE(near(flip.xform(Vector3(1, 0, 0)), Vector3(-1, 0, 0), 1e-6f));
}

TEST(Quaternion, LogExpAndAxisAngle) {
	Quaternion q(Vector3(0, 0.6f, 0.8f), 1.1f);
	EXPECT_TRUE(same_rotation(q.log().exp(), q));
	EXPECT_TRUE(near(q.get_axis(), Vector3(0, 0.6f, 0.8f), 1e-5f));
	EXPECT_NEAR(q.get_angle(), 1.1f, 1e-5f);
	// Zero axis gives the zero quaternion, not NaN.
	EXPECT_EQ(Quaternion(Vector3(), 1.0f), Quaternion(0, 0, 0, 0));
}

// ---------------------------------------------------------------------------
// Transform3D

TEST(Transform3D, ConstructorsAndXform) {
	Transform3D t(1, 2, 3, 4, 5, 6, 7, 8, 10, -1, -2, -3);
	EXPECT_EQ(t.basis, Basis(1, 2, 3, 4, 5, 6, 7, 8, 10));
	EXPECT_EQ(t.origin, Vector3(-1, -2, -3));
	EXPECT_EQ(Transform3D(Vector3(1, 0, 0), Vector3(0, 0, 1), Vector3(0, -1, 0), Vector3(5, 0, 0)).basis,
			Basis(1, 0, 0, 0, 0, -1, 0, 1, 0));
	EXPECT_EQ(Transform3D(), Transform3D(Basis(), Vector3()));

	Transform3D rt(Basis(Vector3(0, 0, 1), QUARTER_TURN), Vector3(10, 0, 0));
	EXPECT_TRUE(near(rt.xform(Vector3(1, 0, 0)), Vector3(10, 1, 0), 1e-6f));
	EXPECT_TRUE(near(rt.xform_inv(Vector3(10, 1, 0)), Vector3(1, 0, 0), 1e-6f));
	EXPECT_TRUE(near(t.xform(Vector3(1, 1, 1)), Vector3(5, 13, 22)));
}

TEST(Transform3D, ExactEqualityComparesEveryComponent) {
	Transform3D a(Basis(Vector3(0, 1, 0), 0.3f), Vector3(1, 2, 3));
	Transform3D b = a;
	EXPECT_TRUE(a == b);
	b.origin.z = std::nextafter(b.origin.z, 10.0f);
	EXPECT_TRUE(a != b);
	EXPECT_TRUE(a.is_equal_approx(b));
	b = a;
	b.basis.rows[2][0] += 1e-7f;
	EXPECT_FALSE(a == b);
}

TEST(Transform3D, InverseRoundTrips) {
	Transform3D rigid(Basis(Vector3(1, 2, 3).normalized(), 0.8f), Vector3(4, -5, 6));
	EXPECT_TRUE(near(rigid * rigid.inverse(), Transform3D(), 1e-5f));
	EXPECT_TRUE(near(rigid.inverse() * rigid, Transform3D(), 1e-5f));
	EXPECT_TRUE(near(rigid.inverse(), rigid.affine_inverse(), 1e-5f));

	Transform3D affine(sample_affine(), Vector3(1, 2, 3));
	EXPECT_TRUE(near(affine * affine.affine_inverse(), Transform3D(), 1e-5f));
	Vector3 p(0.5f, -3, 2);
	EXPECT_TRUE(near(affine.affine_inverse().xform(affine.xform(p)), p, 1e-5f));
	// inverse() only transposes, so it is wrong for scaled bases.
	EXPECT_FALSE(near(affine * affine.inverse(), Transform3D(), 1e-3f));
}

TEST(Transform3D, ProductComposesChildIntoParent) {
	Transform3D parent(Basis(Vector3(0, 1, 0), QUARTER_TURN), Vector3(0, 0, -2));
	Transform3D child(sample_affine(), Vector3(1, 1, 0));
	Transform3D world = parent * child;
	EXPECT_TRUE(near(world.basis, parent.basis * child.basis));
	EXPECT_TRUE(near(world.origin, parent.xform(child.origin)));
	Vector3 p(2, -1, 0.5f);
	EXPECT_TRUE(near(world.xform(p), parent.xform(child.xform(p)), 1e-5f));
	Transform3D acc = parent;
	acc *= child;
	EXPECT_EQ(acc, world);
}

TEST(Transform3D, TranslatedVersusTranslatedLocal) {
	Transform3D t(Basis(Vector3(0, 1, 0), QUARTER_TURN).scaled(Vector3(2, 2, 2)), Vector3(1, 0, 0));
	// Parent-space offset ignores the basis; local offset goes through it.
	EXPECT_EQ(t.translated(Vector3(0, 0, 1)).origin, Vector3(1, 0, 1));
	EXPECT_EQ(t.translated(Vector3(0, 0, 1)).basis, t.basis);
	EXPECT_TRUE(near(t.translated_local(Vector3(0, 0, 1)).origin, Vector3(3, 0, 0), 1e-5f));
	EXPECT_EQ(t.translated_local(Vector3(0, 0, 1)).basis, t.basis);
}

TEST(Transform3D, RotatedScaledLookingAt) {
	Transform3D t(Basis(), Vector3(1, 0, 0));
	Transform3D r = t.rotated(Vector3(0, 0, 1), QUARTER_TURN);
	EXPECT_TRUE(near(r.origin, Vector3(0, 1, 0), 1e-6f)); // Parent frame: origin swings too.
	EXPECT_EQ(t.rotated_local(Vector3(0, 0, 1), QUARTER_TURN).origin, t.origin);
	EXPECT_EQ(t.scaled(Vector3(2, 3, 4)).origin, Vector3(2, 0, 0));
	EXPECT_EQ(t.scaled_local(Vector3(2, 3, 4)).origin, Vector3(1, 0, 0));

	Transform3D eye(Basis(), Vector3(0, 0, 5));
	Transform3D look = eye.looking_at(Vector3(0, 0, 0));
	EXPECT_EQ(look.origin, eye.origin);
	EXPECT_TRUE(near(look.basis.xform(Vector3(0, 0, -1)), Vector3(0, 0, -1), 1e-6f));
	look = eye.looking_at(Vector3(5, 0, 5));
	EXPECT_TRUE(near(look.basis.xform(Vector3(0, 0, -1)), Vector3(1, 0, 0), 1e-6f));
}

TEST(Transform3D, InterpolateWith) {
	Transform3D a(Basis(), Vector3(0, 0, 0));
	Transform3D b(Basis(Vector3(0, 1, 0), 1.0f, Vector3(3, 3, 3)), Vector3(4, 0, 0));
	Transform3D mid = a.interpolate_with(b, 0.5f);
	EXPECT_TRUE(near(mid.origin, Vector3(2, 0, 0)));
	EXPECT_TRUE(near(mid.basis.get_scale(), Vector3(2, 2, 2), 1e-5f));
	EXPECT_TRUE(same_rotation(mid.basis.get_rotation_quaternion(), Quaternion(Vector3(0, 1, 0), 0.5f)));
	EXPECT_TRUE(near(a.interpolate_with(b, 1.0f), b, 1e-5f));
}

TEST(Transform3D, XformAabbAndPlane) {
	Transform3D t(Basis(Vector3(0, 0, 1), QUARTER_TURN), Vector3(10, 0, 0));
	AABB box(Vector3(0, 0, 0), Vector3(2, 1, 1));
	AABB moved = t.xform(box);
	EXPECT_TRUE(near(moved.position, Vector3(9, 0, 0), 1e-5f));
	EXPECT_TRUE(near(moved.size, Vector3(1, 2, 1), 1e-5f));

	Plane floor(Vector3(0, 1, 0), 1.0f); // y = 1
	Plane p = t.xform(floor);
	EXPECT_TRUE(near(p.normal, Vector3(-1, 0, 0), 1e-6f));
	EXPECT_TRUE(p.has_point(t.xform(Vector3(3, 1, -2)), 1e-4f));
}

TEST(AabbPlane, Basics) {
	AABB a(Vector3(0, 0, 0), Vector3(2, 2, 2));
	EXPECT_TRUE(a.intersects(AABB(Vector3(1, 1, 1), Vector3(2, 2, 2))));
	EXPECT_FALSE(a.intersects(AABB(Vector3(2, 0, 0), Vector3(1, 1, 1)))); // Touching only.
	EXPECT_EQ(a.merge(AABB(Vector3(-1, 3, 0), Vector3(1, 1, 1))), AABB(Vector3(-1, 0, 0), Vector3(3, 4, 2)));
	EXPECT_EQ(a.expand(Vector3(5, -1, 1)), AABB(Vector3(0, -1, 0), Vector3(5, 3, 2)));
	EXPECT_EQ(AABB(Vector3(1, 1, 1), Vector3(-2, 1, 1)).abs(), AABB(Vector3(-1, 1, 1), Vector3(2, 1, 1)));
	EXPECT_EQ(a.get_center(), Vector3(1, 1, 1));
	EXPECT_TRUE(a.has_point(Vector3(2, 0, 1)));

	Plane p(Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(0, 1, 0));
	EXPECT_TRUE(near(p.normal, Vector3(0, 0, -1), 1e-6f));
	Plane ground(Vector3(0, 1, 0), 0.0f);
	Vector3 hit;
	ASSERT_TRUE(ground.intersects_ray(Vector3(1, 5, 2), Vector3(0, -1, 0), &hit));
	EXPECT_EQ(hit, Vector3(1, 0, 2));
	EXPECT_FALSE(ground.intersects_ray(Vector3(1, 5, 2), Vector3(0, 1, 0), &hit));
	ASSERT_TRUE(ground.intersects_segment(Vector3(0, 2, 0), Vector3(0, -2, 4), &hit));
	EXPECT_TRUE(near(hit, Vector3(0, 0, 2)));
	EXPECT_FLOAT_EQ(ground.distance_to(Vector3(3, -2, 0)), -2.0f);
}

TEST(AabbPlane, IntersectionEnclosureAndThreePlanes) {
	AABB a(Vector3(0, 0, 0), Vector3(4, 4, 4));
	AABB b(Vector3(2, -1, 1), Vector3(4, 2, 1));
	EXPECT_EQ(a.intersection(b), AABB(Vector3(2, 0, 1), Vector3(2, 1, 1)));
	EXPECT_EQ(a.intersection(AABB(Vector3(5, 5, 5), Vector3(1, 1, 1))), AABB());
	EXPECT_TRUE(a.encloses(AABB(Vector3(1, 1, 1), Vector3(3, 3, 3))));
	EXPECT_FALSE(a.encloses(b));
	EXPECT_EQ(a.grow(1), AABB(Vector3(-1, -1, -1), Vector3(6, 6, 6)));
	EXPECT_EQ(b.get_longest_axis_index(), 0);
	EXPECT_EQ(b.get_endpoint(5), Vector3(6, -1, 2));

	Vector3 corner;
	ASSERT_TRUE(Plane(1, 0, 0, 1).intersect_3(Plane(0, 1, 0, 2), Plane(0, 0, 1, 3), &corner));
	EXPECT_TRUE(near(corner, Vector3(1, 2, 3)));
	EXPECT_FALSE(Plane(1, 0, 0, 1).intersect_3(Plane(1, 0, 0, 2), Plane(0, 0, 1, 3), &corner));
	EXPECT_EQ(Plane(0, 2, 0, 4).normalized(), Plane(0, 1, 0, 2));
	EXPECT_EQ(Plane(Vector3(0, 1, 0), 2.0f).project(Vector3(5, 7, 1)), Vector3(5, 2, 1));
}

// ---------------------------------------------------------------------------
// Color

TEST(Color, ConstructionAndArithmetic) {
	EXPECT_EQ(Color(), Color(0, 0, 0, 1));
	EXPECT_EQ(Color(0.1f, 0.2f, 0.3f).a, 1.0f);
	EXPECT_EQ(Color(Color(1, 0, 0), 0.5f), Color(1, 0, 0, 0.5f));
	EXPECT_EQ(Color(1, 0, 0, 1).lerp(Color(0, 0, 1, 0), 0.25f), Color(0.75f, 0, 0.25f, 0.75f));
	EXPECT_EQ(Color(0.5f, 0.5f, 0.5f, 1) * 2.0f, Color(1, 1, 1, 2));
	EXPECT_EQ(Color(1, 1, 1, 1) - Color(0.5f, 0.25f, 0, 0), Color(0.5f, 0.75f, 1, 1));
	EXPECT_EQ(Color(1, 2, 3, 4)[2], 3.0f);
	EXPECT_TRUE(Color(0.2f, 0.4f, 0.6f, 0.3f).inverted().is_equal_approx(Color(0.8f, 0.6f, 0.4f, 0.3f)));
}

TEST(Color, HexAndHtmlParsing) {
	EXPECT_EQ(Color::hex(0xFF800040), Color(1, 128 / 255.0f, 0, 64 / 255.0f));
	EXPECT_EQ(Color::html("#ff8000"), Color(1, 128 / 255.0f, 0, 1));
	EXPECT_EQ(Color::html("FF800080"), Color(1, 128 / 255.0f, 0, 128 / 255.0f)); // Alpha last.
	EXPECT_EQ(Color::html("#f80"), Color(1, 136 / 255.0f, 0, 1));
	EXPECT_EQ(Color::html("#f808"), Color(1, 136 / 255.0f, 0, 136 / 255.0f));
	EXPECT_EQ(Color(String("#00ff00")), Color(0, 1, 0, 1));
	EXPECT_EQ(Color(String("#00ff00"), 0.5f), Color(0, 1, 0, 0.5f));

	EXPECT_TRUE(Color::html_is_valid("#abcdef"));
	EXPECT_FALSE(Color::html_is_valid("#abcdeg"));
	EXPECT_FALSE(Color::html_is_valid("#abcde"));
	EXPECT_FALSE(Color::html_is_valid(""));
	EXPECT_EQ(Color::html("#zzzzzz"), Color()); // Error, default colour.

	EXPECT_EQ(Color(1, 0.5f, 0, 0.25f).to_rgba32(), 0xFF800040u);
	EXPECT_EQ(Color(1, 0.5f, 0, 0.25f).to_argb32(), 0x40FF8000u);
	EXPECT_EQ(Color(2, -1, 0, 1).to_rgba32(), 0xFF0000FFu); // Saturates.
	EXPECT_TRUE(Color(1, 128 / 255.0f, 0, 64 / 255.0f).to_html() == String("ff800040"));
	EXPECT_TRUE(Color(1, 128 / 255.0f, 0).to_html(false) == String("ff8000"));
}

TEST(Color, NamedColors) {
	EXPECT_EQ(Color(String("red")), Color(1, 0, 0, 1));
	EXPECT_EQ(Color::named("Dark Green"), Color::hex(0x006400FF));
	EXPECT_EQ(Color::named("TRANSPARENT"), Color(1, 1, 1, 0));
	EXPECT_EQ(Color::from_string("not a colour", Color(0.5f, 0.5f, 0.5f)), Color(0.5f, 0.5f, 0.5f));
	EXPECT_EQ(Color::from_string("#0000ff", Color()), Color(0, 0, 1));
}

TEST(Color, BlendAndTransfer) {
	// Opaque over anything wins; half over opaque averages.
	EXPECT_EQ(Color(0, 0, 1).blend(Color(1, 0, 0)), Color(1, 0, 0));
	EXPECT_TRUE(Color(0, 0, 1).blend(Color(1, 0, 0, 0.5f)).is_equal_approx(Color(0.5f, 0, 0.5f, 1)));
	EXPECT_EQ(Color(0, 0, 0, 0).blend(Color(1, 1, 1, 0)), Color(0, 0, 0, 0));

	Color lin(0.2f, 0.5f, 0.0001f, 0.7f);
	EXPECT_TRUE(lin.linear_to_srgb().srgb_to_linear().is_equal_approx(lin));
	EXPECT_NEAR(Color(0.5f, 0.5f, 0.5f).linear_to_srgb().r, 0.735357f, 1e-5f);
	EXPECT_EQ(Color(1, 1, 1).darkened(0.25f), Color(0.75f, 0.75f, 0.75f));
	EXPECT_EQ(Color(0, 0, 0, 0.5f).lightened(0.25f), Color(0.25f, 0.25f, 0.25f, 0.5f));

	EXPECT_EQ(Color::hex64(0xFFFF00000000FFFFull), Color(1, 0, 0, 1));
	EXPECT_EQ(Color(1, 0, 0, 1).to_rgba64(), 0xFFFF00000000FFFFull);
}

TEST(Color, Hsv) {
	EXPECT_TRUE(Color::from_hsv(0, 1, 1).is_equal_approx(Color(1, 0, 0)));
	EXPECT_TRUE(Color::from_hsv(1.0f / 3.0f, 1, 1).is_equal_approx(Color(0, 1, 0)));
	EXPECT_TRUE(Color::from_hsv(2.0f / 3.0f, 1, 0.5f, 0.25f).is_equal_approx(Color(0, 0, 0.5f, 0.25f)));
	EXPECT_TRUE(Color::from_hsv(0.5f, 0, 0.7f).is_equal_approx(Color(0.7f, 0.7f, 0.7f)));
	Color c(0.2f, 0.6f, 0.4f);
	EXPECT_TRUE(Color::from_hsv(c.get_h(), c.get_s(), c.get_v()).is_equal_approx(c));
	EXPECT_NEAR(Color(1, 1, 0).get_h(), 1.0f / 6.0f, 1e-6f);
}
