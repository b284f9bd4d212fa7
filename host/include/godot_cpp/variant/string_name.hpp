#ifndef GODOT_STRING_NAME_HPP
#define GODOT_STRING_NAME_HPP

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/variant/string.hpp>

#include <cstddef>
#include <functional>

namespace godot {

// Interned string: equal names share one entry, so equality is a pointer
// compare. The empty name has no entry. Entries are counted and freed when
// the last name referring to them goes.
class HOST_API StringName {
public:
	struct Entry; // engine side

private:
	Entry *_entry = nullptr;

	friend class String;
	const String &_get_string() const;
	static void _reference(Entry *p_entry);
	static void _release(Entry *p_entry);

public:
	StringName() = default;
	StringName(const StringName &p_other) :
			_entry(p_other._entry) {
		_reference(_entry);
	}
	StringName(StringName &&p_other) noexcept :
			_entry(p_other._entry) {
		p_other._entry = nullptr;
	}
	StringName &operator=(const StringName &p_other) {
		if (_entry != p_other._entry) {
			_reference(p_other._entry);
			_release(_entry);
			_entry = p_other._entry;
		}
		return *this;
	}
	StringName &operator=(StringName &&p_other) noexcept {
		if (this != &p_other) {
			_release(_entry);
			_entry = p_other._entry;
			p_other._entry = nullptr;
		}
		return *this;
	}
	~StringName() { _release(_entry); }
	StringName(const String &p_name);
	StringName(const char *p_name, bool p_static = false);
	StringName(const wchar_t *p_name);
	StringName(const char16_t *p_name);
	StringName(const char32_t *p_name);

	bool is_empty() const { return _entry == nullptr; }
	int64_t hash() const;

	// The String method set, as the binding library exposes it on StringName.
	int64_t length() const { return _get_string().length(); }
	String to_upper() const { return _get_string().to_upper(); }
	String to_lower() const { return _get_string().to_lower(); }
	bool match(const String &p_expr) const { return _get_string().match(p_expr); }
	bool matchn(const String &p_expr) const { return _get_string().matchn(p_expr); }
	bool begins_with(const String &p_text) const { return _get_string().begins_with(p_text); }
	bool ends_with(const String &p_text) const { return _get_string().ends_with(p_text); }
	int64_t find(const String &p_what, int64_t p_from = 0) const { return _get_string().find(p_what, p_from); }
	int64_t findn(const String &p_what, int64_t p_from = 0) const { return _get_string().findn(p_what, p_from); }
	int64_t rfind(const String &p_what, int64_t p_from = -1) const { return _get_string().rfind(p_what, p_from); }
	bool contains(const String &p_what) const { return _get_string().contains(p_what); }
	bool containsn(const String &p_what) const { return _get_string().containsn(p_what); }
	int64_t casecmp_to(const String &p_to) const { return _get_string().casecmp_to(p_to); }
	int64_t nocasecmp_to(const String &p_to) const { return _get_string().nocasecmp_to(p_to); }
	String substr(int64_t p_from, int64_t p_len = -1) const { return _get_string().substr(p_from, p_len); }
	String left(int64_t p_length) const { return _get_string().left(p_length); }
	String right(int64_t p_length) const { return _get_string().right(p_length); }
	String replace(const String &p_what, const String &p_forwhat) const { return _get_string().replace(p_what, p_forwhat); }
	String insert(int64_t p_position, const String &p_what) const { return _get_string().insert(p_position, p_what); }
	String erase(int64_t p_position, int64_t p_chars = 1) const { return _get_string().erase(p_position, p_chars); }
	String repeat(int64_t p_count) const { return _get_string().repeat(p_count); }
	String strip_edges(bool p_left = true, bool p_right = true) const { return _get_string().strip_edges(p_left, p_right); }
	String lstrip(const String &p_chars) const { return _get_string().lstrip(p_chars); }
	String rstrip(const String &p_chars) const { return _get_string().rstrip(p_chars); }
	String trim_prefix(const String &p_prefix) const { return _get_string().trim_prefix(p_prefix); }
	String trim_suffix(const String &p_suffix) const { return _get_string().trim_suffix(p_suffix); }
	String pad_zeros(int64_t p_digits) const { return _get_string().pad_zeros(p_digits); }
	String get_slice(const String &p_delimiter, int64_t p_slice) const { return _get_string().get_slice(p_delimiter, p_slice); }
	int64_t get_slice_count(const String &p_delimiter) const { return _get_string().get_slice_count(p_delimiter); }
	int64_t unicode_at(int64_t p_at) const { return _get_string().unicode_at(p_at); }
	int64_t to_int() const { return _get_string().to_int(); }
	double to_float() const { return _get_string().to_float(); }
	bool is_valid_int() const { return _get_string().is_valid_int(); }

	bool operator==(const StringName &p_other) const { return _entry == p_other._entry; }
	bool operator!=(const StringName &p_other) const { return _entry != p_other._entry; }
	bool operator==(const String &p_other) const { return _get_string() == p_other; }
	bool operator!=(const String &p_other) const { return _get_string() != p_other; }
	bool operator==(const char *p_other) const { return _get_string() == p_other; }
	bool operator!=(const char *p_other) const { return _get_string() != p_other; }

	// Ordered by text, so sorted containers iterate the same way every run.
	bool operator<(const StringName &p_other) const { return _get_string() < p_other._get_string(); }
	bool operator<=(const StringName &p_other) const { return _get_string() <= p_other._get_string(); }
	bool operator>(const StringName &p_other) const { return _get_string() > p_other._get_string(); }
	bool operator>=(const StringName &p_other) const { return _get_string() >= p_other._get_string(); }

	// ---- engine side ----
	// Distinct names alive now.
	static int64_t _host_interned_count();
};

} // namespace godot

namespace std {
template <>
struct hash<godot::StringName> {
	size_t operator()(const godot::StringName &p_name) const { return (size_t)p_name.hash(); }
};
} // namespace std

#endif // GODOT_STRING_NAME_HPP
