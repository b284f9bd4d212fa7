// Floats as the engine prints them: the shortest text that reads back as the
// same number, whole numbers with a trailing ".0", very large and very small
// magnitudes in exponent form ("1e+20", "1e-05").
#include <godot_cpp/variant/string.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace godot {

namespace {

// Shortest "%.*e" text of p_value that reads back unchanged; p_float reads
// back through single precision.
void shortest_exponent_form(double p_value, bool p_float, char *r_buf, size_t p_size) {
	const int max_digits = p_float ? 9 : 17;
	for (int digits = 1; digits <= max_digits; digits++) {
		std::snprintf(r_buf, p_size, "%.*e", digits - 1, p_value);
		if (p_float ? std::strtof(r_buf, nullptr) == (float)p_value : std::strtod(r_buf, nullptr) == p_value) {
			return;
		}
	}
}

String float_text(double p_value, bool p_float) {
	if (std::isnan(p_value)) {
		return "nan";
	}
	if (std::isinf(p_value)) {
		return p_value < 0 ? "-inf" : "inf";
	}
	char buf[64];
	shortest_exponent_form(p_value, p_float, buf, sizeof(buf));
	// buf is "[-]d[.ddd]e(+|-)XX": split into sign, digits and exponent.
	const char *p = buf;
	std::string sign;
	if (*p == '-') {
		sign = "-";
		p++;
	}
	std::string digits;
	for (; *p && *p != 'e'; p++) {
		if (*p != '.') {
			digits += *p;
		}
	}
	const int exponent = std::atoi(p + 1);
	while (digits.size() > 1 && digits.back() == '0') {
		digits.pop_back();
	}

	std::string out = sign;
	if (exponent < -4 || exponent >= 16) {
		out += digits.substr(0, 1);
		if (digits.size() > 1) {
			out += "." + digits.substr(1);
		}
		char e[16];
		std::snprintf(e, sizeof(e), "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
		out += e;
	} else if (exponent < 0) {
		out += "0." + std::string((size_t)(-exponent - 1), '0') + digits;
	} else if ((int)digits.size() <= exponent + 1) {
		out += digits + std::string((size_t)(exponent + 1) - digits.size(), '0') + ".0";
	} else {
		out += digits.substr(0, (size_t)exponent + 1) + "." + digits.substr((size_t)exponent + 1);
	}
	return String(out.c_str());
}

} // namespace

String _host_float_text(double p_value) {
	return float_text(p_value, false);
}

String _host_real_text(real_t p_value) {
	return float_text((double)p_value, true);
}

} // namespace godot
