#ifndef GODOT_COLOR_HPP
#define GODOT_COLOR_HPP

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/math.hpp>

#include <cstdint>

// Default visibility via pragma: see vector2.hpp.
#pragma GCC visibility push(default)

namespace godot {

class String;

// RGBA with float channels, nominally 0..1 (values above 1 are allowed for HDR).
struct [[nodiscard]] Color {
	union {
		__extension__ struct {
			float r;
			float g;
			float b;
			float a;
		};
		float components[4] = { 0, 0, 0, 1.0 };
	};

	// Packed 8 bits per channel, first-named channel in the high byte.
	uint32_t to_rgba32() const;
	uint32_t to_argb32() const;
	uint32_t to_abgr32() const;
	uint64_t to_rgba64() const;
	uint64_t to_argb64() const;
	uint64_t to_abgr64() const;
	String to_html(bool p_alpha = true) const;

	float get_h() const;
	float get_s() const;
	float get_v() const;
	void set_hsv(float p_h, float p_s, float p_v, float p_alpha = 1.0f);

	_FORCE_INLINE_ float &operator[](int p_idx) { return components[p_idx]; }
	_FORCE_INLINE_ const float &operator[](int p_idx) const { return components[p_idx]; }

	bool operator==(const Color &p_color) const { return r == p_color.r && g == p_color.g && b == p_color.b && a == p_color.a; }
	bool operator!=(const Color &p_color) const { return r != p_color.r || g != p_color.g || b != p_color.b || a != p_color.a; }
	bool operator<(const Color &p_color) const {
		if (r == p_color.r) {
			if (g == p_color.g) {
				if (b == p_color.b) {
					return a < p_color.a;
				}
				return b < p_color.b;
			}
			return g < p_color.g;
		}
		return r < p_color.r;
	}

	Color operator+(const Color &p_color) const { return Color(r + p_color.r, g + p_color.g, b + p_color.b, a + p_color.a); }
	void operator+=(const Color &p_color) {
		r += p_color.r;
		g += p_color.g;
		b += p_color.b;
		a += p_color.a;
	}
	Color operator-() const { return Color(1.0f - r, 1.0f - g, 1.0f - b, 1.0f - a); }
	Color operator-(const Color &p_color) const { return Color(r - p_color.r, g - p_color.g, b - p_color.b, a - p_color.a); }
	void operator-=(const Color &p_color) {
		r -= p_color.r;
		g -= p_color.g;
		b -= p_color.b;
		a -= p_color.a;
	}
	Color operator*(const Color &p_color) const { return Color(r * p_color.r, g * p_color.g, b * p_color.b, a * p_color.a); }
	Color operator*(float p_scalar) const { return Color(r * p_scalar, g * p_scalar, b * p_scalar, a * p_scalar); }
	void operator*=(const Color &p_color) {
		r *= p_color.r;
		g *= p_color.g;
		b *= p_color.b;
		a *= p_color.a;
	}
	void operator*=(float p_scalar) {
		r *= p_scalar;
		g *= p_scalar;
		b *= p_scalar;
		a *= p_scalar;
	}
	Color operator/(const Color &p_color) const { return Color(r / p_color.r, g / p_color.g, b / p_color.b, a / p_color.a); }
	Color operator/(float p_scalar) const { return Color(r / p_scalar, g / p_scalar, b / p_scalar, a / p_scalar); }
	void operator/=(const Color &p_color) {
		r /= p_color.r;
		g /= p_color.g;
		b /= p_color.b;
		a /= p_color.a;
	}
	void operator/=(float p_scalar) {
		r /= p_scalar;
		g /= p_scalar;
		b /= p_scalar;
		a /= p_scalar;
	}

	bool is_equal_approx(const Color &p_color) const {
		return Math::is_equal_approx(r, p_color.r) && Math::is_equal_approx(g, p_color.g) && Math::is_equal_approx(b, p_color.b) &&
				Math::is_equal_approx(a, p_color.a);
	}

	Color clamp(const Color &p_min = Color(0, 0, 0, 0), const Color &p_max = Color(1, 1, 1, 1)) const {
		return Color(CLAMP(r, p_min.r, p_max.r), CLAMP(g, p_min.g, p_max.g), CLAMP(b, p_min.b, p_max.b), CLAMP(a, p_min.a, p_max.a));
	}
	void invert() {
		r = 1.0f - r;
		g = 1.0f - g;
		b = 1.0f - b;
	}
	Color inverted() const {
		Color c = *this;
		c.invert();
		return c;
	}

	float get_luminance() const { return 0.2126f * r + 0.7152f * g + 0.0722f * b; }

	Color lerp(const Color &p_to, float p_weight) const {
		return Color(Math::lerp(r, p_to.r, p_weight), Math::lerp(g, p_to.g, p_weight), Math::lerp(b, p_to.b, p_weight),
				Math::lerp(a, p_to.a, p_weight));
	}
	Color darkened(float p_amount) const {
		return Color(r * (1.0f - p_amount), g * (1.0f - p_amount), b * (1.0f - p_amount), a);
	}
	Color lightened(float p_amount) const {
		return Color(r + (1.0f - r) * p_amount, g + (1.0f - g) * p_amount, b + (1.0f - b) * p_amount, a);
	}
	// Draws p_over on top of this colour (straight, non-premultiplied alpha).
	Color blend(const Color &p_over) const;

	Color srgb_to_linear() const;
	Color linear_to_srgb() const;

	static Color hex(uint32_t p_hex);
	static Color hex64(uint64_t p_hex);
	// "#rgb", "#rgba", "#rrggbb" or "#rrggbbaa", '#' optional. Alpha comes last.
	static Color html(const String &p_rgba);
	static bool html_is_valid(const String &p_color);
	static Color named(const String &p_name);
	static Color from_string(const String &p_string, const Color &p_default);
	static Color from_hsv(float p_h, float p_s, float p_v, float p_alpha = 1.0f);
	static Color from_rgba8(int64_t p_r8, int64_t p_g8, int64_t p_b8, int64_t p_a8 = 255) {
		return Color(p_r8 / 255.0f, p_g8 / 255.0f, p_b8 / 255.0f, p_a8 / 255.0f);
	}

	_FORCE_INLINE_ int32_t get_r8() const { return int32_t(CLAMP(Math::round(r * 255.0f), 0.0f, 255.0f)); }
	_FORCE_INLINE_ int32_t get_g8() const { return int32_t(CLAMP(Math::round(g * 255.0f), 0.0f, 255.0f)); }
	_FORCE_INLINE_ int32_t get_b8() const { return int32_t(CLAMP(Math::round(b * 255.0f), 0.0f, 255.0f)); }
	_FORCE_INLINE_ int32_t get_a8() const { return int32_t(CLAMP(Math::round(a * 255.0f), 0.0f, 255.0f)); }

	_FORCE_INLINE_ Color() {}
	_FORCE_INLINE_ Color(float p_r, float p_g, float p_b, float p_a) {
		r = p_r;
		g = p_g;
		b = p_b;
		a = p_a;
	}
	_FORCE_INLINE_ Color(float p_r, float p_g, float p_b) {
		r = p_r;
		g = p_g;
		b = p_b;
		a = 1.0f;
	}
	_FORCE_INLINE_ Color(const Color &p_c, float p_a) {
		r = p_c.r;
		g = p_c.g;
		b = p_c.b;
		a = p_a;
	}
	// Accepts an html code or a colour name ("red", "dark_green", ...).
	Color(const String &p_code);
	Color(const String &p_code, float p_a);
};

_FORCE_INLINE_ Color operator*(float p_scalar, const Color &p_color) { return p_color * p_scalar; }

} // namespace godot

#pragma GCC visibility pop

#endif // GODOT_COLOR_HPP
