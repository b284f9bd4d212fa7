#ifndef GODOT_CORE_MATH_HPP
#define GODOT_CORE_MATH_HPP

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/math_defs.hpp>

#include <cmath>
#include <cstdint>

#ifndef ABS
#define ABS(m_v) (((m_v) < 0) ? (-(m_v)) : (m_v))
#endif

#ifndef SIGN
#define SIGN(m_v) (((m_v) == 0) ? (0.0f) : (((m_v) < 0) ? (-1.0f) : (+1.0f)))
#endif

#ifndef MIN
#define MIN(m_a, m_b) (((m_a) < (m_b)) ? (m_a) : (m_b))
#endif

#ifndef MAX
#define MAX(m_a, m_b) (((m_a) > (m_b)) ? (m_a) : (m_b))
#endif

#ifndef CLAMP
#define CLAMP(m_a, m_min, m_max) (((m_a) < (m_min)) ? (m_min) : (((m_a) > (m_max)) ? m_max : m_a))
#endif

namespace godot {

// Kept here rather than with the generated global constants so the math types
// can name it without pulling in the class headers.
enum EulerOrder {
	EULER_ORDER_XYZ = 0,
	EULER_ORDER_XZY = 1,
	EULER_ORDER_YXZ = 2,
	EULER_ORDER_YZX = 3,
	EULER_ORDER_ZXY = 4,
	EULER_ORDER_ZYX = 5,
};

namespace Math {

// Float overloads call the f-suffixed C functions so single-precision code
// stays single precision end to end.
inline double sin(double p_x) { return ::sin(p_x); }
inline float sin(float p_x) { return ::sinf(p_x); }
inline double cos(double p_x) { return ::cos(p_x); }
inline float cos(float p_x) { return ::cosf(p_x); }
inline double tan(double p_x) { return ::tan(p_x); }
inline float tan(float p_x) { return ::tanf(p_x); }
inline double atan(double p_x) { return ::atan(p_x); }
inline float atan(float p_x) { return ::atanf(p_x); }
inline double atan2(double p_y, double p_x) { return ::atan2(p_y, p_x); }
inline float atan2(float p_y, float p_x) { return ::atan2f(p_y, p_x); }

// Out-of-range input (rounding noise just past +-1) saturates instead of giving NaN.
inline double asin(double p_x) { return p_x < -1 ? (-Math_PI / 2) : (p_x > 1 ? (Math_PI / 2) : ::asin(p_x)); }
inline float asin(float p_x) { return p_x < -1 ? (-(float)Math_PI / 2) : (p_x > 1 ? ((float)Math_PI / 2) : ::asinf(p_x)); }
inline double acos(double p_x) { return p_x < -1 ? Math_PI : (p_x > 1 ? 0 : ::acos(p_x)); }
inline float acos(float p_x) { return p_x < -1 ? (float)Math_PI : (p_x > 1 ? 0 : ::acosf(p_x)); }

inline double sqrt(double p_x) { return ::sqrt(p_x); }
inline float sqrt(float p_x) { return ::sqrtf(p_x); }
inline double pow(double p_x, double p_y) { return ::pow(p_x, p_y); }
inline float pow(float p_x, float p_y) { return ::powf(p_x, p_y); }
inline double exp(double p_x) { return ::exp(p_x); }
inline float exp(float p_x) { return ::expf(p_x); }
inline double log(double p_x) { return ::log(p_x); }
inline float log(float p_x) { return ::logf(p_x); }

inline double floor(double p_x) { return ::floor(p_x); }
inline float floor(float p_x) { return ::floorf(p_x); }
inline double ceil(double p_x) { return ::ceil(p_x); }
inline float ceil(float p_x) { return ::ceilf(p_x); }
inline double round(double p_x) { return ::round(p_x); }
inline float round(float p_x) { return ::roundf(p_x); }
inline double fmod(double p_x, double p_y) { return ::fmod(p_x, p_y); }
inline float fmod(float p_x, float p_y) { return ::fmodf(p_x, p_y); }

inline double abs(double p_x) { return ::fabs(p_x); }
inline float abs(float p_x) { return ::fabsf(p_x); }
inline int32_t abs(int32_t p_x) { return p_x < 0 ? -p_x : p_x; }
inline int64_t abs(int64_t p_x) { return p_x < 0 ? -p_x : p_x; }
inline double absf(double p_x) { return ::fabs(p_x); }
inline int64_t absi(int64_t p_x) { return p_x < 0 ? -p_x : p_x; }

inline bool is_nan(double p_x) { return std::isnan(p_x); }
inline bool is_nan(float p_x) { return std::isnan(p_x); }
inline bool is_inf(double p_x) { return std::isinf(p_x); }
inline bool is_inf(float p_x) { return std::isinf(p_x); }
inline bool is_finite(double p_x) { return std::isfinite(p_x); }
inline bool is_finite(float p_x) { return std::isfinite(p_x); }

inline double sign(double p_x) { return SIGN(p_x); }
inline float sign(float p_x) { return SIGN(p_x); }
inline int64_t sign(int64_t p_x) { return p_x < 0 ? -1 : (p_x > 0 ? 1 : 0); }
inline int32_t sign(int32_t p_x) { return p_x < 0 ? -1 : (p_x > 0 ? 1 : 0); }

template <typename T>
inline T min(T p_a, T p_b) { return p_a < p_b ? p_a : p_b; }
template <typename T>
inline T max(T p_a, T p_b) { return p_a > p_b ? p_a : p_b; }
template <typename T>
inline T clamp(T p_value, T p_min, T p_max) { return p_value < p_min ? p_min : (p_value > p_max ? p_max : p_value); }

// Relative tolerance for large magnitudes, absolute CMP_EPSILON near zero.
inline bool is_equal_approx(float p_a, float p_b) {
	if (p_a == p_b) {
		return true; // Also covers equal infinities.
	}
	float tolerance = (float)CMP_EPSILON * ::fabsf(p_a);
	if (tolerance < (float)CMP_EPSILON) {
		tolerance = (float)CMP_EPSILON;
	}
	return ::fabsf(p_a - p_b) < tolerance;
}
inline bool is_equal_approx(double p_a, double p_b) {
	if (p_a == p_b) {
		return true;
	}
	double tolerance = CMP_EPSILON * ::fabs(p_a);
	if (tolerance < CMP_EPSILON) {
		tolerance = CMP_EPSILON;
	}
	return ::fabs(p_a - p_b) < tolerance;
}
inline bool is_equal_approx(float p_a, float p_b, float p_tolerance) {
	return p_a == p_b || ::fabsf(p_a - p_b) < p_tolerance;
}
inline bool is_equal_approx(double p_a, double p_b, double p_tolerance) {
	return p_a == p_b || ::fabs(p_a - p_b) < p_tolerance;
}
inline bool is_zero_approx(float p_x) { return ::fabsf(p_x) < (float)CMP_EPSILON; }
inline bool is_zero_approx(double p_x) { return ::fabs(p_x) < CMP_EPSILON; }

inline double lerp(double p_from, double p_to, double p_weight) { return p_from + (p_to - p_from) * p_weight; }
inline float lerp(float p_from, float p_to, float p_weight) { return p_from + (p_to - p_from) * p_weight; }
inline double inverse_lerp(double p_from, double p_to, double p_value) { return (p_value - p_from) / (p_to - p_from); }
inline float inverse_lerp(float p_from, float p_to, float p_value) { return (p_value - p_from) / (p_to - p_from); }
inline double remap(double p_value, double p_istart, double p_istop, double p_ostart, double p_ostop) {
	return lerp(p_ostart, p_ostop, inverse_lerp(p_istart, p_istop, p_value));
}
inline float remap(float p_value, float p_istart, float p_istop, float p_ostart, float p_ostop) {
	return lerp(p_ostart, p_ostop, inverse_lerp(p_istart, p_istop, p_value));
}

inline double smoothstep(double p_from, double p_to, double p_s) {
	if (is_equal_approx(p_from, p_to)) {
		return p_s <= p_from ? 0.0 : 1.0;
	}
	double s = clamp((p_s - p_from) / (p_to - p_from), 0.0, 1.0);
	return s * s * (3.0 - 2.0 * s);
}
inline float smoothstep(float p_from, float p_to, float p_s) {
	if (is_equal_approx(p_from, p_to)) {
		return p_s <= p_from ? 0.0f : 1.0f;
	}
	float s = clamp((p_s - p_from) / (p_to - p_from), 0.0f, 1.0f);
	return s * s * (3.0f - 2.0f * s);
}

inline double move_toward(double p_from, double p_to, double p_delta) {
	return ::fabs(p_to - p_from) <= p_delta ? p_to : p_from + sign(p_to - p_from) * p_delta;
}
inline float move_toward(float p_from, float p_to, float p_delta) {
	return ::fabsf(p_to - p_from) <= p_delta ? p_to : p_from + sign(p_to - p_from) * p_delta;
}

inline double deg_to_rad(double p_y) { return p_y * (Math_PI / 180.0); }
inline float deg_to_rad(float p_y) { return p_y * (float)(Math_PI / 180.0); }
inline double rad_to_deg(double p_y) { return p_y * (180.0 / Math_PI); }
inline float rad_to_deg(float p_y) { return p_y * (float)(180.0 / Math_PI); }

// Result takes the sign of the divisor, unlike fmod.
inline double fposmod(double p_x, double p_y) {
	double value = ::fmod(p_x, p_y);
	if ((value < 0 && p_y > 0) || (value > 0 && p_y < 0)) {
		value += p_y;
	}
	return value;
}
inline float fposmod(float p_x, float p_y) {
	float value = ::fmodf(p_x, p_y);
	if ((value < 0 && p_y > 0) || (value > 0 && p_y < 0)) {
		value += p_y;
	}
	return value;
}
inline int64_t posmod(int64_t p_x, int64_t p_y) {
	int64_t value = p_x % p_y;
	if ((value < 0 && p_y > 0) || (value > 0 && p_y < 0)) {
		value += p_y;
	}
	return value;
}

inline double wrapf(double p_value, double p_min, double p_max) {
	double range = p_max - p_min;
	if (is_zero_approx(range)) {
		return p_min;
	}
	double result = p_value - (range * ::floor((p_value - p_min) / range));
	return is_equal_approx(result, p_max) ? p_min : result;
}
inline float wrapf(float p_value, float p_min, float p_max) {
	float range = p_max - p_min;
	if (is_zero_approx(range)) {
		return p_min;
	}
	float result = p_value - (range * ::floorf((p_value - p_min) / range));
	return is_equal_approx(result, p_max) ? p_min : result;
}

inline double snapped(double p_value, double p_step) {
	if (p_step != 0) {
		p_value = ::floor(p_value / p_step + 0.5) * p_step;
	}
	return p_value;
}
inline float snapped(float p_value, float p_step) {
	if (p_step != 0) {
		p_value = ::floorf(p_value / p_step + 0.5f) * p_step;
	}
	return p_value;
}

// Takes the short way round.
inline double lerp_angle(double p_from, double p_to, double p_weight) {
	double difference = ::fmod(p_to - p_from, Math_TAU);
	double distance = ::fmod(2.0 * difference, Math_TAU) - difference;
	return p_from + distance * p_weight;
}
inline float lerp_angle(float p_from, float p_to, float p_weight) {
	float difference = ::fmodf(p_to - p_from, (float)Math_TAU);
	float distance = ::fmodf(2.0f * difference, (float)Math_TAU) - difference;
	return p_from + distance * p_weight;
}

} // namespace Math
} // namespace godot

#endif // GODOT_CORE_MATH_HPP
