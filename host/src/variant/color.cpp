#include <godot_cpp/variant/color.hpp>

namespace godot {

namespace {

// Channels outside 0..1 saturate rather than wrap when packed.
uint32_t to_8bit(float p_v) {
	return (uint32_t)CLAMP(Math::round(p_v * 255.0f), 0.0f, 255.0f);
}

uint64_t to_16bit(float p_v) {
	return (uint64_t)CLAMP(Math::round(p_v * 65535.0f), 0.0f, 65535.0f);
}

} // namespace

uint32_t Color::to_rgba32() const {
	return (to_8bit(r) << 24) | (to_8bit(g) << 16) | (to_8bit(b) << 8) | to_8bit(a);
}

uint32_t Color::to_argb32() const {
	return (to_8bit(a) << 24) | (to_8bit(r) << 16) | (to_8bit(g) << 8) | to_8bit(b);
}

uint32_t Color::to_abgr32() const {
	return (to_8bit(a) << 24) | (to_8bit(b) << 16) | (to_8bit(g) << 8) | to_8bit(r);
}

uint64_t Color::to_rgba64() const {
	return (to_16bit(r) << 48) | (to_16bit(g) << 32) | (to_16bit(b) << 16) | to_16bit(a);
}

uint64_t Color::to_argb64() const {
	return (to_16bit(a) << 48) | (to_16bit(r) << 32) | (to_16bit(g) << 16) | to_16bit(b);
}

uint64_t Color::to_abgr64() const {
	return (to_16bit(a) << 48) | (to_16bit(b) << 32) | (to_16bit(g) << 16) | to_16bit(r);
}

float Color::get_h() const {
	float min = MIN(r, g);
	min = MIN(min, b);
	float max = MAX(r, g);
	max = MAX(max, b);
	float delta = max - min;
	if (delta == 0.0f) {
		return 0.0f;
	}

	float h;
	if (r == max) {
		h = (g - b) / delta; // Between yellow and magenta.
	} else if (g == max) {
		h = 2 + (b - r) / delta; // Between cyan and yellow.
	} else {
		h = 4 + (r - g) / delta; // Between magenta and cyan.
	}
	h /= 6.0f;
	if (h < 0.0f) {
		h += 1.0f;
	}
	return h;
}

float Color::get_s() const {
	float min = MIN(r, g);
	min = MIN(min, b);
	float max = MAX(r, g);
	max = MAX(max, b);
	return (max != 0.0f) ? ((max - min) / max) : 0.0f;
}

float Color::get_v() const {
	float max = MAX(r, g);
	return MAX(max, b);
}

void Color::set_hsv(float p_h, float p_s, float p_v, float p_alpha) {
	a = p_alpha;
	if (p_s == 0.0f) {
		r = g = b = p_v; // Achromatic.
		return;
	}

	p_h *= 6.0f;
	p_h = Math::fmod(p_h, 6.0f);
	int i = (int)Math::floor(p_h);
	float f = p_h - i;
	float p = p_v * (1.0f - p_s);
	float q = p_v * (1.0f - p_s * f);
	float t = p_v * (1.0f - p_s * (1.0f - f));

	switch (i) {
		case 0: // Red is the dominant color.
			r = p_v;
			g = t;
			b = p;
			break;
		case 1: // Green is the dominant color.
			r = q;
			g = p_v;
			b = p;
			break;
		case 2:
			r = p;
			g = p_v;
			b = t;
			break;
		case 3: // Blue is the dominant color.
			r = p;
			g = q;
			b = p_v;
			break;
		case 4:
			r = t;
			g = p;
			b = p_v;
			break;
		default: // Red is the dominant color.
			r = p_v;
			g = p;
			b = q;
			break;
	}
}

Color Color::from_hsv(float p_h, float p_s, float p_v, float p_alpha) {
	Color c;
	c.set_hsv(p_h, p_s, p_v, p_alpha);
	return c;
}

Color Color::blend(const Color &p_over) const {
	Color res;
	float sa = 1.0f - p_over.a;
	res.a = a * sa + p_over.a;
	if (res.a == 0) {
		return Color(0, 0, 0, 0);
	}
	res.r = (r * a * sa + p_over.r * p_over.a) / res.a;
	res.g = (g * a * sa + p_over.g * p_over.a) / res.a;
	res.b = (b * a * sa + p_over.b * p_over.a) / res.a;
	return res;
}

Color Color::srgb_to_linear() const {
	return Color(
			r < 0.04045f ? r * (1.0f / 12.92f) : Math::pow((r + 0.055f) * (float)(1.0 / (1.0 + 0.055)), 2.4f),
			g < 0.04045f ? g * (1.0f / 12.92f) : Math::pow((g + 0.055f) * (float)(1.0 / (1.0 + 0.055)), 2.4f),
			b < 0.04045f ? b * (1.0f / 12.92f) : Math::pow((b + 0.055f) * (float)(1.0 / (1.0 + 0.055)), 2.4f),
			a);
}

Color Color::linear_to_srgb() const {
	return Color(
			r < 0.0031308f ? 12.92f * r : (1.0f + 0.055f) * Math::pow(r, 1.0f / 2.4f) - 0.055f,
			g < 0.0031308f ? 12.92f * g : (1.0f + 0.055f) * Math::pow(g, 1.0f / 2.4f) - 0.055f,
			b < 0.0031308f ? 12.92f * b : (1.0f + 0.055f) * Math::pow(b, 1.0f / 2.4f) - 0.055f,
			a);
}

Color Color::hex(uint32_t p_hex) {
	float a = (p_hex & 0xFF) / 255.0f;
	p_hex >>= 8;
	float b = (p_hex & 0xFF) / 255.0f;
	p_hex >>= 8;
	float g = (p_hex & 0xFF) / 255.0f;
	p_hex >>= 8;
	float r = (p_hex & 0xFF) / 255.0f;
	return Color(r, g, b, a);
}

Color Color::hex64(uint64_t p_hex) {
	float a = (p_hex & 0xFFFF) / 65535.0f;
	p_hex >>= 16;
	float b = (p_hex & 0xFFFF) / 65535.0f;
	p_hex >>= 16;
	float g = (p_hex & 0xFFFF) / 65535.0f;
	p_hex >>= 16;
	float r = (p_hex & 0xFFFF) / 65535.0f;
	return Color(r, g, b, a);
}

} // namespace godot
