#ifndef GODOT_VARIANT_HPP
#define GODOT_VARIANT_HPP

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/variant/aabb.hpp>
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/color.hpp>
#include <godot_cpp/variant/node_path.hpp>
#include <godot_cpp/variant/plane.hpp>
#include <godot_cpp/variant/quaternion.hpp>
#include <godot_cpp/variant/rid.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector2i.hpp>
#include <godot_cpp/variant/vector3.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <array>
#include <type_traits>

namespace godot {

class Object;
class Array;
class Dictionary;
class Callable;
class PackedStringArray;

class HOST_API Variant {
public:
	enum Type {
		NIL,
		BOOL,
		INT,
		FLOAT,
		STRING,
		VECTOR2,
		VECTOR2I,
		RECT2,
		RECT2I,
		VECTOR3,
		VECTOR3I,
		TRANSFORM2D,
		VECTOR4,
		VECTOR4I,
		PLANE,
		QUATERNION,
		AABB,
		BASIS,
		TRANSFORM3D,
		PROJECTION,
		COLOR,
		STRING_NAME,
		NODE_PATH,
		RID,
		OBJECT,
		CALLABLE,
		SIGNAL,
		DICTIONARY,
		ARRAY,
		PACKED_BYTE_ARRAY,
		PACKED_INT32_ARRAY,
		PACKED_INT64_ARRAY,
		PACKED_FLOAT32_ARRAY,
		PACKED_FLOAT64_ARRAY,
		PACKED_STRING_ARRAY,
		PACKED_VECTOR2_ARRAY,
		PACKED_VECTOR3_ARRAY,
		PACKED_COLOR_ARRAY,
		PACKED_VECTOR4_ARRAY,
		VARIANT_MAX
	};

private:
	Type type = NIL;
	union {
		bool _bool;
		int64_t _int;
		double _float;
		uint64_t _rid;
		void *_ptr; // heap storage of the larger and non-trivial types
		struct {
			Object *obj;
			uint64_t id;
		} _obj;
		alignas(8) unsigned char _mem[48];
	} _data;

	void _clear_internal();
	void _copy_from(const Variant &p_other);
	template <typename T>
	void _set_mem(Type p_type, const T &p_value);
	template <typename T>
	const T &_mem_as() const { return *reinterpret_cast<const T *>(_data._mem); }

public:
	Variant();
	Variant(const Variant &p_other);
	Variant(Variant &&p_other) noexcept;
	~Variant();
	Variant &operator=(const Variant &p_other);
	Variant &operator=(Variant &&p_other) noexcept;

	Variant(std::nullptr_t);
	Variant(bool p_v);
	Variant(signed char p_v);
	Variant(unsigned char p_v);
	Variant(short p_v);
	Variant(unsigned short p_v);
	Variant(int p_v);
	Variant(unsigned int p_v);
	Variant(long p_v);
	Variant(unsigned long p_v);
	Variant(long long p_v);
	Variant(unsigned long long p_v);
	Variant(float p_v);
	Variant(double p_v);
	Variant(const char *p_v);
	Variant(const char32_t *p_v);
	Variant(const String &p_v);
	Variant(const StringName &p_v);
	Variant(const NodePath &p_v);
	Variant(const Vector2 &p_v);
	Variant(const Vector2i &p_v);
	Variant(const Vector3 &p_v);
	Variant(const Vector3i &p_v);
	Variant(const Quaternion &p_v);
	Variant(const Plane &p_v);
	Variant(const godot::AABB &p_v);
	Variant(const Basis &p_v);
	Variant(const Transform3D &p_v);
	Variant(const Color &p_v);
	Variant(const godot::RID &p_v);
	Variant(const Object *p_v);
	Variant(const Callable &p_v);
	Variant(const Array &p_v);
	Variant(const Dictionary &p_v);
	Variant(const PackedStringArray &p_v);

	Type get_type() const { return type; }
	static String get_type_name(Type p_type);

	operator bool() const;
	operator signed char() const { return (signed char)operator int64_t(); }
	operator unsigned char() const { return (unsigned char)operator int64_t(); }
	operator short() const { return (short)operator int64_t(); }
	operator unsigned short() const { return (unsigned short)operator int64_t(); }
	operator int() const { return (int)operator int64_t(); }
	operator unsigned int() const { return (unsigned int)operator int64_t(); }
	operator long() const;
	operator unsigned long() const { return (unsigned long)operator int64_t(); }
	operator long long() const { return (long long)operator int64_t(); }
	operator unsigned long long() const { return (unsigned long long)operator int64_t(); }
	operator double() const;
	operator float() const { return (float)operator double(); }
	operator String() const;
	operator StringName() const;
	operator NodePath() const;
	operator Vector2() const;
	operator Vector2i() const;
	operator Vector3() const;
	operator Vector3i() const;
	operator Quaternion() const;
	operator Plane() const;
	operator godot::AABB() const;
	operator Basis() const;
	operator Transform3D() const;
	operator Color() const;
	operator godot::RID() const;
	operator Object *() const;
	operator Callable() const;
	operator Array() const;
	operator Dictionary() const;
	operator PackedStringArray() const;

	// The object a value refers to, or null when it was freed.
	Object *get_validated_object() const;

	bool booleanize() const { return operator bool(); }
	String stringify() const;
	uint32_t hash() const;
	// Same type and same value: how dictionaries compare keys.
	bool hash_compare(const Variant &p_other) const;

	bool operator==(const Variant &p_other) const;
	bool operator!=(const Variant &p_other) const { return !(*this == p_other); }
	bool operator<(const Variant &p_other) const;
};

// Engine-style text formatting: %s %d %i %x %X %o %f %c %% with flags, width and precision.
HOST_API String _host_format(const String &p_text, const Array &p_values, bool *r_error = nullptr);

template <typename... VarArgs>
String vformat(const String &p_text, const VarArgs... p_args);

} // namespace godot

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_string_array.hpp>

namespace godot {

template <typename... VarArgs>
String vformat(const String &p_text, const VarArgs... p_args) {
	Array args;
	(args.push_back(Variant(p_args)), ...);
	return _host_format(p_text, args);
}

} // namespace godot

#endif // GODOT_VARIANT_HPP
