// Shape resources.
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/classes/box_shape3d.hpp>
#include <godot_cpp/classes/shape3d.hpp>
#include <godot_cpp/classes/sphere_shape3d.hpp>

namespace godot {

void Shape3D::_host_copy_from(const Resource &p_from, bool p_subresources) {
	Resource::_host_copy_from(p_from, p_subresources);
	if (const Shape3D *from = Object::cast_to<Shape3D>(&p_from)) {
		_margin = from->_margin;
		_custom_solver_bias = from->_custom_solver_bias;
	}
}

void BoxShape3D::_host_copy_from(const Resource &p_from, bool p_subresources) {
	Shape3D::_host_copy_from(p_from, p_subresources);
	if (const BoxShape3D *from = Object::cast_to<BoxShape3D>(&p_from)) {
		_size = from->_size;
	}
}

void SphereShape3D::_host_copy_from(const Resource &p_from, bool p_subresources) {
	Shape3D::_host_copy_from(p_from, p_subresources);
	if (const SphereShape3D *from = Object::cast_to<SphereShape3D>(&p_from)) {
		_radius = from->_radius;
	}
}

GDHOST_REGISTER_ABSTRACT_ENGINE_CLASS(Shape3D);
GDHOST_REGISTER_ENGINE_CLASS(BoxShape3D);
GDHOST_REGISTER_ENGINE_CLASS(SphereShape3D);

} // namespace godot
