// Meshes: surfaces and their materials; the geometry is not modelled.
#include <godot_cpp/classes/mesh.hpp>

#include <godot_cpp/core/class_db.hpp>

namespace godot {

int32_t Mesh::get_surface_count() const {
	return (int32_t)_surface_materials.size();
}

Ref<Material> Mesh::surface_get_material(int32_t p_surface) const {
	ERR_FAIL_INDEX_V(p_surface, (int32_t)_surface_materials.size(), Ref<Material>());
	return _surface_materials[p_surface];
}

void Mesh::_host_add_surface(const Ref<Material> &p_material) {
	_surface_materials.push_back(p_material);
	emit_signal("changed");
}

void Mesh::_host_surface_set_material(int32_t p_surface, const Ref<Material> &p_material) {
	ERR_FAIL_INDEX(p_surface, (int32_t)_surface_materials.size());
	_surface_materials[p_surface] = p_material;
}

void Mesh::_host_copy_from(const Resource &p_from, bool p_subresources) {
	Resource::_host_copy_from(p_from, p_subresources);
	const Mesh *from = Object::cast_to<Mesh>(&p_from);
	ERR_FAIL_NULL(from);
	_surface_materials.clear();
	for (const Ref<Material> &m : from->_surface_materials) {
		_surface_materials.push_back((p_subresources && m.is_valid()) ? Ref<Material>(m->duplicate(true)) : m);
	}
}

GDHOST_REGISTER_ENGINE_CLASS(Mesh);

} // namespace godot
