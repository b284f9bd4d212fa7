#ifndef MOSSGLIMMER_BONE_COLLIDER_IK_HPP
#define MOSSGLIMMER_BONE_COLLIDER_IK_HPP

#include "bone_collider.hpp"

namespace godot {

class BoneColliderIK : public BoneCollider {
	GDCLASS(BoneColliderIK, BoneCollider)

protected:
	static void _bind_methods();

public:
	BoneColliderIK();
	~BoneColliderIK() override;

	void _process(double p_delta) override;
	void _physics_process(double p_delta) override;
	void _ready() override;
};

} // namespace godot

#endif // MOSSGLIMMER_BONE_COLLIDER_IK_HPP
