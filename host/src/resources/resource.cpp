// Resources: reference-counted data with a path, duplicated by copying.
#include <godot_cpp/classes/resource.hpp>

#include <godot_cpp/core/class_db.hpp>

namespace godot {

void Resource::set_path(const String &p_path) {
	_path = p_path;
}

String Resource::get_path() const {
	return _path;
}

void Resource::set_name(const String &p_name) {
	_name = p_name;
}

String Resource::get_name() const {
	return _name;
}

void Resource::set_local_to_scene(bool p_enable) {
	_local_to_scene = p_enable;
}

bool Resource::is_local_to_scene() const {
	return _local_to_scene;
}

Ref<Resource> Resource::duplicate(bool p_subresources) const {
	Object *copy = ClassDB::instantiate(_host_get_class_name());
	Ref<Resource> r(Object::cast_to<Resource>(copy));
	ERR_FAIL_COND_V_MSG(r.is_null(), Ref<Resource>(), "Resource of class '" + get_class() + "' can't be duplicated.");
	r->_host_copy_from(*this, p_subresources);
	return r;
}

void Resource::_host_copy_from(const Resource &p_from, bool) {
	_name = p_from._name;
	_local_to_scene = p_from._local_to_scene;
	// A copy has no path: it is not the cached resource.
}

GDHOST_REGISTER_ENGINE_CLASS(Resource, "changed", "setup_local_to_scene_requested");

} // namespace godot
