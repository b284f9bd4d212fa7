// Geometry and mesh instances: which materials a mesh is drawn with.
#include <godot_cpp/classes/mesh.hpp>
#include <godot_cpp/classes/material.hpp>
#include <godot_cpp/classes/geometry_instance3d.hpp>
#include <godot_cpp/classes/mesh_instance3d.hpp>

#include <godot_cpp/core/class_db.hpp>

namespace godot {

GeometryInstance3D::GeometryInstance3D() = default;

GeometryInstance3D::~GeometryInstance3D() = default;

MeshInstance3D::MeshInstance3D() = default;

MeshInstance3D::~MeshInstance3D() = default;

void GeometryInstance3D::set_material_override(const Ref<Material> &p_material) {
	_material_override = p_material;
}

Ref<Material> GeometryInstance3D::get_material_override() const {
	return _material_override;
}

bool GeometryInstance3D::_host_set(const StringName &p_property, const Variant &p_value) {
	if (p_property == StringName("material_override")) {
		set_material_override(Ref<Material>(p_value));
		return true;
	}
	return VisualInstance3D::_host_set(p_property, p_value);
}

bool GeometryInstance3D::_host_get(const StringName &p_property, Variant &r_value) const {
	if (p_property == StringName("material_override")) {
		r_value = _material_override;
		return true;
	}
	return VisualInstance3D::_host_get(p_property, r_value);
}

void MeshInstance3D::set_mesh(const Ref<Mesh> &p_mesh) {
	_mesh = p_mesh;
	// One override slot per surface; the ones that remain keep their material.
	_surface_override_materials.resize(_mesh.is_valid() ? (size_t)_mesh->get_surface_count() : 0);
}

Ref<Mesh> MeshInstance3D::get_mesh() const {
	return _mesh;
}

int32_t MeshInstance3D::get_surface_override_material_count() const {
	return (int32_t)_surface_override_materials.size();
}

void MeshInstance3D::set_surface_override_material(int32_t p_surface, const Ref<Material> &p_material) {
	ERR_FAIL_INDEX(p_surface, (int32_t)_surface_override_materials.size());
	_surface_override_materials[p_surface] = p_material;
}

Ref<Material> MeshInstance3D::get_surface_override_material(int32_t p_surface) const {
	ERR_FAIL_INDEX_V_MSG(p_surface, (int32_t)_surface_override_materials.size(), Ref<Material>(), "Surface override material index out of range.");
	return _surface_override_materials[p_surface];
}

Ref<Material> MeshInstance3D::get_active_material(int32_t p_surface) const {
	Ref<Material> mat = get_material_override();
	if (mat.is_valid()) {
		return mat;
	}
	if (p_surface >= 0 && p_surface < (int32_t)_surface_override_materials.size()) {
		mat = _surface_override_materials[p_surface];
		if (mat.is_valid()) {
			return mat;
		}
	}
	if (_mesh.is_valid() && p_surface >= 0 && p_surface < _mesh->get_surface_count()) {
		return _mesh->surface_get_material(p_surface);
	}
	return Ref<Material>();
}

bool MeshInstance3D::_host_set(const StringName &p_property, const Variant &p_value) {
	if (p_property == StringName("mesh")) {
		set_mesh(Ref<Mesh>(p_value));
		return true;
	}
	return GeometryInstance3D::_host_set(p_property, p_value);
}

bool MeshInstance3D::_host_get(const StringName &p_property, Variant &r_value) const {
	if (p_property == StringName("mesh")) {
		r_value = _mesh;
		return true;
	}
	return GeometryInstance3D::_host_get(p_property, r_value);
}

} // namespace godot
