#ifndef MOSSGLIMMER_BONE_COLLIDER_HPP
#define MOSSGLIMMER_BONE_COLLIDER_HPP

#include <godot_cpp/classes/bone_attachment3d.hpp>
#include <godot_cpp/classes/collision_shape3d.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/transform3d.hpp>

namespace godot {

// A collision shape that follows the bone attachment named after it.
class BoneCollider : public CollisionShape3D {
	GDCLASS(BoneCollider, CollisionShape3D)

protected:
	static void _bind_methods();

	BoneAttachment3D *bone_attachment = nullptr;
	Transform3D offset_transform;

	// The attachment, or null once it has been freed.
	BoneAttachment3D *get_live_attachment();

private:
	uint64_t bone_attachment_id = 0;
	// Whether the name begins with "neck_", worked out again only when the
	// name changes, so that frames match no pattern.
	StringName neck_checked_name;
	bool neck = false;

	bool is_neck();

public:
	BoneCollider();
	~BoneCollider() override;

	void _process(double p_delta) override;
	void _physics_process(double p_delta) override;
	void _ready() override;

	// Puts the collider where the follow rule says, as each frame does.
	void follow_attachment();

	void set_offset_transform(Transform3D p_offset_transform);
	Transform3D get_offset_transform() const;

	// The attachment name that a collider of this name follows.
	static String attachment_name_for(const String &p_collider_name);
};

} // namespace godot

#endif // MOSSGLIMMER_BONE_COLLIDER_HPP
