// Collision shapes: one shape owner in the parent collision object.
#include <godot_cpp/classes/shape3d.hpp>
#include <godot_cpp/classes/collision_shape3d.hpp>

#include <godot_cpp/classes/collision_object3d.hpp>

namespace godot {

CollisionShape3D::CollisionShape3D() = default;

CollisionShape3D::~CollisionShape3D() = default;

Ref<Shape3D> CollisionShape3D::get_shape() const {
	return _shape;
}

void CollisionShape3D::set_shape(const Ref<Shape3D> &p_shape) {
	if (p_shape == _shape) {
		return;
	}
	_shape = p_shape;
	if (_collision_object) {
		_collision_object->shape_owner_clear_shapes(_owner_id);
		if (_shape.is_valid()) {
			_collision_object->shape_owner_add_shape(_owner_id, _shape);
		}
	}
}

void CollisionShape3D::set_disabled(bool p_disabled) {
	_disabled = p_disabled;
	if (_collision_object) {
		_collision_object->shape_owner_set_disabled(_owner_id, p_disabled);
	}
}

void CollisionShape3D::_host_transform_changed() {
	if (_collision_object) {
		_collision_object->shape_owner_set_transform(_owner_id, get_transform());
	}
}

void CollisionShape3D::_host_notification(int p_what) {
	Node3D::_host_notification(p_what);
	switch (p_what) {
		case NOTIFICATION_PARENTED:
			_collision_object = Object::cast_to<CollisionObject3D>(get_parent());
			if (_collision_object) {
				_owner_id = _collision_object->create_shape_owner(this);
				if (_shape.is_valid()) {
					_collision_object->shape_owner_add_shape(_owner_id, _shape);
				}
				_collision_object->shape_owner_set_transform(_owner_id, get_transform());
				_collision_object->shape_owner_set_disabled(_owner_id, _disabled);
			}
			break;
		case NOTIFICATION_UNPARENTED:
			if (_collision_object) {
				_collision_object->remove_shape_owner(_owner_id);
			}
			_owner_id = 0;
			_collision_object = nullptr;
			break;
		default:
			break;
	}
}

} // namespace godot
