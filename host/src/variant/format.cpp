// printf-style formatting of strings with a list of values, as the engine's `%`.
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdio>
#include <string>

namespace godot {

namespace {

String pad(const String &p_text, int p_width, bool p_left, char32_t p_fill) {
	String out = p_text;
	while (out.length() < p_width) {
		out = p_left ? out + String::chr(' ') : String::chr(p_fill) + out;
	}
	return out;
}

} // namespace

String _host_format(const String &p_text, const Array &p_values, bool *r_error) {
	String out;
	int64_t value_index = 0;
	bool error = false;
	int64_t n = p_text.length();
	for (int64_t i = 0; i < n; i++) {
		char32_t c = p_text[i];
		if (c != '%' || i + 1 >= n) {
			out += c;
			continue;
		}
		int64_t j = i + 1;
		bool left = false, plus = false, zero = false;
		while (j < n && (p_text[j] == '-' || p_text[j] == '+' || p_text[j] == '0')) {
			left |= p_text[j] == '-';
			plus |= p_text[j] == '+';
			zero |= p_text[j] == '0';
			j++;
		}
		int width = 0;
		int precision = -1;
		while (j < n && p_text[j] >= '0' && p_text[j] <= '9') {
			width = width * 10 + (int)(p_text[j] - '0');
			j++;
		}
		if (j < n && p_text[j] == '.') {
			precision = 0;
			j++;
			while (j < n && p_text[j] >= '0' && p_text[j] <= '9') {
				precision = precision * 10 + (int)(p_text[j] - '0');
				j++;
			}
		}
		if (j >= n) {
			error = true;
			break;
		}
		char32_t conv = p_text[j];
		if (conv == '%') {
			out += '%';
			i = j;
			continue;
		}
		if (value_index >= p_values.size()) {
			error = true;
			break;
		}
		const Variant &v = p_values[value_index++];
		String piece;
		char buf[512];
		switch (conv) {
			case 's':
				piece = v.stringify();
				break;
			case 'c':
				piece = v.get_type() == Variant::STRING ? v.operator String().substr(0, 1) : String::chr((char32_t)(int64_t)v);
				break;
			case 'd':
			case 'i':
				std::snprintf(buf, sizeof(buf), plus ? "%+lld" : "%lld", (long long)(int64_t)v);
				piece = buf;
				break;
			case 'x':
			case 'X':
			case 'o':
				std::snprintf(buf, sizeof(buf), conv == 'x' ? "%llx" : (conv == 'X' ? "%llX" : "%llo"), (unsigned long long)(int64_t)v);
				piece = buf;
				break;
			case 'f':
				std::snprintf(buf, sizeof(buf), plus ? "%+.*f" : "%.*f", precision < 0 ? 6 : precision, (double)v);
				piece = buf;
				break;
			default:
				error = true;
				break;
		}
		if (error) {
			break;
		}
		out += pad(piece, width, left, zero && !left && conv != 's' ? '0' : ' ');
		i = j;
	}
	if (!error && value_index < p_values.size()) {
		error = true; // not all arguments converted
	}
	if (r_error) {
		*r_error = error;
	}
	if (error) {
		ERR_PRINT(String("Error formatting string: ") + p_text);
	}
	return out;
}

String String::operator%(const Variant &p_values) const {
	if (p_values.get_type() == Variant::ARRAY) {
		return _host_format(*this, p_values.operator Array());
	}
	Array a;
	a.push_back(p_values);
	return _host_format(*this, a);
}

} // namespace godot
