// 3-D nodes: local and global transforms and visibility, inherited through
// 3-D parents only.
#include <godot_cpp/classes/node3d.hpp>

#include <vector>

namespace godot {

Node3D *Node3D::get_parent_node_3d() const {
	if (_top_level) {
		return nullptr;
	}
	return Object::cast_to<Node3D>(get_parent());
}

void Node3D::set_transform(const Transform3D &p_local) {
	_local = p_local;
	_host_transform_changed();
}

Transform3D Node3D::get_transform() const {
	return _local;
}

Transform3D Node3D::get_global_transform() const {
	Node3D *parent = get_parent_node_3d();
	return parent ? parent->get_global_transform() * _local : _local;
}

void Node3D::set_global_transform(const Transform3D &p_global) {
	Node3D *parent = get_parent_node_3d();
	set_transform(parent ? parent->get_global_transform().affine_inverse() * p_global : p_global);
}

void Node3D::set_position(const Vector3 &p_position) {
	Transform3D t = _local;
	t.origin = p_position;
	set_transform(t);
}

Vector3 Node3D::get_position() const {
	return _local.origin;
}

void Node3D::set_global_position(const Vector3 &p_position) {
	Transform3D t = get_global_transform();
	t.origin = p_position;
	set_global_transform(t);
}

Vector3 Node3D::get_global_position() const {
	return get_global_transform().origin;
}

void Node3D::set_basis(const Basis &p_basis) {
	Transform3D t = _local;
	t.basis = p_basis;
	set_transform(t);
}

Basis Node3D::get_basis() const {
	return _local.basis;
}

void Node3D::set_global_basis(const Basis &p_basis) {
	Transform3D t = get_global_transform();
	t.basis = p_basis;
	set_global_transform(t);
}

Basis Node3D::get_global_basis() const {
	return get_global_transform().basis;
}

void Node3D::set_rotation(const Vector3 &p_euler_radians) {
	Vector3 scale = _local.basis.get_scale();
	set_basis(Basis::from_euler(p_euler_radians).scaled(scale));
}

Vector3 Node3D::get_rotation() const {
	return _local.basis.orthonormalized().get_euler();
}

void Node3D::set_scale(const Vector3 &p_scale) {
	Basis rotation = _local.basis.orthonormalized();
	set_basis(rotation.scaled(p_scale));
}

Vector3 Node3D::get_scale() const {
	return _local.basis.get_scale();
}

void Node3D::set_quaternion(const Quaternion &p_quaternion) {
	set_basis(Basis(p_quaternion, _local.basis.get_scale()));
}

Quaternion Node3D::get_quaternion() const {
	return _local.basis.get_rotation_quaternion();
}

void Node3D::translate(const Vector3 &p_offset) {
	set_transform(_local.translated_local(p_offset));
}

void Node3D::rotate(const Vector3 &p_axis, float p_angle) {
	Transform3D t = _local;
	t.basis = Basis(p_axis, p_angle) * t.basis;
	set_transform(t);
}

void Node3D::rotate_object_local(const Vector3 &p_axis, float p_angle) {
	Transform3D t = _local;
	t.basis = t.basis * Basis(p_axis, p_angle);
	set_transform(t);
}

void Node3D::global_translate(const Vector3 &p_offset) {
	Transform3D t = get_global_transform();
	t.origin = t.origin + p_offset;
	set_global_transform(t);
}

void Node3D::look_at(const Vector3 &p_target, const Vector3 &p_up, bool) {
	Transform3D t = get_global_transform();
	set_global_transform(t.looking_at(p_target, p_up));
}

Vector3 Node3D::to_local(const Vector3 &p_global_point) const {
	return get_global_transform().affine_inverse().xform(p_global_point);
}

Vector3 Node3D::to_global(const Vector3 &p_local_point) const {
	return get_global_transform().xform(p_local_point);
}

void Node3D::set_as_top_level(bool p_enable) {
	if (_top_level == p_enable) {
		return;
	}
	Transform3D g = get_global_transform();
	_top_level = p_enable;
	set_global_transform(g);
}

bool Node3D::is_set_as_top_level() const {
	return _top_level;
}

namespace {

// As the engine: the node hears of it, then each visible 3-D child, whose
// visibility in the tree changes with it. Receivers may free or move
// anything, this node included.
void propagate_visibility_changed(Node3D *p_node) {
	const uint64_t id = p_node->get_instance_id();
	p_node->notification(Node3D::NOTIFICATION_VISIBILITY_CHANGED);
	static const StringName *visibility_changed = new StringName("visibility_changed");
	p_node->emit_signal(*visibility_changed);
	if (ObjectDB::get_instance(id) != p_node) {
		return;
	}
	std::vector<uint64_t> children;
	for (int32_t i = 0; i < p_node->get_child_count(true); i++) {
		children.push_back(p_node->get_child(i, true)->get_instance_id());
	}
	for (uint64_t child_id : children) {
		Node3D *child = Object::cast_to<Node3D>(ObjectDB::get_instance(child_id));
		if (child && child->get_parent() == p_node && child->is_visible() && child->is_inside_tree()) {
			propagate_visibility_changed(child);
		}
		if (ObjectDB::get_instance(id) != p_node) {
			return;
		}
	}
}

} // namespace

void Node3D::set_visible(bool p_visible) {
	if (_visible == p_visible) {
		return;
	}
	_visible = p_visible;
	// A node outside the tree is told nothing, as in the engine.
	if (is_inside_tree()) {
		propagate_visibility_changed(this);
	}
}

bool Node3D::is_visible() const {
	return _visible;
}

bool Node3D::is_visible_in_tree() const {
	for (const Node3D *n = this; n; n = n->get_parent_node_3d()) {
		if (!n->_visible) {
			return false;
		}
	}
	return is_inside_tree();
}

void Node3D::show() {
	set_visible(true);
}

void Node3D::hide() {
	set_visible(false);
}

void Node3D::_host_reparent_keep_global(Node *p_new_parent) {
	Transform3D g = get_global_transform();
	Node::reparent(p_new_parent, false);
	set_global_transform(g);
}

GDHOST_REGISTER_ENGINE_CLASS(Node3D, "visibility_changed");

} // namespace godot
