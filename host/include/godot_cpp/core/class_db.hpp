#ifndef GODOT_CLASS_DB_HPP
#define GODOT_CLASS_DB_HPP

#include <godot_cpp/core/method_bind.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/godot.hpp>
#include <godot_cpp/variant/callable_method_pointer.hpp>

#include <list>
#include <vector>

namespace godot {

#define DEFVAL(m_defval) (m_defval)

struct MethodDefinition {
	StringName name;
	std::list<StringName> args;
	MethodDefinition() {}
	MethodDefinition(StringName p_name) :
			name(p_name) {}
};

HOST_API MethodDefinition D_METHOD(StringName p_name);
HOST_API MethodDefinition D_METHOD(StringName p_name, StringName p_arg1);
template <typename... Args>
MethodDefinition D_METHOD(StringName p_name, StringName p_arg1, Args... args) {
	MethodDefinition md = D_METHOD(p_name, p_arg1);
	(md.args.push_back(StringName(args)), ...);
	return md;
}

template <auto A, auto B>
struct FunctionsAreSame : std::false_type {};
template <auto A>
struct FunctionsAreSame<A, A> : std::true_type {};

class HOST_API ClassDB {
public:
	// What the engine keeps of a registered class.
	struct PropertyEntry {
		PropertyInfo info;
		StringName setter;
		StringName getter;
		int index = -1;
	};
	struct ClassRecord {
		StringName name;
		StringName parent;
		bool is_extension = false;
		bool is_virtual = false;
		bool is_abstract = false;
		bool is_exposed = true;
		bool is_runtime = false;
		ModuleInitializationLevel level = MODULE_INITIALIZATION_LEVEL_CORE;
		Object *(*creator)() = nullptr;
		void (*reset_initialized)() = nullptr;
		std::vector<MethodBind *> methods; // in binding order
		std::vector<PropertyEntry> properties;
		std::vector<MethodInfo> signals;
		std::vector<StringName> virtuals; // bound engine virtuals, in binding order
		std::vector<std::pair<StringName, int64_t>> constants;
	};

private:
	template <typename T, bool is_abstract>
	static void _register_class(bool p_virtual = false, bool p_exposed = true, bool p_runtime = false) {
		static_assert(std::is_same_v<typename T::self_type, T>, "Class not declared properly, please use GDCLASS.");
		static_assert(!FunctionsAreSame<&T::self_type::_bind_methods, &T::parent_type::_bind_methods>::value, "Class must declare 'static void _bind_methods'.");
		static_assert(!std::is_abstract_v<T> || is_abstract, "Class is abstract, please use GDREGISTER_ABSTRACT_CLASS.");
		Object *(*creator)() = nullptr;
		if constexpr (!is_abstract) {
			creator = []() -> Object * { return memnew(T); };
		}
		void (*reset)() = []() { T::_host_initialized() = false; };
		if (!_host_register_extension_class(T::get_class_static(), T::get_parent_class_static(), creator, reset, p_virtual, is_abstract, p_exposed, p_runtime)) {
			return;
		}
		T::initialize_class();
	}

	static bool _host_register_extension_class(const StringName &p_name, const StringName &p_parent, Object *(*p_creator)(), void (*p_reset)(), bool p_virtual, bool p_abstract, bool p_exposed, bool p_runtime);
	static MethodBind *_bind_method(MethodBind *p_bind, const MethodDefinition &p_definition, const std::vector<Variant> &p_defaults);

public:
	template <typename T>
	static void register_class(bool p_virtual = false) {
		ClassDB::_register_class<T, false>(p_virtual);
	}
	template <typename T>
	static void register_abstract_class() {
		ClassDB::_register_class<T, true>();
	}
	template <typename T>
	static void register_internal_class() {
		ClassDB::_register_class<T, false>(false, false);
	}
	template <typename T>
	static void register_runtime_class() {
		ClassDB::_register_class<T, false>(false, true, true);
	}

	template <typename N, typename M, typename... VarArgs>
	static MethodBind *bind_method(N p_method_name, M p_method, VarArgs... p_args) {
		MethodBind *bind = create_method_bind(p_method);
		return _bind_method(bind, MethodDefinition(p_method_name), std::vector<Variant>{ Variant(p_args)... });
	}
	template <typename M, typename... VarArgs>
	static MethodBind *bind_method(MethodDefinition p_method_name, M p_method, VarArgs... p_args) {
		MethodBind *bind = create_method_bind(p_method);
		return _bind_method(bind, p_method_name, std::vector<Variant>{ Variant(p_args)... });
	}
	template <typename N, typename M, typename... VarArgs>
	static MethodBind *bind_static_method(StringName p_class, N p_method_name, M p_method, VarArgs... p_args) {
		MethodBind *bind = create_static_method_bind(p_method);
		bind->set_instance_class(p_class);
		return _bind_method(bind, MethodDefinition(p_method_name), std::vector<Variant>{ Variant(p_args)... });
	}
	template <typename M, typename... VarArgs>
	static MethodBind *bind_static_method(StringName p_class, MethodDefinition p_method_name, M p_method, VarArgs... p_args) {
		MethodBind *bind = create_static_method_bind(p_method);
		bind->set_instance_class(p_class);
		return _bind_method(bind, p_method_name, std::vector<Variant>{ Variant(p_args)... });
	}

	static void add_property_group(const StringName &p_class, const String &p_name, const String &p_prefix);
	static void add_property_subgroup(const StringName &p_class, const String &p_name, const String &p_prefix);
	static void add_property(const StringName &p_class, const PropertyInfo &p_pinfo, const StringName &p_setter, const StringName &p_getter, int p_index = -1);
	static void add_signal(const StringName &p_class, const MethodInfo &p_signal);
	static void bind_integer_constant(const StringName &p_class_name, const StringName &p_enum_name, const StringName &p_constant_name, GDExtensionInt p_constant_value, bool p_is_bitfield = false);

	// Called by the binding around each level's callbacks.
	static void initialize(ModuleInitializationLevel p_level);
	static void deinitialize(ModuleInitializationLevel p_level);

	// ---- engine side: the class registry as the engine sees it ----
	static bool class_exists(const StringName &p_class);
	static StringName get_parent_class(const StringName &p_class);
	static bool is_parent_class(const StringName &p_class, const StringName &p_inherits);
	static bool can_instantiate(const StringName &p_class);
	static Object *instantiate(const StringName &p_class);
	static const ClassRecord *get_class_record(const StringName &p_class);
	// Extension classes in the order they were registered.
	static std::vector<StringName> get_extension_classes();
	static MethodBind *get_method(const StringName &p_class, const StringName &p_method);
	static const PropertyEntry *get_property(const StringName &p_class, const StringName &p_property);
	static bool has_signal(const StringName &p_class, const StringName &p_signal);
	static bool has_virtual(const StringName &p_class, const StringName &p_method);
	static void _host_register_engine_class(const StringName &p_name, const StringName &p_parent, Object *(*p_creator)(), std::vector<const char *> p_signals);
	static void _host_bind_virtual(const StringName &p_class, const StringName &p_method);
	static ModuleInitializationLevel _host_current_level();
};

// Engine classes register themselves when the engine loads.
struct HOST_API _HostEngineClassRegistrar {
	_HostEngineClassRegistrar(const StringName &p_name, const StringName &p_parent, Object *(*p_creator)(), std::vector<const char *> p_signals) {
		ClassDB::_host_register_engine_class(p_name, p_parent, p_creator, std::move(p_signals));
	}
};

// The signal list is optional; a trailing null ends it.
#define GDHOST_REGISTER_ENGINE_CLASS(...) _GDHOST_REGISTER_CLASS(true, __VA_ARGS__, nullptr)
#define GDHOST_REGISTER_ABSTRACT_ENGINE_CLASS(...) _GDHOST_REGISTER_CLASS(false, __VA_ARGS__, nullptr)
#define _GDHOST_REGISTER_CLASS(m_creatable, m_class, ...)                                                                             \
	static ::godot::_HostEngineClassRegistrar _host_registrar_##m_class(m_class::get_class_static(), m_class::get_parent_class_static(), \
			::godot::_host_engine_creator<m_class, m_creatable>(), std::vector<const char *>{ __VA_ARGS__ })

template <typename T, bool creatable>
Object *(*_host_engine_creator())() {
	if constexpr (creatable) {
		return []() -> Object * { return memnew(T); };
	} else {
		return nullptr;
	}
}

} // namespace godot

#define GDREGISTER_CLASS(m_class) ::godot::ClassDB::register_class<m_class>();
#define GDREGISTER_VIRTUAL_CLASS(m_class) ::godot::ClassDB::register_class<m_class>(true);
#define GDREGISTER_ABSTRACT_CLASS(m_class) ::godot::ClassDB::register_abstract_class<m_class>();
#define GDREGISTER_INTERNAL_CLASS(m_class) ::godot::ClassDB::register_internal_class<m_class>();
#define GDREGISTER_RUNTIME_CLASS(m_class) ::godot::ClassDB::register_runtime_class<m_class>();

#define BIND_CONSTANT(m_constant) ::godot::ClassDB::bind_integer_constant(get_class_static(), "", #m_constant, m_constant);
#define BIND_ENUM_CONSTANT(m_constant) ::godot::ClassDB::bind_integer_constant(get_class_static(), "", #m_constant, m_constant);

#endif // GODOT_CLASS_DB_HPP
