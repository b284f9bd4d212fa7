#ifndef GODOT_COLLISIONOBJECT3D_HPP
#define GODOT_COLLISIONOBJECT3D_HPP

#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/variant/rid.hpp>

#include <map>
#include <vector>

namespace godot {

class Shape3D;

class HOST_API CollisionObject3D : public Node3D {
	GDEXTENSION_CLASS(CollisionObject3D, Node3D)

public:
	enum DisableMode {
		DISABLE_MODE_REMOVE = 0,
		DISABLE_MODE_MAKE_STATIC = 1,
		DISABLE_MODE_KEEP_ACTIVE = 2,
	};

	CollisionObject3D();
	~CollisionObject3D() override;

	RID get_rid() const { return _rid; }

	void set_collision_layer(uint32_t p_layer) { _collision_layer = p_layer; }
	uint32_t get_collision_layer() const { return _collision_layer; }
	void set_collision_mask(uint32_t p_mask) { _collision_mask = p_mask; }
	uint32_t get_collision_mask() const { return _collision_mask; }
	void set_collision_layer_value(int32_t p_layer_number, bool p_value);
	bool get_collision_layer_value(int32_t p_layer_number) const;
	void set_collision_mask_value(int32_t p_layer_number, bool p_value);
	bool get_collision_mask_value(int32_t p_layer_number) const;

	void set_disable_mode(CollisionObject3D::DisableMode p_mode) { _disable_mode = p_mode; }
	CollisionObject3D::DisableMode get_disable_mode() const { return _disable_mode; }

	void set_ray_pickable(bool p_ray_pickable) { _ray_pickable = p_ray_pickable; }
	bool is_ray_pickable() const { return _ray_pickable; }

	// Shape owners: each owner (a CollisionShape3D child, as a rule) holds
	// shapes; shape indexes count every owner's shapes in owner order.
	uint32_t create_shape_owner(Object *p_owner);
	void remove_shape_owner(uint32_t p_owner_id);
	void shape_owner_set_transform(uint32_t p_owner_id, const Transform3D &p_transform);
	Transform3D shape_owner_get_transform(uint32_t p_owner_id) const;
	Object *shape_owner_get_owner(uint32_t p_owner_id) const;
	void shape_owner_set_disabled(uint32_t p_owner_id, bool p_disabled);
	bool is_shape_owner_disabled(uint32_t p_owner_id) const;
	void shape_owner_add_shape(uint32_t p_owner_id, const Ref<Shape3D> &p_shape);
	int32_t shape_owner_get_shape_count(uint32_t p_owner_id) const;
	Ref<Shape3D> shape_owner_get_shape(uint32_t p_owner_id, int32_t p_shape_id) const;
	int32_t shape_owner_get_shape_index(uint32_t p_owner_id, int32_t p_shape_id) const;
	void shape_owner_remove_shape(uint32_t p_owner_id, int32_t p_shape_id);
	void shape_owner_clear_shapes(uint32_t p_owner_id);
	uint32_t shape_find_owner(int32_t p_shape_index) const;

	// ---- engine side ----
	void _host_notification(int p_what) override;
	// Whether the body takes part in the physics world: inside the tree and
	// not removed by a disabled process mode with DISABLE_MODE_REMOVE.
	bool _host_in_world() const;
	// Whether its processing is disabled (its own or an inherited mode).
	bool _host_is_process_disabled() const;
	int32_t _host_shape_count() const { return _total_subshapes; }

private:
	struct ShapeEntry {
		Ref<Shape3D> shape;
		int32_t index = 0;
	};
	struct OwnerData {
		uint64_t owner_id = 0;
		Transform3D xform;
		std::vector<ShapeEntry> shapes;
		bool disabled = false;
	};

	RID _rid;
	uint32_t _collision_layer = 1;
	uint32_t _collision_mask = 1;
	DisableMode _disable_mode = DISABLE_MODE_REMOVE;
	bool _ray_pickable = true;
	std::map<uint32_t, OwnerData> _owners;
	int32_t _total_subshapes = 0;
};

} // namespace godot

#endif // GODOT_COLLISIONOBJECT3D_HPP
