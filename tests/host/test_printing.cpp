// Values as the engine prints them: `print`, `str` and "%s".
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/color.hpp>
#include <godot_cpp/variant/quaternion.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/utility_functions.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector2i.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace godot;

namespace {

std::string text(const Variant &p_value) {
	return p_value.stringify().utf8().get_data();
}

} // namespace

TEST(Printing, FloatsAreTheShortestTextThatReadsBackWithWholeNumbersEndingInPointZero) {
	EXPECT_EQ(text(72.0), "72.0");
	EXPECT_EQ(text(90.0), "90.0");
	EXPECT_EQ(text(0.0), "0.0");
	EXPECT_EQ(text(-0.0), "-0.0");
	EXPECT_EQ(text(-3.0), "-3.0");
	EXPECT_EQ(text(0.1), "0.1");
	EXPECT_EQ(text(0.1 + 0.2), "0.30000000000000004");
	EXPECT_EQ(text(1.0 / 3.0), "0.3333333333333333");
	EXPECT_EQ(text((double)89.9f), "89.9000015258789"); // a float widened keeps its error
	EXPECT_EQ(text(123456.789), "123456.789");
	EXPECT_EQ(text(1e15), "1000000000000000.0");
	EXPECT_EQ(text(1e16), "1e+16");
	EXPECT_EQ(text(1e20), "1e+20");
	EXPECT_EQ(text(-2.5e-7), "-2.5e-07");
	EXPECT_EQ(text(0.0001), "0.0001");
	EXPECT_EQ(text(0.00001), "1e-05");
	EXPECT_EQ(text(std::numeric_limits<double>::max()), "1.7976931348623157e+308");
	EXPECT_EQ(text(std::numeric_limits<double>::denorm_min()), "5e-324");
	EXPECT_EQ(text(INFINITY), "inf");
	EXPECT_EQ(text(-INFINITY), "-inf");
	EXPECT_EQ(text(std::nan("")), "nan");
	EXPECT_EQ(text(7), "7") << "integers keep no decimals";
}

TEST(Printing, VectorsAndTransformsPrintTheirSinglePrecisionComponentsLikeFloats) {
	EXPECT_EQ(text(Vector3(0, 1, 1.2f)), "(0.0, 1.0, 1.2)");
	EXPECT_EQ(text(Vector2(0.1f, -4)), "(0.1, -4.0)");
	EXPECT_EQ(text(Vector2i(3, -4)), "(3, -4)");
	EXPECT_EQ(text(Vector3(1e20f, NAN, -INFINITY)), "(1e+20, nan, -inf)");
	EXPECT_EQ(text(Quaternion()), "(0.0, 0.0, 0.0, 1.0)");
	EXPECT_EQ(text(Basis()), "[X: (1.0, 0.0, 0.0), Y: (0.0, 1.0, 0.0), Z: (0.0, 0.0, 1.0)]");
	EXPECT_EQ(text(Transform3D(Basis(), Vector3(0, 1.5f, -2))), "[X: (1.0, 0.0, 0.0), Y: (0.0, 1.0, 0.0), Z: (0.0, 0.0, 1.0), O: (0.0, 1.5, -2.0)]");
	EXPECT_EQ(text(Color(1, 0.5f, 0.25f)), "(1, 0.5, 0.25, 1)");
}

TEST(Printing, StrAndFormatUseTheSameText) {
	EXPECT_EQ(std::string(UtilityFunctions::str("rate ", 72.0).utf8().get_data()), "rate 72.0");
	EXPECT_EQ(std::string(vformat("%s Hz at %s", 90.0, Vector3(0, 1.6f, 0)).utf8().get_data()), "90.0 Hz at (0.0, 1.6, 0.0)");
}
