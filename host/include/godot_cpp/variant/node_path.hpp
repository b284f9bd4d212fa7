#ifndef GODOT_NODE_PATH_HPP
#define GODOT_NODE_PATH_HPP

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <vector>

namespace godot {

// "/root/a/b:prop:sub" split into names (a, b, ...) and subnames (prop, sub).
class HOST_API NodePath {
	std::vector<StringName> _names;
	std::vector<StringName> _subnames;
	bool _absolute = false;
	// False for the empty path, which the engine keeps distinct from "/".
	bool _valid = false;

public:
	NodePath() = default;
	NodePath(const NodePath &) = default;
	NodePath &operator=(const NodePath &) = default;
	NodePath(const String &p_path);
	NodePath(const char *p_path);
	NodePath(const StringName &p_path);

	bool is_empty() const { return !_valid; }
	bool is_absolute() const { return _absolute; }
	int64_t get_name_count() const { return (int64_t)_names.size(); }
	StringName get_name(int64_t p_idx) const;
	int64_t get_subname_count() const { return (int64_t)_subnames.size(); }
	StringName get_subname(int64_t p_idx) const;
	StringName get_concatenated_names() const;
	StringName get_concatenated_subnames() const;
	int64_t hash() const;

	bool operator==(const NodePath &p_other) const;
	bool operator!=(const NodePath &p_other) const { return !(*this == p_other); }
};

} // namespace godot

#endif // GODOT_NODE_PATH_HPP
