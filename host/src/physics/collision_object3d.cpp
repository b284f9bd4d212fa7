// Collision objects: shape owners, layers and membership in the physics world.
#include <godot_cpp/classes/shape3d.hpp>
#include <godot_cpp/classes/collision_object3d.hpp>

#include <godot_cpp/core/object.hpp>
#include <godot_host/physics_world.hpp>

namespace godot {

namespace {
uint64_t &rid_counter() {
	static uint64_t counter = 1;
	return counter;
}
} // namespace

CollisionObject3D::CollisionObject3D() {
	_rid = RID::_host_from_id(rid_counter()++);
}

CollisionObject3D::~CollisionObject3D() = default;

namespace {

// Layers and masks number their 32 bits from 1.
bool valid_layer(int32_t p_layer_number) {
	ERR_FAIL_COND_V_MSG(p_layer_number < 1 || p_layer_number > 32, false, "Collision layer number must be between 1 and 32 inclusive.");
	return true;
}

void set_layer_bit(uint32_t &r_bits, int32_t p_layer_number, bool p_value) {
	if (valid_layer(p_layer_number)) {
		uint32_t bit = 1u << (p_layer_number - 1);
		r_bits = p_value ? (r_bits | bit) : (r_bits & ~bit);
	}
}

bool layer_bit(uint32_t p_bits, int32_t p_layer_number) {
	return valid_layer(p_layer_number) && (p_bits & (1u << (p_layer_number - 1)));
}

} // namespace

void CollisionObject3D::set_collision_layer_value(int32_t p_layer_number, bool p_value) {
	set_layer_bit(_collision_layer, p_layer_number, p_value);
}

bool CollisionObject3D::get_collision_layer_value(int32_t p_layer_number) const {
	return layer_bit(_collision_layer, p_layer_number);
}

void CollisionObject3D::set_collision_mask_value(int32_t p_layer_number, bool p_value) {
	set_layer_bit(_collision_mask, p_layer_number, p_value);
}

bool CollisionObject3D::get_collision_mask_value(int32_t p_layer_number) const {
	return layer_bit(_collision_mask, p_layer_number);
}

uint32_t CollisionObject3D::create_shape_owner(Object *p_owner) {
	// Ids grow from the highest one in use, as the engine hands them out.
	uint32_t id = _owners.empty() ? 0 : _owners.rbegin()->first + 1;
	OwnerData data;
	data.owner_id = p_owner ? p_owner->get_instance_id() : 0;
	_owners[id] = std::move(data);
	return id;
}

void CollisionObject3D::remove_shape_owner(uint32_t p_owner_id) {
	ERR_FAIL_COND(!_owners.count(p_owner_id));
	shape_owner_clear_shapes(p_owner_id);
	_owners.erase(p_owner_id);
}

void CollisionObject3D::shape_owner_set_transform(uint32_t p_owner_id, const Transform3D &p_transform) {
	auto it = _owners.find(p_owner_id);
	ERR_FAIL_COND(it == _owners.end());
	it->second.xform = p_transform;
}

Transform3D CollisionObject3D::shape_owner_get_transform(uint32_t p_owner_id) const {
	auto it = _owners.find(p_owner_id);
	ERR_FAIL_COND_V(it == _owners.end(), Transform3D());
	return it->second.xform;
}

Object *CollisionObject3D::shape_owner_get_owner(uint32_t p_owner_id) const {
	auto it = _owners.find(p_owner_id);
	ERR_FAIL_COND_V(it == _owners.end(), nullptr);
	return ObjectDB::get_instance(it->second.owner_id);
}

void CollisionObject3D::shape_owner_set_disabled(uint32_t p_owner_id, bool p_disabled) {
	auto it = _owners.find(p_owner_id);
	ERR_FAIL_COND(it == _owners.end());
	it->second.disabled = p_disabled;
}

bool CollisionObject3D::is_shape_owner_disabled(uint32_t p_owner_id) const {
	auto it = _owners.find(p_owner_id);
	ERR_FAIL_COND_V(it == _owners.end(), false);
	return it->second.disabled;
}

void CollisionObject3D::shape_owner_add_shape(uint32_t p_owner_id, const Ref<Shape3D> &p_shape) {
	auto it = _owners.find(p_owner_id);
	ERR_FAIL_COND(it == _owners.end());
	ERR_FAIL_COND(p_shape.is_null());
	ShapeEntry entry;
	entry.shape = p_shape;
	entry.index = _total_subshapes++;
	it->second.shapes.push_back(entry);
}

int32_t CollisionObject3D::shape_owner_get_shape_count(uint32_t p_owner_id) const {
	auto it = _owners.find(p_owner_id);
	ERR_FAIL_COND_V(it == _owners.end(), 0);
	return (int32_t)it->second.shapes.size();
}

Ref<Shape3D> CollisionObject3D::shape_owner_get_shape(uint32_t p_owner_id, int32_t p_shape_id) const {
	auto it = _owners.find(p_owner_id);
	ERR_FAIL_COND_V(it == _owners.end(), Ref<Shape3D>());
	ERR_FAIL_INDEX_V(p_shape_id, (int32_t)it->second.shapes.size(), Ref<Shape3D>());
	return it->second.shapes[(size_t)p_shape_id].shape;
}

int32_t CollisionObject3D::shape_owner_get_shape_index(uint32_t p_owner_id, int32_t p_shape_id) const {
	auto it = _owners.find(p_owner_id);
	ERR_FAIL_COND_V(it == _owners.end(), -1);
	ERR_FAIL_INDEX_V(p_shape_id, (int32_t)it->second.shapes.size(), -1);
	return it->second.shapes[(size_t)p_shape_id].index;
}

void CollisionObject3D::shape_owner_remove_shape(uint32_t p_owner_id, int32_t p_shape_id) {
	auto it = _owners.find(p_owner_id);
	ERR_FAIL_COND(it == _owners.end());
	ERR_FAIL_INDEX(p_shape_id, (int32_t)it->second.shapes.size());
	int32_t index = it->second.shapes[(size_t)p_shape_id].index;
	it->second.shapes.erase(it->second.shapes.begin() + p_shape_id);
	// The body's shape list closes the gap.
	for (auto &owner : _owners) {
		for (ShapeEntry &e : owner.second.shapes) {
			if (e.index > index) {
				e.index--;
			}
		}
	}
	_total_subshapes--;
	godot_host::PhysicsWorld::_shape_index_removed(this, index);
}

void CollisionObject3D::shape_owner_clear_shapes(uint32_t p_owner_id) {
	auto it = _owners.find(p_owner_id);
	ERR_FAIL_COND(it == _owners.end());
	while (!it->second.shapes.empty()) {
		shape_owner_remove_shape(p_owner_id, 0);
	}
}

uint32_t CollisionObject3D::shape_find_owner(int32_t p_shape_index) const {
	ERR_FAIL_INDEX_V(p_shape_index, _total_subshapes, UINT32_MAX);
	for (const auto &owner : _owners) {
		for (const ShapeEntry &e : owner.second.shapes) {
			if (e.index == p_shape_index) {
				return owner.first;
			}
		}
	}
	return UINT32_MAX;
}

bool CollisionObject3D::_host_is_process_disabled() const {
	for (const Node *n = this; n; n = n->get_parent()) {
		Node::ProcessMode mode = n->get_process_mode();
		if (mode != PROCESS_MODE_INHERIT) {
			return mode == PROCESS_MODE_DISABLED;
		}
	}
	return false;
}

bool CollisionObject3D::_host_in_world() const {
	if (!is_inside_tree()) {
		return false;
	}
	return !(_disable_mode == DISABLE_MODE_REMOVE && _host_is_process_disabled());
}

void CollisionObject3D::_host_notification(int p_what) {
	Node3D::_host_notification(p_what);
	switch (p_what) {
		case NOTIFICATION_ENTER_TREE:
			godot_host::PhysicsWorld::_body_entered_tree(this);
			break;
		case NOTIFICATION_EXIT_TREE:
			godot_host::PhysicsWorld::_body_exiting_tree(this);
			break;
		default:
			break;
	}
}

} // namespace godot
