#ifndef GODOT_TYPE_INFO_HPP
#define GODOT_TYPE_INFO_HPP

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/property_info.hpp>

#include <type_traits>

namespace godot {

template <typename T>
class Ref;
template <typename T>
class TypedArray;
class Object;

template <typename T>
struct _HostIsRef : std::false_type {};
template <typename T>
struct _HostIsRef<Ref<T>> : std::true_type {
	using Inner = T;
};

// What the engine reports about a bound method's argument or return type.
template <typename P>
PropertyInfo _host_type_info(const StringName &p_name = StringName()) {
	using T = std::remove_cv_t<std::remove_reference_t<P>>;
	PropertyInfo pi;
	pi.name = p_name;
	if constexpr (std::is_same_v<T, void>) {
		pi.type = Variant::NIL;
	} else if constexpr (std::is_same_v<T, bool>) {
		pi.type = Variant::BOOL;
	} else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
		pi.type = Variant::INT;
	} else if constexpr (std::is_floating_point_v<T>) {
		pi.type = Variant::FLOAT;
	} else if constexpr (std::is_same_v<T, String>) {
		pi.type = Variant::STRING;
	} else if constexpr (std::is_same_v<T, StringName>) {
		pi.type = Variant::STRING_NAME;
	} else if constexpr (std::is_same_v<T, NodePath>) {
		pi.type = Variant::NODE_PATH;
	} else if constexpr (std::is_same_v<T, Vector2>) {
		pi.type = Variant::VECTOR2;
	} else if constexpr (std::is_same_v<T, Vector2i>) {
		pi.type = Variant::VECTOR2I;
	} else if constexpr (std::is_same_v<T, Vector3>) {
		pi.type = Variant::VECTOR3;
	} else if constexpr (std::is_same_v<T, Vector3i>) {
		pi.type = Variant::VECTOR3I;
	} else if constexpr (std::is_same_v<T, Quaternion>) {
		pi.type = Variant::QUATERNION;
	} else if constexpr (std::is_same_v<T, Basis>) {
		pi.type = Variant::BASIS;
	} else if constexpr (std::is_same_v<T, Transform3D>) {
		pi.type = Variant::TRANSFORM3D;
	} else if constexpr (std::is_same_v<T, Color>) {
		pi.type = Variant::COLOR;
	} else if constexpr (std::is_same_v<T, RID>) {
		pi.type = Variant::RID;
	} else if constexpr (std::is_same_v<T, Callable>) {
		pi.type = Variant::CALLABLE;
	} else if constexpr (std::is_same_v<T, Dictionary>) {
		pi.type = Variant::DICTIONARY;
	} else if constexpr (std::is_base_of_v<Array, T>) {
		pi.type = Variant::ARRAY;
	} else if constexpr (std::is_same_v<T, PackedStringArray>) {
		pi.type = Variant::PACKED_STRING_ARRAY;
	} else if constexpr (std::is_same_v<T, Variant>) {
		pi.type = Variant::NIL;
		pi.usage = PROPERTY_USAGE_DEFAULT | PROPERTY_USAGE_NIL_IS_VARIANT;
	} else if constexpr (std::is_pointer_v<T>) {
		pi.type = Variant::OBJECT;
		pi.class_name = std::remove_cv_t<std::remove_pointer_t<T>>::get_class_static();
	} else if constexpr (_HostIsRef<T>::value) {
		pi.type = Variant::OBJECT;
		pi.class_name = _HostIsRef<T>::Inner::get_class_static();
	} else {
		pi.type = Variant::NIL;
	}
	return pi;
}

// Turns a call argument into the parameter type of a bound method.
template <typename P>
struct VariantCaster {
	using T = std::remove_cv_t<std::remove_reference_t<P>>;
	static T cast(const Variant &p_variant) {
		if constexpr (std::is_pointer_v<T>) {
			return Object::cast_to<std::remove_cv_t<std::remove_pointer_t<T>>>(p_variant.get_validated_object());
		} else if constexpr (std::is_enum_v<T>) {
			return (T)(int64_t)p_variant;
		} else if constexpr (std::is_same_v<T, Variant>) {
			return p_variant;
		} else {
			return static_cast<T>(p_variant);
		}
	}
};

// Whether a value of the given type can be passed for a parameter of type P.
template <typename P>
bool _host_argument_accepts(const Variant &p_variant) {
	using T = std::remove_cv_t<std::remove_reference_t<P>>;
	Variant::Type t = p_variant.get_type();
	if constexpr (std::is_same_v<T, Variant>) {
		return true;
	} else if constexpr (std::is_pointer_v<T> || _HostIsRef<T>::value) {
		return t == Variant::OBJECT || t == Variant::NIL;
	} else if constexpr (std::is_same_v<T, bool> || std::is_integral_v<T> || std::is_enum_v<T> || std::is_floating_point_v<T>) {
		return t == Variant::BOOL || t == Variant::INT || t == Variant::FLOAT;
	} else if constexpr (std::is_same_v<T, String> || std::is_same_v<T, StringName> || std::is_same_v<T, NodePath>) {
		return t == Variant::STRING || t == Variant::STRING_NAME || t == Variant::NODE_PATH;
	} else {
		return t == _host_type_info<T>().type;
	}
}

} // namespace godot

#endif // GODOT_TYPE_INFO_HPP
