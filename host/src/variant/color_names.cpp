// The Color functions that take or return String, kept apart from the pure math.
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/color.hpp>
#include <godot_cpp/variant/string.hpp>

#include <cstring>
#include <string>

namespace godot {

namespace {

struct NamedColor {
	const char *name; // Upper case, separators removed.
	uint32_t rgba;
};

// Where X11 and CSS disagree the X11 value wins and CSS gets a WEB prefix.
const NamedColor named_colors[] = {
	{ "ALICEBLUE", 0xF0F8FFFF },
	{ "AQUA", 0x00FFFFFF },
	{ "AZURE", 0xF0FFFFFF },
	{ "BEIGE", 0xF5F5DCFF },
	{ "BLACK", 0x000000FF },
	{ "BLUE", 0x0000FFFF },
	{ "BROWN", 0xA52A2AFF },
	{ "CHARTREUSE", 0x7FFF00FF },
	{ "CHOCOLATE", 0xD2691EFF },
	{ "CORAL", 0xFF7F50FF },
	{ "CORNFLOWERBLUE", 0x6495EDFF },
	{ "CRIMSON", 0xDC143CFF },
	{ "CYAN", 0x00FFFFFF },
	{ "DARKBLUE", 0x00008BFF },
	{ "DARKCYAN", 0x008B8BFF },
	{ "DARKGRAY", 0xA9A9A9FF },
	{ "DARKGREEN", 0x006400FF },
	{ "DARKMAGENTA", 0x8B008BFF },
	{ "DARKORANGE", 0xFF8C00FF },
	{ "DARKRED", 0x8B0000FF },
	{ "DARKVIOLET", 0x9400D3FF },
	{ "DEEPPINK", 0xFF1493FF },
	{ "DEEPSKYBLUE", 0x00BFFFFF },
	{ "DIMGRAY", 0x696969FF },
	{ "FIREBRICK", 0xB22222FF },
	{ "FORESTGREEN", 0x228B22FF },
	{ "FUCHSIA", 0xFF00FFFF },
	{ "GOLD", 0xFFD700FF },
	{ "GOLDENROD", 0xDAA520FF },
	{ "GRAY", 0xBEBEBEFF },
	{ "GREEN", 0x00FF00FF },
	{ "HOTPINK", 0xFF69B4FF },
	{ "INDIGO", 0x4B0082FF },
	{ "IVORY", 0xFFFFF0FF },
	{ "KHAKI", 0xF0E68CFF },
	{ "LAVENDER", 0xE6E6FAFF },
	{ "LIGHTBLUE", 0xADD8E6FF },
	{ "LIGHTGRAY", 0xD3D3D3FF },
	{ "LIGHTGREEN", 0x90EE90FF },
	{ "LIME", 0x00FF00FF },
	{ "LIMEGREEN", 0x32CD32FF },
	{ "MAGENTA", 0xFF00FFFF },
	{ "MAROON", 0xB03060FF },
	{ "MIDNIGHTBLUE", 0x191970FF },
	{ "NAVYBLUE", 0x000080FF },
	{ "OLIVE", 0x808000FF },
	{ "ORANGE", 0xFFA500FF },
	{ "ORANGERED", 0xFF4500FF },
	{ "ORCHID", 0xDA70D6FF },
	{ "PINK", 0xFFC0CBFF },
	{ "PLUM", 0xDDA0DDFF },
	{ "PURPLE", 0xA020F0FF },
	{ "REBECCAPURPLE", 0x663399FF },
	{ "RED", 0xFF0000FF },
	{ "ROYALBLUE", 0x4169E1FF },
	{ "SALMON", 0xFA8072FF },
	{ "SEAGREEN", 0x2E8B57FF },
	{ "SIENNA", 0xA0522DFF },
	{ "SILVER", 0xC0C0C0FF },
	{ "SKYBLUE", 0x87CEEBFF },
	{ "SLATEGRAY", 0x708090FF },
	{ "SNOW", 0xFFFAFAFF },
	{ "SPRINGGREEN", 0x00FF7FFF },
	{ "STEELBLUE", 0x4682B4FF },
	{ "TAN", 0xD2B48CFF },
	{ "TEAL", 0x008080FF },
	{ "TOMATO", 0xFF6347FF },
	{ "TRANSPARENT", 0xFFFFFF00 },
	{ "TURQUOISE", 0x40E0D0FF },
	{ "VIOLET", 0xEE82EEFF },
	{ "WEBGRAY", 0x808080FF },
	{ "WEBGREEN", 0x008000FF },
	{ "WEBMAROON", 0x800000FF },
	{ "WEBPURPLE", 0x800080FF },
	{ "WHEAT", 0xF5DEB3FF },
	{ "WHITE", 0xFFFFFFFF },
	{ "YELLOW", 0xFFFF00FF },
	{ "YELLOWGREEN", 0x9ACD32FF },
};

std::u32string to_u32(const String &p_str) {
	std::u32string out;
	const int64_t len = p_str.length();
	out.reserve((size_t)len);
	for (int64_t i = 0; i < len; i++) {
		out.push_back(p_str[i]);
	}
	return out;
}

int hex_digit(char32_t p_c) {
	if (p_c >= '0' && p_c <= '9') {
		return int(p_c - '0');
	}
	if (p_c >= 'a' && p_c <= 'f') {
		return int(p_c - 'a') + 10;
	}
	if (p_c >= 'A' && p_c <= 'F') {
		return int(p_c - 'A') + 10;
	}
	return -1;
}

// Accepts rgb, rgba, rrggbb or rrggbbaa with an optional leading '#'.
bool parse_html(const std::u32string &p_code, Color &r_color) {
	std::u32string code = p_code;
	if (!code.empty() && code[0] == U'#') {
		code.erase(0, 1);
	}
	const size_t len = code.size();
	if (len != 3 && len != 4 && len != 6 && len != 8) {
		return false;
	}
	const bool shorthand = len < 5;
	const int channels = (len == 4 || len == 8) ? 4 : 3;
	const int digits = shorthand ? 1 : 2;

	float values[4] = { 0, 0, 0, 1 };
	for (int c = 0; c < channels; c++) {
		int v = 0;
		for (int d = 0; d < digits; d++) {
			int h = hex_digit(code[(size_t)(c * digits + d)]);
			if (h < 0) {
				return false;
			}
			v = v * 16 + h;
		}
		if (shorthand) {
			v *= 17; // "f" means "ff".
		}
		values[c] = v / 255.0f;
	}
	r_color = Color(values[0], values[1], values[2], values[3]);
	return true;
}

bool lookup_named(const std::u32string &p_name, Color &r_color) {
	std::string key;
	for (char32_t c : p_name) {
		if (c == U' ' || c == U'-' || c == U'_' || c == U'\'' || c == U'.') {
			continue;
		}
		if (c >= U'a' && c <= U'z') {
			c = c - U'a' + U'A';
		}
		if (c > 127) {
			return false;
		}
		key.push_back((char)c);
	}
	for (const NamedColor &nc : named_colors) {
		if (key == nc.name) {
			r_color = Color::hex(nc.rgba);
			return true;
		}
	}
	return false;
}

} // namespace

Color Color::html(const String &p_rgba) {
	Color c;
	ERR_FAIL_COND_V_MSG(!parse_html(to_u32(p_rgba), c), Color(), String("Invalid color code: ") + p_rgba + ".");
	return c;
}

bool Color::html_is_valid(const String &p_color) {
	Color c;
	return parse_html(to_u32(p_color), c);
}

Color Color::named(const String &p_name) {
	Color c;
	ERR_FAIL_COND_V_MSG(!lookup_named(to_u32(p_name), c), Color(), String("Invalid color name: ") + p_name + ".");
	return c;
}

Color Color::from_string(const String &p_string, const Color &p_default) {
	const std::u32string s = to_u32(p_string);
	Color c;
	if (parse_html(s, c) || lookup_named(s, c)) {
		return c;
	}
	return p_default;
}

Color::Color(const String &p_code) {
	if (html_is_valid(p_code)) {
		*this = html(p_code);
	} else {
		*this = named(p_code);
	}
}

Color::Color(const String &p_code, float p_a) :
		Color(p_code) {
	a = p_a;
}

String Color::to_html(bool p_alpha) const {
	static const char digits[] = "0123456789abcdef";
	char buf[9];
	uint32_t channels[4] = { (uint32_t)get_r8(), (uint32_t)get_g8(), (uint32_t)get_b8(), (uint32_t)get_a8() };
	const int count = p_alpha ? 4 : 3;
	for (int i = 0; i < count; i++) {
		buf[i * 2] = digits[channels[i] >> 4];
		buf[i * 2 + 1] = digits[channels[i] & 0xF];
	}
	buf[count * 2] = '\0';
	return String(buf);
}

} // namespace godot
