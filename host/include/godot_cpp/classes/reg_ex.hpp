#ifndef GODOT_REGEX_HPP
#define GODOT_REGEX_HPP

#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/variant/typed_array.hpp>

namespace godot {

class RegExMatch;

// Perl-compatible regular expressions (PCRE2), matched over characters.
class HOST_API RegEx : public RefCounted {
	GDEXTENSION_CLASS(RegEx, RefCounted)

public:
	RegEx();
	~RegEx() override;

	static Ref<RegEx> create_from_string(const String &p_pattern, bool p_show_error = true);
	void clear();
	Error compile(const String &p_pattern, bool p_show_error = true);
	Ref<RegExMatch> search(const String &p_subject, int32_t p_offset = 0, int32_t p_end = -1) const;
	TypedArray<RegExMatch> search_all(const String &p_subject, int32_t p_offset = 0, int32_t p_end = -1) const;
	String sub(const String &p_subject, const String &p_replacement, bool p_all = false, int32_t p_offset = 0, int32_t p_end = -1) const;
	bool is_valid() const { return _code != nullptr; }
	String get_pattern() const { return _pattern; }
	int32_t get_group_count() const;
	PackedStringArray get_names() const;

private:
	String _pattern;
	void *_code = nullptr; // pcre2_code_8
};

} // namespace godot

#endif // GODOT_REGEX_HPP
