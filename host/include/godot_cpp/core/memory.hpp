#ifndef GODOT_MEMORY_HPP
#define GODOT_MEMORY_HPP

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/error_macros.hpp>

#include <cstdlib>
#include <new>
#include <type_traits>

namespace godot {

class Wrapped;

class HOST_API Memory {
public:
	static void *alloc_static(size_t p_bytes, bool p_pad_align = false);
	static void *realloc_static(void *p_memory, size_t p_bytes, bool p_pad_align = false);
	static void free_static(void *p_ptr, bool p_pad_align = false);
};

// Engine objects go through these hooks so the engine sees every object that
// is created and destroyed.
HOST_API void _host_post_initialize(Wrapped *p_object);
HOST_API void _host_memdelete_wrapped(Wrapped *p_object);

template <typename T>
_FORCE_INLINE_ T *_post_initialize(T *p_obj) {
	if constexpr (std::is_base_of_v<Wrapped, T>) {
		_host_post_initialize(p_obj);
	}
	return p_obj;
}

#define memalloc(m_size) ::godot::Memory::alloc_static(m_size)
#define memrealloc(m_mem, m_size) ::godot::Memory::realloc_static(m_mem, m_size)
#define memfree(m_mem) ::godot::Memory::free_static(m_mem)

#define memnew(m_class) ::godot::_post_initialize(new m_class)

template <typename T>
void memdelete(T *p_class) {
	if (!p_class) {
		return;
	}
	if constexpr (std::is_base_of_v<Wrapped, T>) {
		_host_memdelete_wrapped(p_class);
	} else {
		delete p_class;
	}
}

template <typename T>
T *memnew_arr(size_t p_elements) {
	return new T[p_elements];
}

template <typename T>
void memdelete_arr(T *p_class) {
	delete[] p_class;
}

} // namespace godot

#endif // GODOT_MEMORY_HPP
