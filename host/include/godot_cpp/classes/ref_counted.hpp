#ifndef GODOT_REF_COUNTED_HPP
#define GODOT_REF_COUNTED_HPP

#include <godot_cpp/classes/object.hpp>

namespace godot {

class HOST_API RefCounted : public Object {
	GDEXTENSION_CLASS(RefCounted, Object)

	int32_t _refcount = 0;

public:
	bool init_ref() { return reference(); }
	bool reference() {
		_refcount++;
		return true;
	}
	// True when the last reference went away and the object should be freed.
	bool unreference() { return --_refcount <= 0; }
	int32_t get_reference_count() const { return _refcount; }

	bool _host_is_ref_counted() const override { return true; }
};

} // namespace godot

#include <godot_cpp/classes/ref.hpp>

#endif // GODOT_REF_COUNTED_HPP
