#ifndef GODOT_METHOD_BIND_HPP
#define GODOT_METHOD_BIND_HPP

#include <godot_cpp/core/binder_common.hpp>
#include <godot_cpp/core/host_arg_list.hpp>
#include <godot_cpp/core/object.hpp>

#include <tuple>
#include <utility>
#include <vector>

namespace godot {

class HOST_API MethodBind {
	StringName name;
	StringName instance_class;
	int argument_count = 0;
	uint32_t hint_flags = METHOD_FLAGS_DEFAULT;
	bool _static = false;
	bool _const = false;
	bool _returns = false;
	std::vector<StringName> argument_names;
	std::vector<Variant> default_arguments;

protected:
	std::vector<PropertyInfo> argument_info;
	PropertyInfo return_info;

	void set_const(bool p_const) { _const = p_const; }
	void set_return(bool p_return) { _returns = p_return; }
	void set_static(bool p_static) { _static = p_static; }
	void set_argument_count(int p_count) { argument_count = p_count; }
	// Checks count and types and fills in defaults; null when the call must not go on.
	bool _prepare_args(const Variant **p_args, int p_argcount, _HostArgList &r_args, GDExtensionCallErrorHost &r_error) const;

public:
	virtual ~MethodBind();

	const StringName &get_name() const { return name; }
	void set_name(const StringName &p_name) { name = p_name; }
	const StringName &get_instance_class() const { return instance_class; }
	void set_instance_class(const StringName &p_class) { instance_class = p_class; }
	int get_argument_count() const { return argument_count; }
	bool is_const() const { return _const; }
	bool is_static() const { return _static; }
	bool has_return() const { return _returns; }
	uint32_t get_hint_flags() const { return hint_flags | (_const ? METHOD_FLAG_CONST : 0) | (_static ? METHOD_FLAG_STATIC : 0); }
	void set_hint_flags(uint32_t p_flags) { hint_flags = p_flags; }
	const std::vector<StringName> &get_argument_names() const { return argument_names; }
	void set_argument_names(const std::vector<StringName> &p_names) { argument_names = p_names; }
	const std::vector<Variant> &get_default_arguments() const { return default_arguments; }
	void set_default_arguments(const std::vector<Variant> &p_defaults) { default_arguments = p_defaults; }
	PropertyInfo get_argument_info(int p_arg) const;
	PropertyInfo get_return_info() const { return return_info; }

	virtual Variant call(Object *p_object, const Variant **p_args, int p_argcount, GDExtensionCallErrorHost &r_error) const = 0;
};

template <typename T, typename R, bool C, typename... P>
class MethodBindT : public MethodBind {
	using Method = std::conditional_t<C, R (T::*)(P...) const, R (T::*)(P...)>;
	Method method;

	template <size_t... Is>
	Variant _call(T *p_instance, [[maybe_unused]] const _HostArgList &p_args, std::index_sequence<Is...>) const {
		if constexpr (std::is_same_v<R, void>) {
			(p_instance->*method)(VariantCaster<P>::cast(*p_args[Is])...);
			return Variant();
		} else {
			return Variant((p_instance->*method)(VariantCaster<P>::cast(*p_args[Is])...));
		}
	}

	template <size_t... Is>
	static bool _check([[maybe_unused]] const _HostArgList &p_args, [[maybe_unused]] GDExtensionCallErrorHost &r_error, std::index_sequence<Is...>) {
		return ((_host_argument_accepts<P>(*p_args[Is]) || _fail(r_error, (int)Is)) && ...);
	}
	static bool _fail(GDExtensionCallErrorHost &r_error, int p_arg) {
		r_error.error = GDExtensionCallErrorHost::CALL_ERROR_INVALID_ARGUMENT;
		r_error.argument = p_arg;
		return false;
	}

public:
	explicit MethodBindT(Method p_method) :
			method(p_method) {
		set_instance_class(T::get_class_static());
		set_argument_count((int)sizeof...(P));
		set_const(C);
		set_return(!std::is_same_v<R, void>);
		argument_info = { _host_type_info<P>()... };
		return_info = _host_type_info<R>();
	}

	Variant call(Object *p_object, const Variant **p_args, int p_argcount, GDExtensionCallErrorHost &r_error) const override {
		T *instance = Object::cast_to<T>(p_object);
		if (!instance) {
			r_error.error = GDExtensionCallErrorHost::CALL_ERROR_INSTANCE_IS_NULL;
			return Variant();
		}
		_HostArgList args;
		if (!_prepare_args(p_args, p_argcount, args, r_error)) {
			return Variant();
		}
		if (!_check(args, r_error, std::index_sequence_for<P...>{})) {
			return Variant();
		}
		return _call(instance, args, std::index_sequence_for<P...>{});
	}
};

template <typename R, typename... P>
class MethodBindStaticT : public MethodBind {
	R (*function)(P...);

	template <size_t... Is>
	Variant _call([[maybe_unused]] const _HostArgList &p_args, std::index_sequence<Is...>) const {
		if constexpr (std::is_same_v<R, void>) {
			function(VariantCaster<P>::cast(*p_args[Is])...);
			return Variant();
		} else {
			return Variant(function(VariantCaster<P>::cast(*p_args[Is])...));
		}
	}

public:
	explicit MethodBindStaticT(R (*p_function)(P...)) :
			function(p_function) {
		set_argument_count((int)sizeof...(P));
		set_static(true);
		set_return(!std::is_same_v<R, void>);
		argument_info = { _host_type_info<P>()... };
		return_info = _host_type_info<R>();
	}

	Variant call(Object *, const Variant **p_args, int p_argcount, GDExtensionCallErrorHost &r_error) const override {
		_HostArgList args;
		if (!_prepare_args(p_args, p_argcount, args, r_error)) {
			return Variant();
		}
		return _call(args, std::index_sequence_for<P...>{});
	}
};

template <typename T, typename R, typename... P>
MethodBind *create_method_bind(R (T::*p_method)(P...)) {
	return new MethodBindT<T, R, false, P...>(p_method);
}

template <typename T, typename R, typename... P>
MethodBind *create_method_bind(R (T::*p_method)(P...) const) {
	return new MethodBindT<T, R, true, P...>(p_method);
}

template <typename R, typename... P>
MethodBind *create_static_method_bind(R (*p_method)(P...)) {
	return new MethodBindStaticT<R, P...>(p_method);
}

} // namespace godot

#endif // GODOT_METHOD_BIND_HPP
