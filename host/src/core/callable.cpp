// Callables: a method of an object by name, or custom code, with bound values.
#include <godot_cpp/variant/callable.hpp>

#include <godot_cpp/core/object.hpp>
#include <godot_cpp/core/host_arg_list.hpp>
#include <godot_host/deferred_calls.hpp>

namespace godot {

String CallableCustom::get_as_text() const {
	return "<custom callable>";
}

bool CallableCustom::is_valid() const {
	return ObjectDB::get_instance(get_object()) != nullptr;
}

Callable::Callable() = default;
Callable::Callable(const Callable &p_from) = default;
Callable &Callable::operator=(const Callable &p_from) = default;
Callable::~Callable() = default;

Callable::Callable(Object *p_object, const StringName &p_method) :
		_object_id(p_object ? p_object->get_instance_id() : 0), _method(p_method) {}

Callable::Callable(CallableCustom *p_custom) :
		_custom(p_custom) {}

bool Callable::is_null() const {
	return !_custom && (_object_id == 0 || _method.is_empty());
}

bool Callable::is_valid() const {
	if (_custom) {
		return _custom->is_valid();
	}
	return !_method.is_empty() && ObjectDB::get_instance(_object_id) != nullptr;
}

uint64_t Callable::get_object_id() const {
	return _custom ? _custom->get_object() : _object_id;
}

Object *Callable::get_object() const {
	return ObjectDB::get_instance(get_object_id());
}

StringName Callable::get_method() const {
	return _custom ? StringName() : _method;
}

int64_t Callable::get_bound_arguments_count() const {
	return _binds ? (int64_t)_binds->size() : 0;
}

Array Callable::get_bound_arguments() const {
	Array a;
	if (_binds) {
		for (const Variant &v : *_binds) {
			a.push_back(v);
		}
	}
	return a;
}

Callable Callable::_host_bind_values(const std::vector<Variant> &p_values) const {
	// A later bind comes before the values bound earlier, as nested binds do.
	auto binds = std::make_shared<std::vector<Variant>>(p_values);
	if (_binds) {
		binds->insert(binds->end(), _binds->begin(), _binds->end());
	}
	Callable c(*this);
	c._binds = binds;
	return c;
}

Callable Callable::bindv(const Array &p_arguments) const {
	std::vector<Variant> values;
	for (int64_t i = 0; i < p_arguments.size(); i++) {
		values.push_back(p_arguments[i]);
	}
	return _host_bind_values(values);
}

Callable Callable::unbind(int64_t) const {
	ERR_FAIL_V_MSG(*this, "Callable::unbind is not supported by this engine.");
}

Variant Callable::_host_callp(const Variant **p_args, int p_argcount, GDExtensionCallErrorHost &r_error) const {
	_HostArgList args;
	args.assign(p_args, p_argcount);
	if (_binds) {
		for (const Variant &v : *_binds) {
			args.push_back(&v);
		}
	}
	if (_custom) {
		Variant ret;
		_custom->call(args.data(), (int)args.size(), ret, r_error);
		return ret;
	}
	Object *object = ObjectDB::get_instance(_object_id);
	if (!object) {
		r_error.error = GDExtensionCallErrorHost::CALL_ERROR_INSTANCE_IS_NULL;
		return Variant();
	}
	return object->_host_callp(_method, args.data(), (int)args.size(), r_error);
}

Variant Callable::_call_internal(const Variant **p_args, int p_argcount) const {
	GDExtensionCallErrorHost err;
	Variant ret = _host_callp(p_args, p_argcount, err);
	if (err.error != GDExtensionCallErrorHost::CALL_OK) {
		ERR_PRINT("Error calling callable '" + get_as_text() + "'.");
	}
	return ret;
}

void Callable::_call_deferred_internal(const Variant **p_args, int p_argcount) const {
	std::vector<Variant> values;
	for (int i = 0; i < p_argcount; i++) {
		values.push_back(*p_args[i]);
	}
	godot_host::DeferredCalls::push(_host_bind_values(values));
}

Variant Callable::callv(const Array &p_arguments) const {
	std::vector<const Variant *> ptrs;
	for (int64_t i = 0; i < p_arguments.size(); i++) {
		ptrs.push_back(&p_arguments[i]);
	}
	return _call_internal(ptrs.data(), (int)ptrs.size());
}

String Callable::get_as_text() const {
	if (_custom) {
		return _custom->get_as_text();
	}
	Object *object = ObjectDB::get_instance(_object_id);
	if (!object) {
		return "null::" + String(_method);
	}
	return object->get_class() + "::" + String(_method);
}

uint32_t Callable::hash() const {
	if (_custom) {
		return _custom->hash();
	}
	return (uint32_t)(_object_id * 2654435761u) ^ (uint32_t)std::hash<StringName>()(_method);
}

bool Callable::operator==(const Callable &p_other) const {
	if (get_bound_arguments_count() != p_other.get_bound_arguments_count()) {
		return false;
	}
	if (_custom || p_other._custom) {
		return _custom && p_other._custom && (_custom == p_other._custom || _custom->equals(*p_other._custom));
	}
	return _object_id == p_other._object_id && _method == p_other._method;
}

} // namespace godot
