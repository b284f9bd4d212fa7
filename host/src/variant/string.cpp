#include <godot_cpp/variant/string.hpp>

#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/node_path.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace godot {

namespace {

constexpr char32_t REPLACEMENT_CHAR = 0xFFFD;

template <class T>
size_t c_length(const T *p_str, int64_t p_max = -1) {
	size_t n = 0;
	if (p_str == nullptr) {
		return 0;
	}
	while ((p_max < 0 || (int64_t)n < p_max) && p_str[n] != 0) {
		n++;
	}
	return n;
}

void decode_latin1(std::u32string &r_out, const char *p_str) {
	const size_t n = c_length(p_str);
	r_out.resize(n);
	for (size_t i = 0; i < n; i++) {
		r_out[i] = (unsigned char)p_str[i];
	}
}

void decode_utf8(std::u32string &r_out, const char *p_str, int64_t p_len) {
	r_out.clear();
	const unsigned char *s = (const unsigned char *)p_str;
	const size_t n = c_length(p_str, p_len);
	size_t i = 0;
	// The engine drops a leading byte order mark.
	if (n >= 3 && s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF) {
		i = 3;
	}
	r_out.reserve(n - i);
	while (i < n) {
		const unsigned char lead = s[i];
		if (lead < 0x80) {
			r_out += (char32_t)lead;
			i++;
			continue;
		}
		size_t extra;
		char32_t cp;
		char32_t min_cp;
		if ((lead & 0xE0) == 0xC0) {
			extra = 1;
			cp = lead & 0x1F;
			min_cp = 0x80;
		} else if ((lead & 0xF0) == 0xE0) {
			extra = 2;
			cp = lead & 0x0F;
			min_cp = 0x800;
		} else if ((lead & 0xF8) == 0xF0) {
			extra = 3;
			cp = lead & 0x07;
			min_cp = 0x10000;
		} else {
			r_out += REPLACEMENT_CHAR;
			i++;
			continue;
		}
		size_t j = 1;
		for (; j <= extra; j++) {
			if (i + j >= n || (s[i + j] & 0xC0) != 0x80) {
				break;
			}
			cp = (cp << 6) | (s[i + j] & 0x3F);
		}
		if (j <= extra) {
			// Truncated sequence: one replacement for the lead and what followed it.
			r_out += REPLACEMENT_CHAR;
			i += j;
			continue;
		}
		i += extra + 1;
		if (cp < min_cp || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
			cp = REPLACEMENT_CHAR;
		}
		r_out += cp;
	}
}

void decode_utf16(std::u32string &r_out, const char16_t *p_str, int64_t p_len) {
	r_out.clear();
	const size_t n = c_length(p_str, p_len);
	r_out.reserve(n);
	for (size_t i = 0; i < n; i++) {
		const char32_t c = p_str[i];
		if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && p_str[i + 1] >= 0xDC00 && p_str[i + 1] <= 0xDFFF) {
			r_out += 0x10000 + ((c - 0xD800) << 10) + (p_str[i + 1] - 0xDC00);
			i++;
		} else if (c >= 0xD800 && c <= 0xDFFF) {
			r_out += REPLACEMENT_CHAR;
		} else {
			r_out += c;
		}
	}
}

void decode_wide(std::u32string &r_out, const wchar_t *p_str) {
	if constexpr (sizeof(wchar_t) == 2) {
		decode_utf16(r_out, reinterpret_cast<const char16_t *>(p_str), -1);
	} else {
		const size_t n = c_length(p_str);
		r_out.resize(n);
		for (size_t i = 0; i < n; i++) {
			r_out[i] = (char32_t)p_str[i];
		}
	}
}

void decode_utf32(std::u32string &r_out, const char32_t *p_str) {
	r_out.assign(p_str ? p_str : U"", c_length(p_str));
}

// One-to-one case mapping for the scripts the game can show. Each row maps
// every code point in [first, last] (or only the even / odd ones) by delta.
enum class Parity : uint8_t {
	ALL,
	EVEN,
	ODD,
};

struct CaseRange {
	char32_t first;
	char32_t last;
	Parity parity;
	int32_t delta;
};

constexpr CaseRange UPPER_MAP[] = {
	{ 0x0061, 0x007A, Parity::ALL, -32 },
	{ 0x00E0, 0x00F6, Parity::ALL, -32 },
	{ 0x00F8, 0x00FE, Parity::ALL, -32 },
	{ 0x00FF, 0x00FF, Parity::ALL, 0x0178 - 0x00FF },
	{ 0x0100, 0x012F, Parity::ODD, -1 },
	{ 0x0131, 0x0131, Parity::ALL, 0x0049 - 0x0131 },
	{ 0x0132, 0x0137, Parity::ODD, -1 },
	{ 0x0139, 0x0148, Parity::EVEN, -1 },
	{ 0x014A, 0x0177, Parity::ODD, -1 },
	{ 0x0179, 0x017E, Parity::EVEN, -1 },
	{ 0x017F, 0x017F, Parity::ALL, 0x0053 - 0x017F },
	{ 0x03AC, 0x03AC, Parity::ALL, 0x0386 - 0x03AC },
	{ 0x03AD, 0x03AF, Parity::ALL, -37 },
	{ 0x03B1, 0x03C1, Parity::ALL, -32 },
	{ 0x03C2, 0x03C2, Parity::ALL, 0x03A3 - 0x03C2 },
	{ 0x03C3, 0x03CB, Parity::ALL, -32 },
	{ 0x03CC, 0x03CC, Parity::ALL, 0x038C - 0x03CC },
	{ 0x03CD, 0x03CE, Parity::ALL, -63 },
	{ 0x0430, 0x044F, Parity::ALL, -32 },
	{ 0x0450, 0x045F, Parity::ALL, -80 },
	{ 0x0460, 0x0481, Parity::ODD, -1 },
	{ 0x048A, 0x04BF, Parity::ODD, -1 },
	{ 0x04C2, 0x04CE, Parity::EVEN, -1 },
	{ 0x04CF, 0x04CF, Parity::ALL, 0x04C0 - 0x04CF },
	{ 0x04D0, 0x052F, Parity::ODD, -1 },
};

constexpr CaseRange LOWER_MAP[] = {
	{ 0x0041, 0x005A, Parity::ALL, 32 },
	{ 0x00C0, 0x00D6, Parity::ALL, 32 },
	{ 0x00D8, 0x00DE, Parity::ALL, 32 },
	{ 0x0100, 0x012F, Parity::EVEN, 1 },
	{ 0x0130, 0x0130, Parity::ALL, 0x0069 - 0x0130 },
	{ 0x0132, 0x0137, Parity::EVEN, 1 },
	{ 0x0139, 0x0148, Parity::ODD, 1 },
	{ 0x014A, 0x0177, Parity::EVEN, 1 },
	{ 0x0178, 0x0178, Parity::ALL, 0x00FF - 0x0178 },
	{ 0x0179, 0x017E, Parity::ODD, 1 },
	{ 0x0386, 0x0386, Parity::ALL, 0x03AC - 0x0386 },
	{ 0x0388, 0x038A, Parity::ALL, 37 },
	{ 0x038C, 0x038C, Parity::ALL, 0x03CC - 0x038C },
	{ 0x038E, 0x038F, Parity::ALL, 63 },
	{ 0x0391, 0x03A1, Parity::ALL, 32 },
	{ 0x03A3, 0x03AB, Parity::ALL, 32 },
	{ 0x0400, 0x040F, Parity::ALL, 80 },
	{ 0x0410, 0x042F, Parity::ALL, 32 },
	{ 0x0460, 0x0481, Parity::EVEN, 1 },
	{ 0x048A, 0x04BF, Parity::EVEN, 1 },
	{ 0x04C0, 0x04C0, Parity::ALL, 0x04CF - 0x04C0 },
	{ 0x04C1, 0x04CE, Parity::ODD, 1 },
	{ 0x04D0, 0x052F, Parity::EVEN, 1 },
};

template <size_t N>
char32_t map_case(const CaseRange (&p_table)[N], char32_t p_char) {
	if (p_char < 0x41 || p_char > 0x52F) {
		return p_char;
	}
	for (const CaseRange &r : p_table) {
		if (p_char < r.first) {
			break; // Rows are sorted.
		}
		if (p_char > r.last) {
			continue;
		}
		const bool odd = (p_char & 1) != 0;
		if (r.parity == Parity::ALL || (r.parity == Parity::ODD) == odd) {
			return (char32_t)((int32_t)p_char + r.delta);
		}
		return p_char;
	}
	return p_char;
}

char32_t upper_char(char32_t p_char) {
	return map_case(UPPER_MAP, p_char);
}

char32_t lower_char(char32_t p_char) {
	return map_case(LOWER_MAP, p_char);
}

// Engine rules: '*' matches any run, '?' any single character except '.',
// and an empty pattern or empty subject never matches.
bool wildcard_match(const std::u32string &p_pattern, const std::u32string &p_str, bool p_case_sensitive) {
	if (p_pattern.empty() || p_str.empty()) {
		return false;
	}
	const size_t pn = p_pattern.size();
	const size_t sn = p_str.size();
	size_t pi = 0;
	size_t si = 0;
	size_t star = std::u32string::npos;
	size_t mark = 0;
	while (si < sn) {
		if (pi < pn && p_pattern[pi] == U'*') {
			star = pi++;
			mark = si;
			continue;
		}
		if (pi < pn) {
			const char32_t pc = p_pattern[pi];
			const char32_t sc = p_str[si];
			bool ok;
			if (pc == U'?') {
				ok = sc != U'.';
			} else if (p_case_sensitive) {
				ok = pc == sc;
			} else {
				ok = upper_char(pc) == upper_char(sc);
			}
			if (ok) {
				pi++;
				si++;
				continue;
			}
		}
		if (star == std::u32string::npos) {
			return false;
		}
		// Let the last '*' swallow one more character and retry.
		pi = star + 1;
		si = ++mark;
	}
	while (pi < pn && p_pattern[pi] == U'*') {
		pi++;
	}
	return pi == pn;
}

bool is_digit(char32_t p_char) {
	return p_char >= U'0' && p_char <= U'9';
}

String from_ascii_buffer(const char *p_buf) {
	return String(p_buf);
}

String format_unsigned(uint64_t p_magnitude, bool p_negative, int64_t p_base, bool p_capitalize_hex) {
	const char a = p_capitalize_hex ? 'A' : 'a';
	char buf[72];
	int pos = (int)sizeof(buf) - 1;
	buf[pos] = 0;
	do {
		const unsigned digit = (unsigned)(p_magnitude % (uint64_t)p_base);
		buf[--pos] = digit < 10 ? (char)('0' + digit) : (char)(a + (digit - 10));
		p_magnitude /= (uint64_t)p_base;
	} while (p_magnitude != 0);
	if (p_negative) {
		buf[--pos] = '-';
	}
	return from_ascii_buffer(buf + pos);
}

} // namespace

// Construction -----------------------------------------------------------

const std::u32string &String::_empty_text() {
	static const std::u32string empty;
	return empty;
}

std::u32string &String::_edit() {
	if (!_shared) {
		_shared = std::make_shared<std::u32string>();
	} else if (_shared.use_count() > 1) {
		_shared = std::make_shared<std::u32string>(*_shared);
	}
	return *_shared;
}

String::String(const StringName &p_from) :
		_shared(p_from._get_string()._shared) {}

String::String(const NodePath &p_from) {
	if (p_from.is_absolute()) {
		_edit() += U'/';
	}
	for (int64_t i = 0; i < p_from.get_name_count(); i++) {
		if (i > 0) {
			_edit() += U'/';
		}
		_edit() += String(p_from.get_name(i))._text();
	}
	for (int64_t i = 0; i < p_from.get_subname_count(); i++) {
		_edit() += U':';
		_edit() += String(p_from.get_subname(i))._text();
	}
}

String::String(const char *p_from) {
	decode_latin1(_edit(), p_from);
}

String::String(const wchar_t *p_from) {
	decode_wide(_edit(), p_from);
}

String::String(const char16_t *p_from) {
	decode_utf16(_edit(), p_from, -1);
}

String::String(const char32_t *p_from) {
	decode_utf32(_edit(), p_from);
}

String String::utf8(const char *p_from, int64_t p_len) {
	String s;
	s.parse_utf8(p_from, p_len);
	return s;
}

void String::parse_utf8(const char *p_from, int64_t p_len) {
	decode_utf8(_edit(), p_from, p_len);
}

String String::utf16(const char16_t *p_from, int64_t p_len) {
	String s;
	s.parse_utf16(p_from, p_len);
	return s;
}

void String::parse_utf16(const char16_t *p_from, int64_t p_len) {
	decode_utf16(_edit(), p_from, p_len);
}

// Numbers --------------------------------------------------------------------

String String::num(double p_number, int64_t p_decimals) {
	if (std::isnan(p_number)) {
		return "nan";
	}
	if (std::isinf(p_number)) {
		return std::signbit(p_number) ? "-inf" : "inf";
	}
	if (p_decimals < 0) {
		p_decimals = 14;
		const double abs_num = std::fabs(p_number);
		if (abs_num > 10) {
			// Keep roughly 14 significant digits for large magnitudes.
			p_decimals -= (int64_t)std::floor(std::log10(abs_num));
		}
	}
	if (p_decimals > 32) {
		p_decimals = 32;
	}

	// A negative count left after the adjustment means plain "%f" (6 places).
	const int precision = p_decimals < 0 ? 6 : (int)p_decimals;
	// The largest double printed with 32 decimals fits comfortably.
	char buf[512];
	const int needed = std::snprintf(buf, sizeof(buf), "%.*f", precision, p_number);

	if (std::strchr(buf, '.') != nullptr) {
		int z = needed - 1;
		while (z > 0 && buf[z] == '0') {
			buf[z--] = 0;
		}
		if (buf[z] == '.') {
			buf[z] = 0;
		}
	}
	return from_ascii_buffer(buf);
}

String String::num_real(double p_number, bool p_trailing) {
	// The range guard keeps the int64 cast defined.
	if (std::isfinite(p_number) && p_number >= -9223372036854775808.0 && p_number < 9223372036854775808.0 &&
			p_number == (double)(int64_t)p_number) {
		String s = num_int64((int64_t)p_number);
		if (p_trailing) {
			s += ".0";
		}
		return s;
	}
	// Single-precision engine build: 6 decimals, fewer for large magnitudes.
	int64_t decimals = 6;
	const double abs_num = std::fabs(p_number);
	if (std::isfinite(abs_num) && abs_num > 10) {
		decimals -= (int64_t)std::floor(std::log10(abs_num));
	}
	return num(p_number, decimals);
}

String String::num_int64(int64_t p_number, int64_t p_base, bool p_capitalize_hex) {
	ERR_FAIL_COND_V_MSG(p_base < 2 || p_base > 36, String(), "Cannot convert to base outside 2..36.");
	const bool negative = p_number < 0;
	const uint64_t magnitude = negative ? (uint64_t)0 - (uint64_t)p_number : (uint64_t)p_number;
	return format_unsigned(magnitude, negative, p_base, p_capitalize_hex);
}

String String::num_uint64(uint64_t p_number, int64_t p_base, bool p_capitalize_hex) {
	ERR_FAIL_COND_V_MSG(p_base < 2 || p_base > 36, String(), "Cannot convert to base outside 2..36.");
	return format_unsigned(p_number, false, p_base, p_capitalize_hex);
}

String String::num_scientific(double p_number) {
	if (std::isnan(p_number)) {
		return "nan";
	}
	if (std::isinf(p_number)) {
		return std::signbit(p_number) ? "-inf" : "inf";
	}
	char buf[64];
	std::snprintf(buf, sizeof(buf), "%lg", p_number);
	return from_ascii_buffer(buf);
}

String String::chr(int64_t p_char) {
	String s;
	s._edit().assign(1, (char32_t)p_char);
	return s;
}

int64_t String::to_int() const {
	// Engine rules: stop at the first '.', skip anything that is not a digit,
	// and let a '-' before the first non-zero digit flip the sign.
	const size_t dot = _text().find(U'.');
	const size_t to = dot == std::u32string::npos ? _text().size() : dot;
	int64_t integer = 0;
	int64_t sign = 1;
	for (size_t i = 0; i < to; i++) {
		const char32_t c = _text()[i];
		if (is_digit(c)) {
			const bool overflow = integer > INT64_MAX / 10 ||
					(integer == INT64_MAX / 10 && ((sign == 1 && c > U'7') || (sign == -1 && c > U'8')));
			ERR_FAIL_COND_V_MSG(overflow, sign == 1 ? INT64_MAX : INT64_MIN,
					"Cannot represent " + *this + " as a 64-bit signed integer, since the value is " + (sign == 1 ? "too large." : "too small."));
			if (sign == -1 && integer == INT64_MAX / 10 && c == U'8') {
				return INT64_MIN;
			}
			integer = integer * 10 + (c - U'0');
		} else if (integer == 0 && c == U'-') {
			sign = -sign;
		}
	}
	return integer * sign;
}

double String::to_float() const {
	// Leading blanks, sign, digits with one '.', optional exponent; the rest is ignored.
	size_t i = 0;
	const size_t n = _text().size();
	while (i < n && (_text()[i] == U' ' || (_text()[i] >= 9 && _text()[i] <= 13))) {
		i++;
	}
	std::string num_str;
	if (i < n && (_text()[i] == U'+' || _text()[i] == U'-')) {
		num_str += (char)_text()[i++];
	}
	bool any_digit = false;
	while (i < n && is_digit(_text()[i])) {
		num_str += (char)_text()[i++];
		any_digit = true;
	}
	if (i < n && _text()[i] == U'.') {
		num_str += '.';
		i++;
		while (i < n && is_digit(_text()[i])) {
			num_str += (char)_text()[i++];
			any_digit = true;
		}
	}
	if (!any_digit) {
		return 0.0;
	}
	if (i < n && (_text()[i] == U'e' || _text()[i] == U'E')) {
		size_t j = i + 1;
		std::string exp_str = "e";
		if (j < n && (_text()[j] == U'+' || _text()[j] == U'-')) {
			exp_str += (char)_text()[j++];
		}
		if (j < n && is_digit(_text()[j])) {
			while (j < n && is_digit(_text()[j])) {
				exp_str += (char)_text()[j++];
			}
			num_str += exp_str;
		}
	}
	return std::strtod(num_str.c_str(), nullptr);
}

bool String::is_valid_int() const {
	const size_t n = _text().size();
	if (n == 0) {
		return false;
	}
	size_t from = 0;
	if (n > 1 && (_text()[0] == U'+' || _text()[0] == U'-')) {
		from = 1;
	}
	for (size_t i = from; i < n; i++) {
		if (!is_digit(_text()[i])) {
			return false;
		}
	}
	return true;
}

// Encodings ------------------------------------------------------------------

CharString String::utf8() const {
	std::string out;
	out.reserve(_text().size());
	for (char32_t c : _text()) {
		if (c < 0x80) {
			out += (char)c;
		} else if (c < 0x800) {
			out += (char)(0xC0 | (c >> 6));
			out += (char)(0x80 | (c & 0x3F));
		} else if (c < 0x10000) {
			out += (char)(0xE0 | (c >> 12));
			out += (char)(0x80 | ((c >> 6) & 0x3F));
			out += (char)(0x80 | (c & 0x3F));
		} else if (c <= 0x10FFFF) {
			out += (char)(0xF0 | (c >> 18));
			out += (char)(0x80 | ((c >> 12) & 0x3F));
			out += (char)(0x80 | ((c >> 6) & 0x3F));
			out += (char)(0x80 | (c & 0x3F));
		} else {
			out += "\xEF\xBF\xBD";
		}
	}
	return CharString(out.c_str());
}

CharString String::ascii() const {
	CharString cs;
	if (_text().empty()) {
		return cs;
	}
	cs.resize((int64_t)_text().size() + 1);
	char *w = cs.ptrw();
	bool reported = false;
	for (size_t i = 0; i < _text().size(); i++) {
		const char32_t c = _text()[i];
		if (c <= 0xFF) {
			w[i] = (char)c;
			continue;
		}
		w[i] = 0x20;
		if (!reported) {
			reported = true;
			char msg[128];
			std::snprintf(msg, sizeof(msg), "Unicode parsing error: Invalid unicode codepoint (%x), cannot represent as ASCII/Latin-1", (unsigned)c);
			_err_print_error(FUNCTION_STR, __FILE__, __LINE__, msg);
		}
	}
	w[_text().size()] = 0;
	return cs;
}

Char16String String::utf16() const {
	Char16String cs;
	if (_text().empty()) {
		return cs;
	}
	std::u16string out;
	out.reserve(_text().size());
	for (char32_t c : _text()) {
		if (c >= 0x10000 && c <= 0x10FFFF) {
			c -= 0x10000;
			out += (char16_t)(0xD800 + (c >> 10));
			out += (char16_t)(0xDC00 + (c & 0x3FF));
		} else if (c > 0x10FFFF) {
			out += (char16_t)REPLACEMENT_CHAR;
		} else {
			out += (char16_t)c;
		}
	}
	cs.resize((int64_t)out.size() + 1);
	std::copy(out.begin(), out.end(), cs.ptrw());
	return cs;
}

Char32String String::utf32() const {
	return Char32String(_text().c_str());
}

CharWideString String::wide_string() const {
	CharWideString cs;
	if (_text().empty()) {
		return cs;
	}
	if constexpr (sizeof(wchar_t) == 2) {
		Char16String u16 = utf16();
		cs.resize(u16.size());
		for (int64_t i = 0; i < u16.size(); i++) {
			cs.ptrw()[i] = (wchar_t)u16.get(i);
		}
	} else {
		cs.resize((int64_t)_text().size() + 1);
		for (size_t i = 0; i < _text().size(); i++) {
			cs.ptrw()[i] = (wchar_t)_text()[i];
		}
	}
	return cs;
}

// Raw access -----------------------------------------------------------------

const char32_t *String::ptr() const {
	return _text().c_str();
}

char32_t *String::ptrw() {
	return _edit().empty() ? nullptr : &_edit()[0];
}

Error String::resize(int64_t p_size) {
	ERR_FAIL_COND_V(p_size < 0, ERR_INVALID_PARAMETER);
	// The terminator lives past the end of the u32string, so callers may
	// still write 0 at index p_size - 1.
	_edit().resize(p_size > 0 ? (size_t)(p_size - 1) : 0, U'\0');
	return OK;
}

int64_t String::hash() const {
	// djb2 over code points, as the engine hashes strings.
	uint32_t hashv = 5381;
	for (char32_t c : _text()) {
		hashv = ((hashv << 5) + hashv) + (uint32_t)c;
	}
	return hashv;
}

int64_t String::unicode_at(int64_t p_at) const {
	ERR_FAIL_INDEX_V(p_at, length(), 0);
	return _text()[(size_t)p_at];
}

const char32_t &String::operator[](int64_t p_index) const {
	static const char32_t zero = 0;
	// Reading the terminator is allowed, as in the engine.
	if (p_index < 0 || p_index > length()) {
		_err_print_index_error(FUNCTION_STR, __FILE__, __LINE__, p_index, length(), "p_index", "length()");
		return zero;
	}
	return _text().c_str()[p_index];
}

char32_t &String::operator[](int64_t p_index) {
	static char32_t scratch = 0;
	if (p_index < 0 || p_index >= length()) {
		_err_print_index_error(FUNCTION_STR, __FILE__, __LINE__, p_index, length(), "p_index", "length()");
		scratch = 0;
		return scratch;
	}
	return _edit()[(size_t)p_index];
}

// Case and matching ------------------------------------------------------------

String String::to_upper() const {
	String s = *this;
	for (char32_t &c : s._edit()) {
		c = upper_char(c);
	}
	return s;
}

String String::to_lower() const {
	String s = *this;
	for (char32_t &c : s._edit()) {
		c = lower_char(c);
	}
	return s;
}

bool String::match(const String &p_expr) const {
	return wildcard_match(p_expr._text(), _text(), true);
}

bool String::matchn(const String &p_expr) const {
	return wildcard_match(p_expr._text(), _text(), false);
}

bool String::begins_with(const String &p_text) const {
	return _text().size() >= p_text._text().size() && _text().compare(0, p_text._text().size(), p_text._text()) == 0;
}

bool String::ends_with(const String &p_text) const {
	const size_t n = p_text._text().size();
	return _text().size() >= n && _text().compare(_text().size() - n, n, p_text._text()) == 0;
}

int64_t String::find(const String &p_what, int64_t p_from) const {
	if (p_from < 0 || p_what.is_empty() || is_empty()) {
		return -1;
	}
	const size_t pos = _text().find(p_what._text(), (size_t)p_from);
	return pos == std::u32string::npos ? -1 : (int64_t)pos;
}

int64_t String::findn(const String &p_what, int64_t p_from) const {
	return to_upper().find(p_what.to_upper(), p_from);
}

int64_t String::rfind(const String &p_what, int64_t p_from) const {
	const int64_t limit = length() - p_what.length();
	if (limit < 0 || p_what.is_empty()) {
		return -1;
	}
	// Any negative start means "from the end", as in the engine.
	const int64_t from = (p_from < 0 || p_from > limit) ? limit : p_from;
	const size_t pos = _text().rfind(p_what._text(), (size_t)from);
	return pos == std::u32string::npos ? -1 : (int64_t)pos;
}

bool String::contains(const String &p_what) const {
	return find(p_what) != -1;
}

bool String::containsn(const String &p_what) const {
	return findn(p_what) != -1;
}

int64_t String::casecmp_to(const String &p_to) const {
	const int c = _text().compare(p_to._text());
	return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int64_t String::nocasecmp_to(const String &p_to) const {
	return to_upper().casecmp_to(p_to.to_upper());
}

// Slicing and editing ----------------------------------------------------------

String String::substr(int64_t p_from, int64_t p_len) const {
	if (p_len == -1) {
		p_len = length() - p_from;
	}
	if (is_empty() || p_from < 0 || p_from >= length() || p_len <= 0) {
		return String();
	}
	String s;
	s._edit() = _text().substr((size_t)p_from, (size_t)p_len);
	return s;
}

String String::left(int64_t p_length) const {
	if (p_length < 0) {
		p_length = length() + p_length;
	}
	if (p_length <= 0) {
		return String();
	}
	if (p_length >= length()) {
		return *this;
	}
	return substr(0, p_length);
}

String String::right(int64_t p_length) const {
	if (p_length < 0) {
		p_length = length() + p_length;
	}
	if (p_length <= 0) {
		return String();
	}
	if (p_length >= length()) {
		return *this;
	}
	return substr(length() - p_length);
}

String String::replace(const String &p_what, const String &p_forwhat) const {
	if (p_what.is_empty()) {
		return *this;
	}
	String s;
	size_t from = 0;
	size_t pos;
	while ((pos = _text().find(p_what._text(), from)) != std::u32string::npos) {
		s._edit().append(_text(), from, pos - from);
		s._edit() += p_forwhat._text();
		from = pos + p_what._text().size();
	}
	s._edit().append(_text(), from, std::u32string::npos);
	return s;
}

String String::insert(int64_t p_position, const String &p_what) const {
	if (p_position < 0 || p_position > length()) {
		return *this;
	}
	String s = *this;
	s._edit().insert((size_t)p_position, p_what._text());
	return s;
}

String String::erase(int64_t p_position, int64_t p_chars) const {
	ERR_FAIL_COND_V(p_position < 0 || p_chars < 0, *this);
	if (p_position >= length()) {
		return *this;
	}
	String s = *this;
	s._edit().erase((size_t)p_position, (size_t)p_chars);
	return s;
}

String String::repeat(int64_t p_count) const {
	ERR_FAIL_COND_V(p_count < 0, String());
	String s;
	s._edit().reserve(_text().size() * (size_t)p_count);
	for (int64_t i = 0; i < p_count; i++) {
		s._edit() += _text();
	}
	return s;
}

String String::strip_edges(bool p_left, bool p_right) const {
	// Everything up to and including space counts as blank.
	size_t begin = 0;
	size_t end = _text().size();
	if (p_left) {
		while (begin < end && _text()[begin] <= 32) {
			begin++;
		}
	}
	if (p_right) {
		while (end > begin && _text()[end - 1] <= 32) {
			end--;
		}
	}
	String s;
	s._edit() = _text().substr(begin, end - begin);
	return s;
}

String String::lstrip(const String &p_chars) const {
	const size_t begin = _text().find_first_not_of(p_chars._text());
	String s;
	if (begin != std::u32string::npos) {
		s._edit() = _text().substr(begin);
	}
	return s;
}

String String::rstrip(const String &p_chars) const {
	const size_t last = _text().find_last_not_of(p_chars._text());
	String s;
	if (last != std::u32string::npos) {
		s._edit() = _text().substr(0, last + 1);
	}
	return s;
}

String String::trim_prefix(const String &p_prefix) const {
	return begins_with(p_prefix) ? substr(p_prefix.length()) : *this;
}

String String::trim_suffix(const String &p_suffix) const {
	return ends_with(p_suffix) ? left(length() - p_suffix.length()) : *this;
}

String String::pad_zeros(int64_t p_digits) const {
	// Pads the integer part only; a sign or other prefix stays in front.
	String s = *this;
	size_t end = s._edit().find(U'.');
	if (end == std::u32string::npos) {
		end = s._edit().size();
	}
	if (end == 0) {
		return s;
	}
	size_t begin = 0;
	while (begin < end && !is_digit(s._edit()[begin])) {
		begin++;
	}
	if (begin >= end) {
		return s;
	}
	if ((int64_t)(end - begin) < p_digits) {
		s._edit().insert(begin, (size_t)(p_digits - (int64_t)(end - begin)), U'0');
	}
	return s;
}

String String::get_slice(const String &p_delimiter, int64_t p_slice) const {
	if (is_empty() || p_delimiter.is_empty() || p_slice < 0) {
		return String();
	}
	size_t from = 0;
	for (int64_t i = 0;; i++) {
		size_t pos = _text().find(p_delimiter._text(), from);
		if (i == p_slice) {
			String s;
			s._edit() = _text().substr(from, pos == std::u32string::npos ? std::u32string::npos : pos - from);
			return s;
		}
		if (pos == std::u32string::npos) {
			return String();
		}
		from = pos + p_delimiter._text().size();
	}
}

int64_t String::get_slice_count(const String &p_delimiter) const {
	if (is_empty() || p_delimiter.is_empty()) {
		return 0;
	}
	int64_t slices = 1;
	size_t pos = 0;
	while ((pos = _text().find(p_delimiter._text(), pos)) != std::u32string::npos) {
		slices++;
		pos += p_delimiter._text().size();
	}
	return slices;
}

// Operators ------------------------------------------------------------------

String String::operator+(const String &p_other) const {
	String s = *this;
	s._edit() += p_other._text();
	return s;
}

String String::operator+(const char *p_str) {
	return *this + String(p_str);
}

String String::operator+(const wchar_t *p_str) {
	return *this + String(p_str);
}

String String::operator+(const char16_t *p_str) {
	return *this + String(p_str);
}

String String::operator+(const char32_t *p_str) {
	return *this + String(p_str);
}

String String::operator+(char32_t p_char) {
	String s = *this;
	s._edit() += p_char;
	return s;
}

String &String::operator+=(const String &p_str) {
	_edit() += p_str._text();
	return *this;
}

String &String::operator+=(char32_t p_char) {
	_edit() += p_char;
	return *this;
}

String &String::operator+=(const char *p_str) {
	return *this += String(p_str);
}

String &String::operator+=(const wchar_t *p_str) {
	return *this += String(p_str);
}

String &String::operator+=(const char32_t *p_str) {
	return *this += String(p_str);
}

bool String::operator==(const char *p_str) const {
	return *this == String(p_str);
}

bool String::operator!=(const char *p_str) const {
	return !(*this == p_str);
}

bool String::operator==(const wchar_t *p_str) const {
	return *this == String(p_str);
}

bool String::operator!=(const wchar_t *p_str) const {
	return !(*this == p_str);
}

bool String::operator==(const char16_t *p_str) const {
	return *this == String(p_str);
}

bool String::operator!=(const char16_t *p_str) const {
	return !(*this == p_str);
}

bool String::operator==(const char32_t *p_str) const {
	return *this == String(p_str);
}

bool String::operator!=(const char32_t *p_str) const {
	return !(*this == p_str);
}

String operator+(const char *p_chr, const String &p_str) {
	return String(p_chr) + p_str;
}

String operator+(const wchar_t *p_chr, const String &p_str) {
	return String(p_chr) + p_str;
}

String operator+(const char16_t *p_chr, const String &p_str) {
	return String(p_chr) + p_str;
}

String operator+(const char32_t *p_chr, const String &p_str) {
	return String(p_chr) + p_str;
}

String operator+(char32_t p_char, const String &p_str) {
	return String::chr(p_char) + p_str;
}

bool operator==(const char *p_chr, const String &p_str) {
	return p_str == p_chr;
}

bool operator==(const wchar_t *p_chr, const String &p_str) {
	return p_str == p_chr;
}

bool operator==(const char16_t *p_chr, const String &p_str) {
	return p_str == p_chr;
}

bool operator==(const char32_t *p_chr, const String &p_str) {
	return p_str == p_chr;
}

bool operator!=(const char *p_chr, const String &p_str) {
	return p_str != p_chr;
}

bool operator!=(const wchar_t *p_chr, const String &p_str) {
	return p_str != p_chr;
}

bool operator!=(const char16_t *p_chr, const String &p_str) {
	return p_str != p_chr;
}

bool operator!=(const char32_t *p_chr, const String &p_str) {
	return p_str != p_chr;
}

String itos(int64_t p_val) {
	return String::num_int64(p_val);
}

String uitos(uint64_t p_val) {
	return String::num_uint64(p_val);
}

String rtos(double p_val) {
	return String::num(p_val);
}

String rtoss(double p_val) {
	return String::num_scientific(p_val);
}

} // namespace godot
