#ifndef MOSSGLIMMER_BONE_COLLIDER_HPP
#define MOSSGLIMMER_BONE_COLLIDER_HPP

#include <godot_cpp/classes/collision_shape3d.hpp>

namespace godot {

class BoneCollider : public CollisionShape3D {
	GDCLASS(BoneCollider, CollisionShape3D)

protected:
	static void _bind_methods();

public:
	BoneCollider();
	~BoneCollider() override;

	void _process(double p_delta) override;
	void _physics_process(double p_delta) override;
	void _ready() override;
};

} // namespace godot

#endif // MOSSGLIMMER_BONE_COLLIDER_HPP
