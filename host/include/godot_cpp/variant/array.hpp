#ifndef GODOT_ARRAY_HPP
#define GODOT_ARRAY_HPP

#include <godot_cpp/core/defs.hpp>

#include <memory>
#include <vector>

namespace godot {

class Variant;
class String;

// A shared, reference-counted list of values, as the engine's Array.
class HOST_API Array {
	struct Data;
	std::shared_ptr<Data> _p;

	Data &_data();
	const Data *_cdata() const;

public:
	Array();
	Array(const Array &p_from);
	Array(Array &&p_from) noexcept;
	Array &operator=(const Array &p_from);
	Array &operator=(Array &&p_from) noexcept;
	~Array();

	int64_t size() const;
	bool is_empty() const;
	void clear();
	void push_back(const Variant &p_value);
	void append(const Variant &p_value);
	void append_array(const Array &p_array);
	void push_front(const Variant &p_value);
	Variant pop_back();
	Variant pop_front();
	void resize(int64_t p_size);
	void insert(int64_t p_position, const Variant &p_value);
	void remove_at(int64_t p_position);
	void erase(const Variant &p_value);
	bool has(const Variant &p_value) const;
	int64_t find(const Variant &p_what, int64_t p_from = 0) const;
	int64_t count(const Variant &p_value) const;
	Variant front() const;
	Variant back() const;
	Array duplicate(bool p_deep = false) const;
	void reverse();

	const Variant &operator[](int64_t p_index) const;
	Variant &operator[](int64_t p_index);

	bool operator==(const Array &p_other) const;
	bool operator!=(const Array &p_other) const { return !(*this == p_other); }

	// Same underlying storage.
	bool _host_same(const Array &p_other) const { return _p == p_other._p; }

	template <typename... Args>
	static Array make(Args... p_args);
};

} // namespace godot

#include <godot_cpp/variant/variant.hpp>

namespace godot {

template <typename... Args>
Array Array::make(Args... p_args) {
	Array a;
	(a.push_back(Variant(p_args)), ...);
	return a;
}

} // namespace godot

#endif // GODOT_ARRAY_HPP
