// The engine's dynamic value type.
#include <godot_cpp/variant/variant.hpp>

#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/object.hpp>

#include <cmath>
#include <cstring>

namespace godot {

namespace {

void add_object_reference(Object *p_object) {
	if (p_object && p_object->_host_is_ref_counted()) {
		static_cast<RefCounted *>(p_object)->reference();
	}
}

void release_object_reference(Object *p_object, uint64_t p_id) {
	if (!p_object || ObjectDB::get_instance(p_id) != p_object || !p_object->_host_is_ref_counted()) {
		return;
	}
	_HostUnloadScope unloading(p_object, "A reference");
	RefCounted *rc = static_cast<RefCounted *>(p_object);
	if (rc->unreference()) {
		memdelete(rc);
	}
}

String real_text(real_t p_value) {
	return _host_real_text(p_value);
}

} // namespace

template <typename T>
void Variant::_set_mem(Type p_type, const T &p_value) {
	static_assert(sizeof(T) <= sizeof(_data._mem), "value too large for inline storage");
	type = p_type;
	new (_data._mem) T(p_value);
}

void Variant::_clear_internal() {
	switch (type) {
		case STRING:
			delete static_cast<String *>(_data._ptr);
			break;
		case STRING_NAME:
			delete static_cast<StringName *>(_data._ptr);
			break;
		case NODE_PATH:
			delete static_cast<NodePath *>(_data._ptr);
			break;
		case CALLABLE:
			delete static_cast<Callable *>(_data._ptr);
			break;
		case ARRAY:
			delete static_cast<Array *>(_data._ptr);
			break;
		case DICTIONARY:
			delete static_cast<Dictionary *>(_data._ptr);
			break;
		case PACKED_STRING_ARRAY:
			delete static_cast<PackedStringArray *>(_data._ptr);
			break;
		case OBJECT:
			release_object_reference(_data._obj.obj, _data._obj.id);
			break;
		default:
			break;
	}
	type = NIL;
}

void Variant::_copy_from(const Variant &p_other) {
	type = p_other.type;
	switch (type) {
		case STRING:
			_data._ptr = new String(*static_cast<const String *>(p_other._data._ptr));
			break;
		case STRING_NAME:
			_data._ptr = new StringName(*static_cast<const StringName *>(p_other._data._ptr));
			break;
		case NODE_PATH:
			_data._ptr = new NodePath(*static_cast<const NodePath *>(p_other._data._ptr));
			break;
		case CALLABLE:
			_data._ptr = new Callable(*static_cast<const Callable *>(p_other._data._ptr));
			break;
		case ARRAY:
			_data._ptr = new Array(*static_cast<const Array *>(p_other._data._ptr));
			break;
		case DICTIONARY:
			_data._ptr = new Dictionary(*static_cast<const Dictionary *>(p_other._data._ptr));
			break;
		case PACKED_STRING_ARRAY:
			_data._ptr = new PackedStringArray(*static_cast<const PackedStringArray *>(p_other._data._ptr));
			break;
		case OBJECT:
			_data._obj = p_other._data._obj;
			if (ObjectDB::get_instance(_data._obj.id) == _data._obj.obj) {
				add_object_reference(_data._obj.obj);
			}
			break;
		default:
			std::memcpy(&_data, &p_other._data, sizeof(_data));
			break;
	}
}

Variant::Variant() {
	_data._int = 0;
}

Variant::Variant(const Variant &p_other) {
	_copy_from(p_other);
}

Variant::Variant(Variant &&p_other) noexcept {
	type = p_other.type;
	std::memcpy(&_data, &p_other._data, sizeof(_data));
	p_other.type = NIL;
}

Variant::~Variant() {
	_clear_internal();
}

Variant &Variant::operator=(const Variant &p_other) {
	if (this != &p_other) {
		Variant copy(p_other);
		_clear_internal();
		type = copy.type;
		std::memcpy(&_data, &copy._data, sizeof(_data));
		copy.type = NIL;
	}
	return *this;
}

Variant &Variant::operator=(Variant &&p_other) noexcept {
	if (this != &p_other) {
		_clear_internal();
		type = p_other.type;
		std::memcpy(&_data, &p_other._data, sizeof(_data));
		p_other.type = NIL;
	}
	return *this;
}

Variant::Variant(std::nullptr_t) :
		Variant() {}
Variant::Variant(bool p_v) {
	type = BOOL;
	_data._int = 0;
	_data._bool = p_v;
}
Variant::Variant(signed char p_v) { type = INT, _data._int = p_v; }
Variant::Variant(unsigned char p_v) { type = INT, _data._int = p_v; }
Variant::Variant(short p_v) { type = INT, _data._int = p_v; }
Variant::Variant(unsigned short p_v) { type = INT, _data._int = p_v; }
Variant::Variant(int p_v) { type = INT, _data._int = p_v; }
Variant::Variant(unsigned int p_v) { type = INT, _data._int = p_v; }
Variant::Variant(long p_v) { type = INT, _data._int = p_v; }
Variant::Variant(unsigned long p_v) { type = INT, _data._int = (int64_t)p_v; }
Variant::Variant(long long p_v) { type = INT, _data._int = p_v; }
Variant::Variant(unsigned long long p_v) { type = INT, _data._int = (int64_t)p_v; }
Variant::Variant(float p_v) { type = FLOAT, _data._float = p_v; }
Variant::Variant(double p_v) { type = FLOAT, _data._float = p_v; }
Variant::Variant(const char *p_v) { type = STRING, _data._ptr = new String(p_v); }
Variant::Variant(const char32_t *p_v) { type = STRING, _data._ptr = new String(p_v); }
Variant::Variant(const String &p_v) { type = STRING, _data._ptr = new String(p_v); }
Variant::Variant(const StringName &p_v) { type = STRING_NAME, _data._ptr = new StringName(p_v); }
Variant::Variant(const NodePath &p_v) { type = NODE_PATH, _data._ptr = new NodePath(p_v); }
Variant::Variant(const Vector2 &p_v) { _set_mem(VECTOR2, p_v); }
Variant::Variant(const Vector2i &p_v) { _set_mem(VECTOR2I, p_v); }
Variant::Variant(const Vector3 &p_v) { _set_mem(VECTOR3, p_v); }
Variant::Variant(const Vector3i &p_v) { _set_mem(VECTOR3I, p_v); }
Variant::Variant(const Quaternion &p_v) { _set_mem(QUATERNION, p_v); }
Variant::Variant(const Plane &p_v) { _set_mem(PLANE, p_v); }
Variant::Variant(const godot::AABB &p_v) { _set_mem(AABB, p_v); }
Variant::Variant(const Basis &p_v) { _set_mem(BASIS, p_v); }
Variant::Variant(const Transform3D &p_v) { _set_mem(TRANSFORM3D, p_v); }
Variant::Variant(const Color &p_v) { _set_mem(COLOR, p_v); }
Variant::Variant(const godot::RID &p_v) {
	type = RID;
	_data._rid = (uint64_t)p_v.get_id();
}
Variant::Variant(const Object *p_v) {
	type = OBJECT;
	_data._obj.obj = const_cast<Object *>(p_v);
	_data._obj.id = p_v ? p_v->get_instance_id() : 0;
	add_object_reference(_data._obj.obj);
}
Variant::Variant(const Callable &p_v) { type = CALLABLE, _data._ptr = new Callable(p_v); }
Variant::Variant(const Array &p_v) { type = ARRAY, _data._ptr = new Array(p_v); }
Variant::Variant(const Dictionary &p_v) { type = DICTIONARY, _data._ptr = new Dictionary(p_v); }
Variant::Variant(const PackedStringArray &p_v) { type = PACKED_STRING_ARRAY, _data._ptr = new PackedStringArray(p_v); }

String Variant::get_type_name(Type p_type) {
	static const char *names[VARIANT_MAX] = { "Nil", "bool", "int", "float", "String", "Vector2", "Vector2i", "Rect2", "Rect2i", "Vector3",
		"Vector3i", "Transform2D", "Vector4", "Vector4i", "Plane", "Quaternion", "AABB", "Basis", "Transform3D", "Projection", "Color",
		"StringName", "NodePath", "RID", "Object", "Callable", "Signal", "Dictionary", "Array", "PackedByteArray", "PackedInt32Array",
		"PackedInt64Array", "PackedFloat32Array", "PackedFloat64Array", "PackedStringArray", "PackedVector2Array", "PackedVector3Array",
		"PackedColorArray", "PackedVector4Array" };
	if (p_type < 0 || p_type >= VARIANT_MAX) {
		return "";
	}
	return names[p_type];
}

Variant::operator bool() const {
	switch (type) {
		case NIL:
			return false;
		case BOOL:
			return _data._bool;
		case INT:
			return _data._int != 0;
		case FLOAT:
			return _data._float != 0.0;
		case STRING:
			return !static_cast<const String *>(_data._ptr)->is_empty();
		case STRING_NAME:
			return !static_cast<const StringName *>(_data._ptr)->is_empty();
		case OBJECT:
			return get_validated_object() != nullptr;
		case RID:
			return _data._rid != 0;
		case ARRAY:
			return !static_cast<const Array *>(_data._ptr)->is_empty();
		case DICTIONARY:
			return !static_cast<const Dictionary *>(_data._ptr)->is_empty();
		default:
			return true;
	}
}

Variant::operator long() const {
	switch (type) {
		case BOOL:
			return _data._bool ? 1 : 0;
		case INT:
			return _data._int;
		case FLOAT:
			// Beyond the range or no number: what the engine's x86-64 build
			// gets from the processor, without the undefined cast.
			if (!(_data._float >= -9223372036854775808.0 && _data._float < 9223372036854775808.0)) {
				return INT64_MIN;
			}
			return (int64_t)_data._float;
		case STRING:
			return static_cast<const String *>(_data._ptr)->to_int();
		default:
			return 0;
	}
}

Variant::operator double() const {
	switch (type) {
		case BOOL:
			return _data._bool ? 1.0 : 0.0;
		case INT:
			return (double)_data._int;
		case FLOAT:
			return _data._float;
		case STRING:
			return static_cast<const String *>(_data._ptr)->to_float();
		default:
			return 0.0;
	}
}

Variant::operator String() const {
	if (type == STRING) {
		return *static_cast<const String *>(_data._ptr);
	}
	return stringify();
}

Variant::operator StringName() const {
	if (type == STRING_NAME) {
		return *static_cast<const StringName *>(_data._ptr);
	}
	return StringName(operator String());
}

Variant::operator NodePath() const {
	if (type == NODE_PATH) {
		return *static_cast<const NodePath *>(_data._ptr);
	}
	if (type == STRING || type == STRING_NAME) {
		return NodePath(operator String());
	}
	return NodePath();
}

Variant::operator Vector2() const {
	if (type == VECTOR2) {
		return _mem_as<Vector2>();
	}
	if (type == VECTOR2I) {
		const Vector2i &v = _mem_as<Vector2i>();
		return Vector2((real_t)v.x, (real_t)v.y);
	}
	if (type == VECTOR3) {
		const Vector3 &v = _mem_as<Vector3>();
		return Vector2(v.x, v.y);
	}
	return Vector2();
}

Variant::operator Vector2i() const {
	if (type == VECTOR2I) {
		return _mem_as<Vector2i>();
	}
	if (type == VECTOR2) {
		const Vector2 &v = _mem_as<Vector2>();
		return Vector2i((int32_t)v.x, (int32_t)v.y);
	}
	return Vector2i();
}

Variant::operator Vector3() const {
	if (type == VECTOR3) {
		return _mem_as<Vector3>();
	}
	if (type == VECTOR3I) {
		const Vector3i &v = _mem_as<Vector3i>();
		return Vector3((real_t)v.x, (real_t)v.y, (real_t)v.z);
	}
	if (type == VECTOR2) {
		const Vector2 &v = _mem_as<Vector2>();
		return Vector3(v.x, v.y, 0);
	}
	return Vector3();
}

Variant::operator Vector3i() const {
	if (type == VECTOR3I) {
		return _mem_as<Vector3i>();
	}
	if (type == VECTOR3) {
		const Vector3 &v = _mem_as<Vector3>();
		return Vector3i((int32_t)v.x, (int32_t)v.y, (int32_t)v.z);
	}
	return Vector3i();
}

Variant::operator Quaternion() const {
	if (type == QUATERNION) {
		return _mem_as<Quaternion>();
	}
	if (type == BASIS) {
		return _mem_as<Basis>().get_rotation_quaternion();
	}
	return Quaternion();
}

Variant::operator Plane() const {
	return type == PLANE ? _mem_as<Plane>() : Plane();
}

Variant::operator godot::AABB() const {
	return type == AABB ? _mem_as<godot::AABB>() : godot::AABB();
}

Variant::operator Basis() const {
	if (type == BASIS) {
		return _mem_as<Basis>();
	}
	if (type == QUATERNION) {
		return Basis(_mem_as<Quaternion>());
	}
	if (type == TRANSFORM3D) {
		return _mem_as<Transform3D>().basis;
	}
	return Basis();
}

Variant::operator Transform3D() const {
	if (type == TRANSFORM3D) {
		return _mem_as<Transform3D>();
	}
	if (type == BASIS) {
		return Transform3D(_mem_as<Basis>(), Vector3());
	}
	if (type == QUATERNION) {
		return Transform3D(Basis(_mem_as<Quaternion>()), Vector3());
	}
	return Transform3D();
}

Variant::operator Color() const {
	if (type == COLOR) {
		return _mem_as<Color>();
	}
	if (type == STRING) {
		return Color::html(*static_cast<const String *>(_data._ptr));
	}
	return Color();
}

Variant::operator godot::RID() const {
	return type == RID ? godot::RID::_host_from_id(_data._rid) : godot::RID();
}

Variant::operator Object *() const {
	return type == OBJECT ? get_validated_object() : nullptr;
}

Object *Variant::get_validated_object() const {
	if (type != OBJECT || !_data._obj.obj) {
		return nullptr;
	}
	return ObjectDB::get_instance(_data._obj.id) == _data._obj.obj ? _data._obj.obj : nullptr;
}

Variant::operator Callable() const {
	return type == CALLABLE ? *static_cast<const Callable *>(_data._ptr) : Callable();
}

Variant::operator Array() const {
	return type == ARRAY ? *static_cast<const Array *>(_data._ptr) : Array();
}

Variant::operator Dictionary() const {
	return type == DICTIONARY ? *static_cast<const Dictionary *>(_data._ptr) : Dictionary();
}

Variant::operator PackedStringArray() const {
	if (type == PACKED_STRING_ARRAY) {
		return *static_cast<const PackedStringArray *>(_data._ptr);
	}
	PackedStringArray out;
	if (type == ARRAY) {
		const Array &a = *static_cast<const Array *>(_data._ptr);
		for (int64_t i = 0; i < a.size(); i++) {
			out.push_back(a[i].operator String());
		}
	}
	return out;
}

String Variant::stringify() const {
	switch (type) {
		case NIL:
			return "<null>";
		case BOOL:
			return _data._bool ? "true" : "false";
		case INT:
			return String::num_int64(_data._int);
		case FLOAT:
			return _host_float_text(_data._float);
		case STRING:
			return *static_cast<const String *>(_data._ptr);
		case STRING_NAME:
			return String(*static_cast<const StringName *>(_data._ptr));
		case NODE_PATH:
			return String(*static_cast<const NodePath *>(_data._ptr));
		case VECTOR2: {
			const Vector2 &v = _mem_as<Vector2>();
			return "(" + real_text(v.x) + ", " + real_text(v.y) + ")";
		}
		case VECTOR2I: {
			const Vector2i &v = _mem_as<Vector2i>();
			return "(" + itos(v.x) + ", " + itos(v.y) + ")";
		}
		case VECTOR3: {
			const Vector3 &v = _mem_as<Vector3>();
			return "(" + real_text(v.x) + ", " + real_text(v.y) + ", " + real_text(v.z) + ")";
		}
		case VECTOR3I: {
			const Vector3i &v = _mem_as<Vector3i>();
			return "(" + itos(v.x) + ", " + itos(v.y) + ", " + itos(v.z) + ")";
		}
		case QUATERNION: {
			const Quaternion &q = _mem_as<Quaternion>();
			return "(" + real_text(q.x) + ", " + real_text(q.y) + ", " + real_text(q.z) + ", " + real_text(q.w) + ")";
		}
		case BASIS: {
			const Basis &b = _mem_as<Basis>();
			String out = "[";
			for (int i = 0; i < 3; i++) {
				Vector3 c = b.get_column(i);
				out += String(i == 0 ? "" : ", ") + String("XYZ").substr(i, 1) + ": (" + real_text(c.x) + ", " + real_text(c.y) + ", " + real_text(c.z) + ")";
			}
			return out + "]";
		}
		case TRANSFORM3D: {
			const Transform3D &t = _mem_as<Transform3D>();
			return "[" + Variant(t.basis).stringify().substr(1, -1).replace("]", "") + ", O: " + Variant(t.origin).stringify() + "]";
		}
		case COLOR: {
			const Color &c = _mem_as<Color>();
			// Colours keep the engine's four decimals, without a trailing ".0".
			return "(" + String::num(c.r, 4) + ", " + String::num(c.g, 4) + ", " + String::num(c.b, 4) + ", " + String::num(c.a, 4) + ")";
		}
		case RID:
			return "RID(" + itos((int64_t)_data._rid) + ")";
		case OBJECT: {
			Object *o = get_validated_object();
			if (!o) {
				return _data._obj.obj ? "<Freed Object>" : "<null>";
			}
			return o->to_string();
		}
		case CALLABLE:
			return static_cast<const Callable *>(_data._ptr)->get_as_text();
		case ARRAY: {
			const Array &a = *static_cast<const Array *>(_data._ptr);
			String out = "[";
			for (int64_t i = 0; i < a.size(); i++) {
				out += String(i ? ", " : "") + a[i].stringify();
			}
			return out + "]";
		}
		case DICTIONARY: {
			const Dictionary &d = *static_cast<const Dictionary *>(_data._ptr);
			Array keys = d.keys();
			if (keys.is_empty()) {
				return "{  }";
			}
			String out = "{ ";
			for (int64_t i = 0; i < keys.size(); i++) {
				Variant k = keys[i];
				String ks = k.get_type() == STRING ? "\"" + k.stringify() + "\"" : k.stringify();
				out += String(i ? ", " : "") + ks + ": " + d[k].stringify();
			}
			return out + " }";
		}
		case PACKED_STRING_ARRAY: {
			const PackedStringArray &a = *static_cast<const PackedStringArray *>(_data._ptr);
			String out = "[";
			for (int64_t i = 0; i < a.size(); i++) {
				out += String(i ? ", " : "") + "\"" + a[i] + "\"";
			}
			return out + "]";
		}
		default:
			return "<" + get_type_name(type) + ">";
	}
}

uint32_t Variant::hash() const {
	switch (type) {
		case NIL:
			return 0;
		case BOOL:
			return _data._bool ? 1 : 2;
		case INT:
			return (uint32_t)(_data._int ^ (_data._int >> 32)) * 2654435761u;
		case FLOAT:
			return (uint32_t)std::hash<double>()(_data._float);
		case STRING:
		case STRING_NAME:
		case NODE_PATH:
			return (uint32_t)std::hash<std::string>()(std::string(operator String().utf8().get_data()));
		case OBJECT:
			return (uint32_t)(_data._obj.id * 2654435761u);
		case RID:
			return (uint32_t)(_data._rid * 2654435761u);
		default:
			return (uint32_t)std::hash<std::string>()(std::string(stringify().utf8().get_data()));
	}
}

bool Variant::hash_compare(const Variant &p_other) const {
	if (type != p_other.type) {
		return false;
	}
	return *this == p_other;
}

bool Variant::operator==(const Variant &p_other) const {
	if (type != p_other.type) {
		bool numeric_a = type == INT || type == FLOAT;
		bool numeric_b = p_other.type == INT || p_other.type == FLOAT;
		if (numeric_a && numeric_b) {
			return operator double() == p_other.operator double();
		}
		bool text_a = type == STRING || type == STRING_NAME;
		bool text_b = p_other.type == STRING || p_other.type == STRING_NAME;
		if (text_a && text_b) {
			return operator String() == p_other.operator String();
		}
		return false;
	}
	switch (type) {
		case NIL:
			return true;
		case BOOL:
			return _data._bool == p_other._data._bool;
		case INT:
			return _data._int == p_other._data._int;
		case FLOAT:
			return _data._float == p_other._data._float;
		case STRING:
			return *static_cast<const String *>(_data._ptr) == *static_cast<const String *>(p_other._data._ptr);
		case STRING_NAME:
			return *static_cast<const StringName *>(_data._ptr) == *static_cast<const StringName *>(p_other._data._ptr);
		case NODE_PATH:
			return *static_cast<const NodePath *>(_data._ptr) == *static_cast<const NodePath *>(p_other._data._ptr);
		case VECTOR2:
			return _mem_as<Vector2>() == p_other._mem_as<Vector2>();
		case VECTOR2I:
			return _mem_as<Vector2i>() == p_other._mem_as<Vector2i>();
		case VECTOR3:
			return _mem_as<Vector3>() == p_other._mem_as<Vector3>();
		case VECTOR3I:
			return _mem_as<Vector3i>() == p_other._mem_as<Vector3i>();
		case QUATERNION:
			return _mem_as<Quaternion>() == p_other._mem_as<Quaternion>();
		case BASIS:
			return _mem_as<Basis>() == p_other._mem_as<Basis>();
		case TRANSFORM3D:
			return _mem_as<Transform3D>() == p_other._mem_as<Transform3D>();
		case COLOR:
			return _mem_as<Color>() == p_other._mem_as<Color>();
		case RID:
			return _data._rid == p_other._data._rid;
		case OBJECT:
			return _data._obj.obj == p_other._data._obj.obj;
		case CALLABLE:
			return *static_cast<const Callable *>(_data._ptr) == *static_cast<const Callable *>(p_other._data._ptr);
		case ARRAY:
			return *static_cast<const Array *>(_data._ptr) == *static_cast<const Array *>(p_other._data._ptr);
		case DICTIONARY:
			return *static_cast<const Dictionary *>(_data._ptr) == *static_cast<const Dictionary *>(p_other._data._ptr);
		case PACKED_STRING_ARRAY:
			return *static_cast<const PackedStringArray *>(_data._ptr) == *static_cast<const PackedStringArray *>(p_other._data._ptr);
		default:
			return std::memcmp(&_data, &p_other._data, sizeof(_data)) == 0;
	}
}

bool Variant::operator<(const Variant &p_other) const {
	if (type != p_other.type) {
		return type < p_other.type;
	}
	switch (type) {
		case BOOL:
		case INT:
			return operator long() < p_other.operator long();
		case FLOAT:
			return _data._float < p_other._data._float;
		case STRING:
		case STRING_NAME:
			return operator String() < p_other.operator String();
		case OBJECT:
			return _data._obj.id < p_other._data._obj.id;
		default:
			return false;
	}
}

// ---------------------------------------------------------------- Array

struct Array::Data {
	std::vector<Variant> items;
};

Array::Array() :
		_p(std::make_shared<Data>()) {}
Array::Array(const Array &p_from) = default;
Array::Array(Array &&p_from) noexcept :
		_p(p_from._p) {}
Array &Array::operator=(const Array &p_from) = default;
Array &Array::operator=(Array &&p_from) noexcept {
	_p = p_from._p;
	return *this;
}
Array::~Array() = default;

Array::Data &Array::_data() {
	return *_p;
}
const Array::Data *Array::_cdata() const {
	return _p.get();
}

int64_t Array::size() const { return (int64_t)_p->items.size(); }
bool Array::is_empty() const { return _p->items.empty(); }
void Array::clear() { _p->items.clear(); }
void Array::push_back(const Variant &p_value) { _p->items.push_back(p_value); }
void Array::append(const Variant &p_value) { _p->items.push_back(p_value); }
void Array::append_array(const Array &p_array) {
	std::vector<Variant> copy = p_array._p->items;
	_p->items.insert(_p->items.end(), copy.begin(), copy.end());
}
void Array::push_front(const Variant &p_value) { _p->items.insert(_p->items.begin(), p_value); }
Variant Array::pop_back() {
	ERR_FAIL_COND_V_MSG(_p->items.empty(), Variant(), "Can't pop an empty array.");
	Variant v = _p->items.back();
	_p->items.pop_back();
	return v;
}
Variant Array::pop_front() {
	ERR_FAIL_COND_V_MSG(_p->items.empty(), Variant(), "Can't pop an empty array.");
	Variant v = _p->items.front();
	_p->items.erase(_p->items.begin());
	return v;
}
void Array::resize(int64_t p_size) {
	ERR_FAIL_COND(p_size < 0);
	_p->items.resize((size_t)p_size);
}
void Array::insert(int64_t p_position, const Variant &p_value) {
	ERR_FAIL_INDEX(p_position, size() + 1);
	_p->items.insert(_p->items.begin() + p_position, p_value);
}
void Array::remove_at(int64_t p_position) {
	ERR_FAIL_INDEX(p_position, size());
	_p->items.erase(_p->items.begin() + p_position);
}
void Array::erase(const Variant &p_value) {
	int64_t i = find(p_value);
	if (i >= 0) {
		remove_at(i);
	}
}
bool Array::has(const Variant &p_value) const { return find(p_value) >= 0; }
int64_t Array::find(const Variant &p_what, int64_t p_from) const {
	for (int64_t i = p_from < 0 ? 0 : p_from; i < size(); i++) {
		if (_p->items[(size_t)i] == p_what) {
			return i;
		}
	}
	return -1;
}
int64_t Array::count(const Variant &p_value) const {
	int64_t n = 0;
	for (const Variant &v : _p->items) {
		n += v == p_value ? 1 : 0;
	}
	return n;
}
Variant Array::front() const {
	ERR_FAIL_COND_V_MSG(_p->items.empty(), Variant(), "Can't take value from empty array.");
	return _p->items.front();
}
Variant Array::back() const {
	ERR_FAIL_COND_V_MSG(_p->items.empty(), Variant(), "Can't take value from empty array.");
	return _p->items.back();
}
Array Array::duplicate(bool p_deep) const {
	Array out;
	for (const Variant &v : _p->items) {
		if (p_deep && v.get_type() == Variant::ARRAY) {
			out.push_back(v.operator Array().duplicate(true));
		} else if (p_deep && v.get_type() == Variant::DICTIONARY) {
			out.push_back(v.operator Dictionary().duplicate(true));
		} else {
			out.push_back(v);
		}
	}
	return out;
}
void Array::reverse() {
	std::vector<Variant> &items = _p->items;
	for (size_t i = 0; i < items.size() / 2; i++) {
		std::swap(items[i], items[items.size() - 1 - i]);
	}
}
const Variant &Array::operator[](int64_t p_index) const {
	CRASH_COND(p_index < 0 || p_index >= size());
	return _p->items[(size_t)p_index];
}
Variant &Array::operator[](int64_t p_index) {
	CRASH_COND(p_index < 0 || p_index >= size());
	return _p->items[(size_t)p_index];
}
bool Array::operator==(const Array &p_other) const {
	if (_p == p_other._p) {
		return true;
	}
	return _p->items == p_other._p->items;
}

// ----------------------------------------------------------- Dictionary

struct Dictionary::Data {
	std::vector<std::pair<Variant, Variant>> entries; // insertion order

	int64_t index_of(const Variant &p_key) const {
		for (size_t i = 0; i < entries.size(); i++) {
			if (entries[i].first.hash_compare(p_key)) {
				return (int64_t)i;
			}
		}
		return -1;
	}
};

Dictionary::Dictionary() :
		_p(std::make_shared<Data>()) {}
Dictionary::Dictionary(const Dictionary &p_from) = default;
Dictionary::Dictionary(Dictionary &&p_from) noexcept :
		_p(p_from._p) {}
Dictionary &Dictionary::operator=(const Dictionary &p_from) = default;
Dictionary &Dictionary::operator=(Dictionary &&p_from) noexcept {
	_p = p_from._p;
	return *this;
}
Dictionary::~Dictionary() = default;

Dictionary::Data &Dictionary::_data() {
	return *_p;
}

int64_t Dictionary::size() const { return (int64_t)_p->entries.size(); }
bool Dictionary::is_empty() const { return _p->entries.empty(); }
void Dictionary::clear() { _p->entries.clear(); }
bool Dictionary::has(const Variant &p_key) const { return _p->index_of(p_key) >= 0; }
bool Dictionary::erase(const Variant &p_key) {
	int64_t i = _p->index_of(p_key);
	if (i < 0) {
		return false;
	}
	_p->entries.erase(_p->entries.begin() + i);
	return true;
}
Variant Dictionary::get(const Variant &p_key, const Variant &p_default) const {
	int64_t i = _p->index_of(p_key);
	return i < 0 ? p_default : _p->entries[(size_t)i].second;
}
Array Dictionary::keys() const {
	Array out;
	for (const auto &e : _p->entries) {
		out.push_back(e.first);
	}
	return out;
}
Array Dictionary::values() const {
	Array out;
	for (const auto &e : _p->entries) {
		out.push_back(e.second);
	}
	return out;
}
Dictionary Dictionary::duplicate(bool p_deep) const {
	Dictionary out;
	for (const auto &e : _p->entries) {
		Variant v = e.second;
		if (p_deep && v.get_type() == Variant::DICTIONARY) {
			v = v.operator Dictionary().duplicate(true);
		} else if (p_deep && v.get_type() == Variant::ARRAY) {
			v = v.operator Array().duplicate(true);
		}
		out[e.first] = v;
	}
	return out;
}
void Dictionary::merge(const Dictionary &p_dictionary, bool p_overwrite) {
	for (const auto &e : p_dictionary._p->entries) {
		if (p_overwrite || !has(e.first)) {
			operator[](e.first) = e.second;
		}
	}
}
const Variant &Dictionary::operator[](const Variant &p_key) const {
	static const Variant nil;
	int64_t i = _p->index_of(p_key);
	return i < 0 ? nil : _p->entries[(size_t)i].second;
}
Variant &Dictionary::operator[](const Variant &p_key) {
	int64_t i = _p->index_of(p_key);
	if (i < 0) {
		_p->entries.emplace_back(p_key, Variant());
		return _p->entries.back().second;
	}
	return _p->entries[(size_t)i].second;
}
bool Dictionary::operator==(const Dictionary &p_other) const {
	if (_p == p_other._p) {
		return true;
	}
	if (size() != p_other.size()) {
		return false;
	}
	for (const auto &e : _p->entries) {
		int64_t i = p_other._p->index_of(e.first);
		if (i < 0 || !(p_other._p->entries[(size_t)i].second == e.second)) {
			return false;
		}
	}
	return true;
}

} // namespace godot
