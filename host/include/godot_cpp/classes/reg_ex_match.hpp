#ifndef GODOT_REGEXMATCH_HPP
#define GODOT_REGEXMATCH_HPP

#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_string_array.hpp>

#include <utility>
#include <vector>

namespace godot {

class HOST_API RegExMatch : public RefCounted {
	GDEXTENSION_CLASS(RegExMatch, RefCounted)

public:
	String get_subject() const { return _subject; }
	int32_t get_group_count() const;
	Dictionary get_names() const { return _names; }
	PackedStringArray get_strings() const;
	String get_string(const Variant &p_name = 0) const;
	int32_t get_start(const Variant &p_name = 0) const;
	int32_t get_end(const Variant &p_name = 0) const;

	// ---- engine side ----
	// Character ranges of the whole match (0) and each group; -1 when unset.
	void _host_set(const String &p_subject, std::vector<std::pair<int32_t, int32_t>> p_ranges, const Dictionary &p_names);

private:
	String _subject;
	std::vector<std::pair<int32_t, int32_t>> _ranges;
	Dictionary _names;

	int _find(const Variant &p_name) const;
};

} // namespace godot

#endif // GODOT_REGEXMATCH_HPP
