// Materials: only the parameters that the game sets or reads.
#include <godot_cpp/classes/base_material3d.hpp>
#include <godot_cpp/classes/material.hpp>
#include <godot_cpp/classes/standard_material3d.hpp>

#include <godot_cpp/core/class_db.hpp>

namespace godot {

void Material::set_render_priority(int32_t p_priority) {
	ERR_FAIL_COND(p_priority < RENDER_PRIORITY_MIN);
	ERR_FAIL_COND(p_priority > RENDER_PRIORITY_MAX);
	_render_priority = p_priority;
}

int32_t Material::get_render_priority() const {
	return _render_priority;
}

void Material::set_next_pass(const Ref<Material> &p_next_pass) {
	for (Ref<Material> m = p_next_pass; m.is_valid(); m = m->get_next_pass()) {
		ERR_FAIL_COND_MSG(m.ptr() == this, "Recursive loop detected in material next pass.");
	}
	_next_pass = p_next_pass;
}

Ref<Material> Material::get_next_pass() const {
	return _next_pass;
}

void Material::_host_copy_from(const Resource &p_from, bool p_subresources) {
	Resource::_host_copy_from(p_from, p_subresources);
	const Material *from = Object::cast_to<Material>(&p_from);
	ERR_FAIL_NULL(from);
	_render_priority = from->_render_priority;
	// A shallow copy shares its sub-resources.
	_next_pass = (p_subresources && from->_next_pass.is_valid()) ? Ref<Material>(from->_next_pass->duplicate(true)) : from->_next_pass;
}

void BaseMaterial3D::set_albedo(const Color &p_albedo) {
	_albedo = p_albedo;
}

Color BaseMaterial3D::get_albedo() const {
	return _albedo;
}

void BaseMaterial3D::set_uv1_offset(const Vector3 &p_offset) {
	_uv1_offset = p_offset;
}

Vector3 BaseMaterial3D::get_uv1_offset() const {
	return _uv1_offset;
}

void BaseMaterial3D::set_uv1_scale(const Vector3 &p_scale) {
	_uv1_scale = p_scale;
}

Vector3 BaseMaterial3D::get_uv1_scale() const {
	return _uv1_scale;
}

void BaseMaterial3D::_host_copy_from(const Resource &p_from, bool p_subresources) {
	Material::_host_copy_from(p_from, p_subresources);
	const BaseMaterial3D *from = Object::cast_to<BaseMaterial3D>(&p_from);
	ERR_FAIL_NULL(from);
	_albedo = from->_albedo;
	_uv1_offset = from->_uv1_offset;
	_uv1_scale = from->_uv1_scale;
}

bool BaseMaterial3D::_host_set(const StringName &p_property, const Variant &p_value) {
	if (p_property == StringName("albedo_color")) {
		set_albedo(p_value);
	} else if (p_property == StringName("uv1_offset")) {
		set_uv1_offset(p_value);
	} else if (p_property == StringName("uv1_scale")) {
		set_uv1_scale(p_value);
	} else {
		return Material::_host_set(p_property, p_value);
	}
	return true;
}

bool BaseMaterial3D::_host_get(const StringName &p_property, Variant &r_value) const {
	if (p_property == StringName("albedo_color")) {
		r_value = _albedo;
	} else if (p_property == StringName("uv1_offset")) {
		r_value = _uv1_offset;
	} else if (p_property == StringName("uv1_scale")) {
		r_value = _uv1_scale;
	} else {
		return Material::_host_get(p_property, r_value);
	}
	return true;
}

GDHOST_REGISTER_ABSTRACT_ENGINE_CLASS(Material);
GDHOST_REGISTER_ABSTRACT_ENGINE_CLASS(BaseMaterial3D);
GDHOST_REGISTER_ENGINE_CLASS(StandardMaterial3D);

} // namespace godot
