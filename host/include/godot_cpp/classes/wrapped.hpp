#ifndef GODOT_WRAPPED_HPP
#define GODOT_WRAPPED_HPP

#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/variant/string_name.hpp>

namespace godot {

class ClassDB;

// The interned name of a class, kept for the life of the process. Class name
// accessors hold only a pointer to it: a library holding the name itself
// would release it at unload, after the engine shut the binding down.
HOST_API const StringName &_host_class_name(const char *p_class);

// Root of every engine and extension class. In this engine the C++ object is
// the engine object itself, so there is no separate owner pointer.
class HOST_API Wrapped {
	friend class ClassDB;

protected:
	static constexpr bool _is_extension_class() { return false; }
	static void (*_get_bind_methods())() { return nullptr; }
	static void _bind_methods() {}

	template <typename T, typename B>
	static void register_virtuals() {}

public:
	static void initialize_class() {}
	static const StringName &get_class_static() { return _host_class_name(""); }
	static const StringName &get_parent_class_static() { return get_class_static(); }

	// The most derived registered class name of this object.
	virtual const StringName &_host_get_class_name() const { return get_class_static(); }

	Wrapped() = default;
	Wrapped(const Wrapped &) = delete;
	Wrapped &operator=(const Wrapped &) = delete;
	virtual ~Wrapped() = default;
};

HOST_API void _host_bind_virtual(const StringName &p_class, const StringName &p_method);

} // namespace godot

// Engine classes of the in-process engine.
#define GDEXTENSION_CLASS(m_class, m_inherits)                                                        \
private:                                                                                              \
	friend class ::godot::ClassDB;                                                                    \
                                                                                                      \
protected:                                                                                            \
	static void (*_get_bind_methods())() { return nullptr; }                                         \
                                                                                                      \
public:                                                                                               \
	typedef m_class self_type;                                                                        \
	typedef m_inherits parent_type;                                                                   \
	static void initialize_class() {}                                                                 \
	/* Hidden: each library keeps its own pointer rather than one shared (unique) */                  \
	/* symbol, which would keep a library loaded after dlclose. */                                    \
	__attribute__((visibility("hidden"))) static const ::godot::StringName &get_class_static() {     \
		static const ::godot::StringName *const string_name = &::godot::_host_class_name(#m_class);   \
		return *string_name;                                                                          \
	}                                                                                                 \
	static const ::godot::StringName &get_parent_class_static() { return m_inherits::get_class_static(); } \
	const ::godot::StringName &_host_get_class_name() const override { return m_class::get_class_static(); } \
                                                                                                      \
private:

// Extension classes: registers methods once and binds the engine virtuals
// that the class overrides.
#define GDCLASS(m_class, m_inherits)                                                                  \
private:                                                                                              \
	void operator=(const m_class &) {}                                                                \
	friend class ::godot::ClassDB;                                                                    \
	friend class ::godot::Wrapped;                                                                    \
                                                                                                      \
protected:                                                                                            \
	static constexpr bool _is_extension_class() { return true; }                                     \
	static void (*_get_bind_methods())() { return &m_class::_bind_methods; }                         \
	template <typename T, typename B>                                                                 \
	static void register_virtuals() {                                                                 \
		m_inherits::template register_virtuals<T, B>();                                               \
	}                                                                                                 \
                                                                                                      \
public:                                                                                               \
	typedef m_class self_type;                                                                        \
	typedef m_inherits parent_type;                                                                   \
	static bool &_host_initialized() {                                                                \
		static bool initialized = false;                                                              \
		return initialized;                                                                           \
	}                                                                                                 \
	static void initialize_class() {                                                                  \
		if (_host_initialized()) {                                                                    \
			return;                                                                                   \
		}                                                                                             \
		m_inherits::initialize_class();                                                               \
		if (m_class::_get_bind_methods() != m_inherits::_get_bind_methods()) {                        \
			_bind_methods();                                                                          \
			m_inherits::template register_virtuals<m_class, m_inherits>();                            \
		}                                                                                             \
		_host_initialized() = true;                                                                   \
	}                                                                                                 \
	static const ::godot::StringName &get_class_static() {                                            \
		static const ::godot::StringName *const string_name = &::godot::_host_class_name(#m_class);   \
		return *string_name;                                                                          \
	}                                                                                                 \
	static const ::godot::StringName &get_parent_class_static() { return m_inherits::get_class_static(); } \
	const ::godot::StringName &_host_get_class_name() const override { return m_class::get_class_static(); } \
                                                                                                      \
public:

// Binds an engine virtual of class m_class when T overrides it.
#define GDHOST_BIND_VIRTUAL(m_base, m_name)                                                            \
	if constexpr (!std::is_same_v<decltype(&B::m_name), decltype(&T::m_name)>) {                      \
		::godot::_host_bind_virtual(T::get_class_static(), #m_name);                                  \
	}

#endif // GODOT_WRAPPED_HPP
