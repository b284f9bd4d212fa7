// The result of a regular-expression search.
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/classes/reg_ex_match.hpp>

namespace godot {

void RegExMatch::_host_set(const String &p_subject, std::vector<std::pair<int32_t, int32_t>> p_ranges, const Dictionary &p_names) {
	_subject = p_subject;
	_ranges = std::move(p_ranges);
	_names = p_names;
}

int RegExMatch::_find(const Variant &p_name) const {
	int id = -1;
	if (p_name.get_type() == Variant::STRING || p_name.get_type() == Variant::STRING_NAME) {
		String name = p_name;
		if (!_names.has(name)) {
			return -1;
		}
		id = (int)(int64_t)_names.get(name, -1);
	} else if (p_name.get_type() == Variant::INT) {
		id = (int)(int64_t)p_name;
	} else {
		return -1;
	}
	if (id < 0 || id >= (int)_ranges.size()) {
		return -1;
	}
	return id;
}

int32_t RegExMatch::get_group_count() const {
	return _ranges.empty() ? 0 : (int32_t)_ranges.size() - 1;
}

PackedStringArray RegExMatch::get_strings() const {
	PackedStringArray out;
	for (const auto &r : _ranges) {
		out.push_back(r.first < 0 ? String() : _subject.substr(r.first, r.second - r.first));
	}
	return out;
}

String RegExMatch::get_string(const Variant &p_name) const {
	int id = _find(p_name);
	if (id < 0) {
		return String();
	}
	const auto &r = _ranges[(size_t)id];
	if (r.first < 0) {
		return String();
	}
	return _subject.substr(r.first, r.second - r.first);
}

int32_t RegExMatch::get_start(const Variant &p_name) const {
	int id = _find(p_name);
	ERR_FAIL_COND_V(id < 0, -1);
	return _ranges[(size_t)id].first;
}

int32_t RegExMatch::get_end(const Variant &p_name) const {
	int id = _find(p_name);
	ERR_FAIL_COND_V(id < 0, -1);
	return _ranges[(size_t)id].second;
}

GDHOST_REGISTER_ENGINE_CLASS(RegExMatch);

} // namespace godot
