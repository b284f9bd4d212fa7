#ifndef GODOT_STRING_HPP
#define GODOT_STRING_HPP

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/host_unload_watch.hpp>
#include <godot_cpp/variant/char_string.hpp>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace godot {

class Array;
class NodePath;
class StringName;
class Variant;

// UTF-32 text, as the engine stores it: length() counts code points.
// Narrow C strings are read as Latin-1 (as the binding library does);
// use String::utf8() for UTF-8 input.
class HOST_API String {
	// Shared until written, as the engine's strings are: a copy allocates nothing.
	std::shared_ptr<std::u32string> _shared;

	static const std::u32string &_empty_text();
	const std::u32string &_text() const { return _shared ? *_shared : _empty_text(); }
	// The text alone to this string, to be changed.
	std::u32string &_edit();

public:
	String() = default;
	String(const String &) = default;
	String(String &&) noexcept = default;
	String &operator=(const String &) = default;
	String &operator=(String &&) noexcept = default;
	~String() {
		if (unlikely(_HostUnloadWatch::active) && !is_empty()) {
			_HostUnloadWatch::released_string(*this);
		}
	}

	String(const StringName &p_from);
	String(const NodePath &p_from);
	String(const char *p_from);
	String(const wchar_t *p_from);
	String(const char16_t *p_from);
	String(const char32_t *p_from);

	static String utf8(const char *p_from, int64_t p_len = -1);
	void parse_utf8(const char *p_from, int64_t p_len = -1);
	static String utf16(const char16_t *p_from, int64_t p_len = -1);
	void parse_utf16(const char16_t *p_from, int64_t p_len = -1);

	static String num(double p_number, int64_t p_decimals = -1);
	static String num_real(double p_number, bool p_trailing = true);
	static String num_int64(int64_t p_number, int64_t p_base = 10, bool p_capitalize_hex = false);
	static String num_uint64(uint64_t p_number, int64_t p_base = 10, bool p_capitalize_hex = false);
	static String num_scientific(double p_number);
	static String chr(int64_t p_char);

	CharString utf8() const;
	CharString ascii() const;
	Char16String utf16() const;
	Char32String utf32() const;
	CharWideString wide_string() const;

	const char32_t *ptr() const;
	char32_t *ptrw();
	// Size includes the terminator, as in the engine: resize(n + 1) makes room for n characters.
	Error resize(int64_t p_size);

	int64_t length() const { return (int64_t)_text().size(); }
	bool is_empty() const { return _text().empty(); }
	int64_t hash() const;
	int64_t unicode_at(int64_t p_at) const;

	String to_upper() const;
	String to_lower() const;

	bool match(const String &p_expr) const;
	bool matchn(const String &p_expr) const;
	bool begins_with(const String &p_text) const;
	bool ends_with(const String &p_text) const;
	int64_t find(const String &p_what, int64_t p_from = 0) const;
	int64_t findn(const String &p_what, int64_t p_from = 0) const;
	int64_t rfind(const String &p_what, int64_t p_from = -1) const;
	bool contains(const String &p_what) const;
	bool containsn(const String &p_what) const;
	int64_t casecmp_to(const String &p_to) const;
	int64_t nocasecmp_to(const String &p_to) const;

	String substr(int64_t p_from, int64_t p_len = -1) const;
	String left(int64_t p_length) const;
	String right(int64_t p_length) const;
	String replace(const String &p_what, const String &p_forwhat) const;
	String insert(int64_t p_position, const String &p_what) const;
	String erase(int64_t p_position, int64_t p_chars = 1) const;
	String repeat(int64_t p_count) const;
	String strip_edges(bool p_left = true, bool p_right = true) const;
	String lstrip(const String &p_chars) const;
	String rstrip(const String &p_chars) const;
	String trim_prefix(const String &p_prefix) const;
	String trim_suffix(const String &p_suffix) const;
	String pad_zeros(int64_t p_digits) const;
	String get_slice(const String &p_delimiter, int64_t p_slice) const;
	int64_t get_slice_count(const String &p_delimiter) const;

	int64_t to_int() const;
	double to_float() const;
	bool is_valid_int() const;

	// Defined with Variant (printf-style formatting).
	String operator%(const Variant &p_values) const;

	String operator+(const String &p_other) const;
	// Non-const, like the binding library's hand-written overloads.
	String operator+(const char *p_str);
	String operator+(const wchar_t *p_str);
	String operator+(const char16_t *p_str);
	String operator+(const char32_t *p_str);
	String operator+(char32_t p_char);

	String &operator+=(const String &p_str);
	String &operator+=(char32_t p_char);
	String &operator+=(const char *p_str);
	String &operator+=(const wchar_t *p_str);
	String &operator+=(const char32_t *p_str);

	bool operator==(const String &p_other) const { return _text() == p_other._text(); }
	bool operator!=(const String &p_other) const { return _text() != p_other._text(); }
	bool operator==(const char *p_str) const;
	bool operator!=(const char *p_str) const;
	bool operator==(const wchar_t *p_str) const;
	bool operator!=(const wchar_t *p_str) const;
	bool operator==(const char16_t *p_str) const;
	bool operator!=(const char16_t *p_str) const;
	bool operator==(const char32_t *p_str) const;
	bool operator!=(const char32_t *p_str) const;
	bool operator<(const String &p_other) const { return _text() < p_other._text(); }
	bool operator<=(const String &p_other) const { return _text() <= p_other._text(); }
	bool operator>(const String &p_other) const { return _text() > p_other._text(); }
	bool operator>=(const String &p_other) const { return _text() >= p_other._text(); }

	const char32_t &operator[](int64_t p_index) const;
	char32_t &operator[](int64_t p_index);
};

HOST_API String operator+(const char *p_chr, const String &p_str);
HOST_API String operator+(const wchar_t *p_chr, const String &p_str);
HOST_API String operator+(const char16_t *p_chr, const String &p_str);
HOST_API String operator+(const char32_t *p_chr, const String &p_str);
HOST_API String operator+(char32_t p_char, const String &p_str);

HOST_API bool operator==(const char *p_chr, const String &p_str);
HOST_API bool operator==(const wchar_t *p_chr, const String &p_str);
HOST_API bool operator==(const char16_t *p_chr, const String &p_str);
HOST_API bool operator==(const char32_t *p_chr, const String &p_str);
HOST_API bool operator!=(const char *p_chr, const String &p_str);
HOST_API bool operator!=(const wchar_t *p_chr, const String &p_str);
HOST_API bool operator!=(const char16_t *p_chr, const String &p_str);
HOST_API bool operator!=(const char32_t *p_chr, const String &p_str);

HOST_API String itos(int64_t p_val);
HOST_API String uitos(uint64_t p_val);
HOST_API String rtos(double p_val);
HOST_API String rtoss(double p_val);

// Engine side: a float (64-bit) and a real (a vector's 32-bit component) as
// the engine prints them, e.g. "72.0", "0.1", "1e+20".
HOST_API String _host_float_text(double p_value);
HOST_API String _host_real_text(real_t p_value);

} // namespace godot

namespace std {
template <>
struct hash<godot::String> {
	size_t operator()(const godot::String &p_str) const { return (size_t)p_str.hash(); }
};
} // namespace std

#endif // GODOT_STRING_HPP
