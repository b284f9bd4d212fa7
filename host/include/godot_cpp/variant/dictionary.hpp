#ifndef GODOT_DICTIONARY_HPP
#define GODOT_DICTIONARY_HPP

#include <godot_cpp/core/defs.hpp>

#include <memory>

namespace godot {

class Variant;
class Array;

// A shared map that keeps insertion order, as the engine's Dictionary.
class HOST_API Dictionary {
	struct Data;
	std::shared_ptr<Data> _p;

	Data &_data();

public:
	Dictionary();
	Dictionary(const Dictionary &p_from);
	Dictionary(Dictionary &&p_from) noexcept;
	Dictionary &operator=(const Dictionary &p_from);
	Dictionary &operator=(Dictionary &&p_from) noexcept;
	~Dictionary();

	int64_t size() const;
	bool is_empty() const;
	void clear();
	bool has(const Variant &p_key) const;
	bool erase(const Variant &p_key);
	Variant get(const Variant &p_key, const Variant &p_default) const;
	Array keys() const;
	Array values() const;
	Dictionary duplicate(bool p_deep = false) const;
	void merge(const Dictionary &p_dictionary, bool p_overwrite = false);

	const Variant &operator[](const Variant &p_key) const;
	Variant &operator[](const Variant &p_key);

	bool operator==(const Dictionary &p_other) const;
	bool operator!=(const Dictionary &p_other) const { return !(*this == p_other); }
};

} // namespace godot

#include <godot_cpp/variant/variant.hpp>

#endif // GODOT_DICTIONARY_HPP
