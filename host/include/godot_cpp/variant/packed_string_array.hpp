#ifndef GODOT_PACKED_STRING_ARRAY_HPP
#define GODOT_PACKED_STRING_ARRAY_HPP

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/variant/string.hpp>

#include <vector>

namespace godot {

class HOST_API PackedStringArray {
	std::vector<String> _items;

public:
	PackedStringArray() = default;

	int64_t size() const { return (int64_t)_items.size(); }
	bool is_empty() const { return _items.empty(); }
	bool push_back(const String &p_value) {
		_items.push_back(p_value);
		return true;
	}
	void append(const String &p_value) { _items.push_back(p_value); }
	void clear() { _items.clear(); }
	bool has(const String &p_value) const;
	void set(int64_t p_index, const String &p_value) { _items[(size_t)p_index] = p_value; }
	const String &operator[](int64_t p_index) const { return _items[(size_t)p_index]; }
	String &operator[](int64_t p_index) { return _items[(size_t)p_index]; }
	bool operator==(const PackedStringArray &p_other) const { return _items == p_other._items; }
	bool operator!=(const PackedStringArray &p_other) const { return !(*this == p_other); }
};

inline bool PackedStringArray::has(const String &p_value) const {
	for (const String &s : _items) {
		if (s == p_value) {
			return true;
		}
	}
	return false;
}

} // namespace godot

#endif // GODOT_PACKED_STRING_ARRAY_HPP
