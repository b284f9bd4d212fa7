#ifndef GODOT_TYPED_ARRAY_HPP
#define GODOT_TYPED_ARRAY_HPP

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/variant.hpp>

namespace godot {

template <typename T>
class TypedArray : public Array {
public:
	TypedArray() = default;
	TypedArray(const Array &p_array) :
			Array(p_array) {}
	TypedArray(const Variant &p_variant) :
			Array(p_variant.operator Array()) {}
	TypedArray &operator=(const Array &p_array) {
		Array::operator=(p_array);
		return *this;
	}
};

} // namespace godot

#endif // GODOT_TYPED_ARRAY_HPP
