#ifndef GODOT_REF_HPP
#define GODOT_REF_HPP

#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/host_unload_watch.hpp>
#include <godot_cpp/core/memory.hpp>

namespace godot {

template <typename T>
class Ref {
	T *reference = nullptr;

	void ref(const Ref &p_from) {
		if (p_from.reference == reference) {
			return;
		}
		unref();
		reference = p_from.reference;
		if (reference) {
			reference->reference();
		}
	}

	void ref_pointer(T *p_ref) {
		if (p_ref == reference) {
			return;
		}
		unref();
		reference = p_ref;
		if (reference) {
			reference->reference();
		}
	}

public:
	Ref() = default;
	Ref(const Ref &p_from) { ref(p_from); }
	Ref(T *p_reference) { ref_pointer(p_reference); }
	template <typename T_Other>
	Ref(const Ref<T_Other> &p_from) {
		ref_pointer(Object::cast_to<T>(p_from.ptr()));
	}
	Ref(const Variant &p_variant) {
		ref_pointer(Object::cast_to<T>(p_variant.get_validated_object()));
	}
	~Ref() { unref(); }

	Ref &operator=(const Ref &p_from) {
		ref(p_from);
		return *this;
	}
	template <typename T_Other>
	Ref &operator=(const Ref<T_Other> &p_from) {
		ref_pointer(Object::cast_to<T>(p_from.ptr()));
		return *this;
	}
	Ref &operator=(const Variant &p_variant) {
		ref_pointer(Object::cast_to<T>(p_variant.get_validated_object()));
		return *this;
	}

	T *ptr() const { return reference; }
	T *operator->() const { return reference; }
	T &operator*() const { return *reference; }
	operator Variant() const { return Variant(static_cast<const Object *>(reference)); }

	bool is_valid() const { return reference != nullptr; }
	bool is_null() const { return reference == nullptr; }

	bool operator==(const T *p_ptr) const { return reference == p_ptr; }
	bool operator!=(const T *p_ptr) const { return reference != p_ptr; }
	template <typename T_Other>
	bool operator==(const Ref<T_Other> &p_r) const { return (const void *)reference == (const void *)p_r.ptr(); }
	template <typename T_Other>
	bool operator!=(const Ref<T_Other> &p_r) const { return (const void *)reference != (const void *)p_r.ptr(); }
	bool operator<(const Ref &p_r) const { return reference < p_r.reference; }

	void instantiate() { ref_pointer(memnew(T)); }

	void unref() {
		if (reference) {
			_HostUnloadScope unloading(reference, "A reference");
			T *old = reference;
			reference = nullptr;
			if (old->unreference()) {
				memdelete(static_cast<RefCounted *>(old));
			}
		}
	}

	void reference_ptr(T *p_ref) { ref_pointer(p_ref); }
};

} // namespace godot

#endif // GODOT_REF_HPP
