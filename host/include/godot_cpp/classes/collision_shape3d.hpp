#ifndef GODOT_COLLISIONSHAPE3D_HPP
#define GODOT_COLLISIONSHAPE3D_HPP

#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/ref.hpp>

namespace godot {

class CollisionObject3D;
class Shape3D;

// Gives its parent collision object one shape owner holding its shape.
class HOST_API CollisionShape3D : public Node3D {
	GDEXTENSION_CLASS(CollisionShape3D, Node3D)

public:
	CollisionShape3D();
	~CollisionShape3D() override;

	void set_shape(const Ref<Shape3D> &p_shape);
	Ref<Shape3D> get_shape() const;
	void set_disabled(bool p_disabled);
	bool is_disabled() const { return _disabled; }

	// ---- engine side ----
	void _host_notification(int p_what) override;
	// The owner id in the parent collision object, or UINT32_MAX when the
	// parent is none.
	uint32_t _host_owner_id() const { return _collision_object ? _owner_id : UINT32_MAX; }

protected:
	void _host_transform_changed() override;

private:
	Ref<Shape3D> _shape;
	bool _disabled = false;
	CollisionObject3D *_collision_object = nullptr;
	uint32_t _owner_id = 0;
};

} // namespace godot

#endif // GODOT_COLLISIONSHAPE3D_HPP
