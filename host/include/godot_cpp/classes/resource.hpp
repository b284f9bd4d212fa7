#ifndef GODOT_RESOURCE_HPP
#define GODOT_RESOURCE_HPP

#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/ref_counted.hpp>

namespace godot {

class HOST_API Resource : public RefCounted {
	GDEXTENSION_CLASS(Resource, RefCounted)

public:
	void set_path(const String &p_path);
	String get_path() const;
	void set_name(const String &p_name);
	String get_name() const;
	void set_local_to_scene(bool p_enable);
	bool is_local_to_scene() const;

	Ref<Resource> duplicate(bool p_subresources = false) const;

	// ---- engine side ----
	// Engine resource classes copy their own data here; the base copies the name.
	virtual void _host_copy_from(const Resource &p_from, bool p_subresources);

private:
	String _path;
	String _name;
	bool _local_to_scene = false;
};

} // namespace godot

#endif // GODOT_RESOURCE_HPP
