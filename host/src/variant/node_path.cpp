#include <godot_cpp/variant/node_path.hpp>

#include <godot_cpp/core/error_macros.hpp>

namespace godot {

NodePath::NodePath(const String &p_path) {
	if (p_path.is_empty()) {
		return;
	}
	const bool absolute = p_path[0] == U'/';
	String path = p_path;
	std::vector<StringName> subnames;

	const int64_t colon = p_path.find(":");
	if (colon != -1) {
		int64_t from = colon + 1;
		for (int64_t i = from; i <= p_path.length(); i++) {
			const bool at_end = i == p_path.length();
			if (!at_end && p_path[i] != U':') {
				continue;
			}
			const String sub = p_path.substr(from, i - from);
			if (sub.is_empty()) {
				if (at_end) {
					continue; // A trailing ':' is tolerated.
				}
				ERR_FAIL_MSG("Invalid NodePath '" + p_path + "'.");
			}
			subnames.push_back(sub);
			from = i + 1;
		}
		path = p_path.substr(0, colon);
	}

	std::vector<StringName> names;
	// Empty segments ("a//b", trailing '/') are skipped, as in the engine.
	int64_t from = absolute ? 1 : 0;
	for (int64_t i = from; i <= path.length(); i++) {
		if (i < path.length() && path[i] != U'/') {
			continue;
		}
		if (i > from) {
			names.push_back(path.substr(from, i - from));
		}
		from = i + 1;
	}

	if (names.empty() && subnames.empty() && !absolute) {
		return;
	}
	_names = std::move(names);
	_subnames = std::move(subnames);
	_absolute = absolute;
	_valid = true;
}

NodePath::NodePath(const char *p_path) :
		NodePath(String(p_path)) {}

NodePath::NodePath(const StringName &p_path) :
		NodePath(String(p_path)) {}

StringName NodePath::get_name(int64_t p_idx) const {
	ERR_FAIL_INDEX_V(p_idx, get_name_count(), StringName());
	return _names[(size_t)p_idx];
}

StringName NodePath::get_subname(int64_t p_idx) const {
	ERR_FAIL_INDEX_V(p_idx, get_subname_count(), StringName());
	return _subnames[(size_t)p_idx];
}

StringName NodePath::get_concatenated_names() const {
	String s;
	for (size_t i = 0; i < _names.size(); i++) {
		if (i > 0) {
			s += U'/';
		}
		s += String(_names[i]);
	}
	return s;
}

StringName NodePath::get_concatenated_subnames() const {
	String s;
	for (size_t i = 0; i < _subnames.size(); i++) {
		if (i > 0) {
			s += U':';
		}
		s += String(_subnames[i]);
	}
	return s;
}

int64_t NodePath::hash() const {
	return String(*this).hash();
}

bool NodePath::operator==(const NodePath &p_other) const {
	return _valid == p_other._valid && _absolute == p_other._absolute && _names == p_other._names &&
			_subnames == p_other._subnames;
}

} // namespace godot
