#ifndef GODOT_CALLABLE_METHOD_POINTER_HPP
#define GODOT_CALLABLE_METHOD_POINTER_HPP

#include <godot_cpp/core/object.hpp>
#include <godot_cpp/core/type_info.hpp>
#include <godot_cpp/variant/callable.hpp>

#include <utility>

namespace godot {

template <typename T, typename M, typename R, typename... P>
class _HostCallableMethodPointer : public CallableCustom {
	uint64_t object_id;
	M method;

	template <size_t... Is>
	void _call(T *p_instance, [[maybe_unused]] const Variant **p_args, Variant &r_ret, std::index_sequence<Is...>) const {
		if constexpr (std::is_same_v<R, void>) {
			(p_instance->*method)(VariantCaster<P>::cast(*p_args[Is])...);
			r_ret = Variant();
		} else {
			r_ret = Variant((p_instance->*method)(VariantCaster<P>::cast(*p_args[Is])...));
		}
	}

public:
	_HostCallableMethodPointer(T *p_instance, M p_method) :
			object_id(p_instance->get_instance_id()), method(p_method) {}

	uint32_t hash() const override { return (uint32_t)(object_id * 2654435761u); }
	uint64_t get_object() const override { return object_id; }
	bool equals(const CallableCustom &p_other) const override {
		const auto *o = dynamic_cast<const _HostCallableMethodPointer *>(&p_other);
		return o && o->object_id == object_id && o->method == method;
	}
	void call(const Variant **p_arguments, int p_argcount, Variant &r_return_value, GDExtensionCallErrorHost &r_call_error) const override {
		T *instance = Object::cast_to<T>(ObjectDB::get_instance(object_id));
		if (!instance) {
			r_call_error.error = GDExtensionCallErrorHost::CALL_ERROR_INSTANCE_IS_NULL;
			return;
		}
		if (p_argcount != (int)sizeof...(P)) {
			r_call_error.error = p_argcount < (int)sizeof...(P) ? GDExtensionCallErrorHost::CALL_ERROR_TOO_FEW_ARGUMENTS : GDExtensionCallErrorHost::CALL_ERROR_TOO_MANY_ARGUMENTS;
			r_call_error.expected = (int32_t)sizeof...(P);
			return;
		}
		_call(instance, p_arguments, r_return_value, std::index_sequence_for<P...>{});
	}
};

template <typename T, typename R, typename... P>
Callable create_custom_callable_function_pointer(T *p_instance, R (T::*p_method)(P...)) {
	return Callable(new _HostCallableMethodPointer<T, R (T::*)(P...), R, P...>(p_instance, p_method));
}

template <typename T, typename R, typename... P>
Callable create_custom_callable_function_pointer(T *p_instance, R (T::*p_method)(P...) const) {
	return Callable(new _HostCallableMethodPointer<T, R (T::*)(P...) const, R, P...>(p_instance, p_method));
}

#define callable_mp(I, M) ::godot::create_custom_callable_function_pointer(I, M)

// A callable of a plain function: no receiver, so it stays valid.
template <typename R, typename... P>
class _HostCallableStaticMethodPointer : public CallableCustom {
	R (*function)(P...);

	template <size_t... Is>
	void _call([[maybe_unused]] const Variant **p_args, Variant &r_ret, std::index_sequence<Is...>) const {
		if constexpr (std::is_same_v<R, void>) {
			function(VariantCaster<P>::cast(*p_args[Is])...);
			r_ret = Variant();
		} else {
			r_ret = Variant(function(VariantCaster<P>::cast(*p_args[Is])...));
		}
	}

public:
	explicit _HostCallableStaticMethodPointer(R (*p_function)(P...)) :
			function(p_function) {}

	uint32_t hash() const override { return (uint32_t)(reinterpret_cast<uintptr_t>(function) * 2654435761u); }
	uint64_t get_object() const override { return 0; }
	bool is_valid() const override { return true; }
	bool equals(const CallableCustom &p_other) const override {
		const auto *o = dynamic_cast<const _HostCallableStaticMethodPointer *>(&p_other);
		return o && o->function == function;
	}
	void call(const Variant **p_arguments, int p_argcount, Variant &r_return_value, GDExtensionCallErrorHost &r_call_error) const override {
		if (p_argcount != (int)sizeof...(P)) {
			r_call_error.error = p_argcount < (int)sizeof...(P) ? GDExtensionCallErrorHost::CALL_ERROR_TOO_FEW_ARGUMENTS : GDExtensionCallErrorHost::CALL_ERROR_TOO_MANY_ARGUMENTS;
			r_call_error.expected = (int32_t)sizeof...(P);
			return;
		}
		_call(p_arguments, r_return_value, std::index_sequence_for<P...>{});
	}
};

template <typename R, typename... P>
Callable create_custom_callable_static_function_pointer(R (*p_function)(P...)) {
	return Callable(new _HostCallableStaticMethodPointer<R, P...>(p_function));
}

#define callable_mp_static(M) ::godot::create_custom_callable_static_function_pointer(M)

} // namespace godot

#endif // GODOT_CALLABLE_METHOD_POINTER_HPP
