#ifndef GODOT_CALLABLE_HPP
#define GODOT_CALLABLE_HPP

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <memory>
#include <vector>

namespace godot {

class Variant;
class Object;
class Array;
class String;

struct GDExtensionCallErrorHost {
	enum Kind {
		CALL_OK,
		CALL_ERROR_INVALID_METHOD,
		CALL_ERROR_INVALID_ARGUMENT,
		CALL_ERROR_TOO_MANY_ARGUMENTS,
		CALL_ERROR_TOO_FEW_ARGUMENTS,
		CALL_ERROR_INSTANCE_IS_NULL,
	};
	Kind error = CALL_OK;
	int32_t argument = 0;
	int32_t expected = 0;
};

// A callable whose target is code rather than a bound method name.
class HOST_API CallableCustom {
public:
	virtual ~CallableCustom() = default;
	virtual uint32_t hash() const = 0;
	virtual String get_as_text() const;
	// Instance id of the receiver, 0 for none.
	virtual uint64_t get_object() const = 0;
	virtual bool is_valid() const;
	virtual bool equals(const CallableCustom &p_other) const = 0;
	virtual void call(const Variant **p_arguments, int p_argcount, Variant &r_return_value, GDExtensionCallErrorHost &r_call_error) const = 0;
};

class HOST_API Callable {
	uint64_t _object_id = 0;
	StringName _method;
	std::shared_ptr<CallableCustom> _custom;
	std::shared_ptr<const std::vector<Variant>> _binds;

	Variant _call_internal(const Variant **p_args, int p_argcount) const;
	void _call_deferred_internal(const Variant **p_args, int p_argcount) const;

public:
	Callable();
	Callable(const Callable &p_from);
	Callable &operator=(const Callable &p_from);
	~Callable();
	Callable(Object *p_object, const StringName &p_method);
	Callable(CallableCustom *p_custom);

	bool is_null() const;
	bool is_custom() const { return (bool)_custom; }
	bool is_standard() const { return !_custom; }
	bool is_valid() const;
	Object *get_object() const;
	uint64_t get_object_id() const;
	StringName get_method() const;
	int64_t get_bound_arguments_count() const;
	Array get_bound_arguments() const;

	template <typename... Args>
	Callable bind(const Args &...p_args) const;
	Callable bindv(const Array &p_arguments) const;
	Callable unbind(int64_t p_argcount) const;

	template <typename... Args>
	Variant call(const Args &...p_args) const;
	template <typename... Args>
	void call_deferred(const Args &...p_args) const;
	Variant callv(const Array &p_arguments) const;

	// Calls with the given arguments followed by the bound ones.
	Variant _host_callp(const Variant **p_args, int p_argcount, GDExtensionCallErrorHost &r_error) const;
	Callable _host_bind_values(const std::vector<Variant> &p_values) const;

	String get_as_text() const;
	uint32_t hash() const;

	// Equal when they reach the same target and carry as many bound values.
	bool operator==(const Callable &p_other) const;
	bool operator!=(const Callable &p_other) const { return !(*this == p_other); }
};

} // namespace godot

#include <godot_cpp/variant/variant.hpp>

namespace godot {

template <typename... Args>
Callable Callable::bind(const Args &...p_args) const {
	return _host_bind_values(std::vector<Variant>{ Variant(p_args)... });
}

template <typename... Args>
Variant Callable::call(const Args &...p_args) const {
	std::array<Variant, sizeof...(Args)> args = { Variant(p_args)... };
	std::array<const Variant *, sizeof...(Args) + 1> ptrs = {};
	for (size_t i = 0; i < sizeof...(Args); i++) {
		ptrs[i] = &args[i];
	}
	return _call_internal(ptrs.data(), (int)sizeof...(Args));
}

template <typename... Args>
void Callable::call_deferred(const Args &...p_args) const {
	std::array<Variant, sizeof...(Args)> args = { Variant(p_args)... };
	std::array<const Variant *, sizeof...(Args) + 1> ptrs = {};
	for (size_t i = 0; i < sizeof...(Args); i++) {
		ptrs[i] = &args[i];
	}
	_call_deferred_internal(ptrs.data(), (int)sizeof...(Args));
}

} // namespace godot

#endif // GODOT_CALLABLE_HPP
