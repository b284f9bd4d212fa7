#include "bone_collider.hpp"

#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/core/object.hpp>

namespace godot {

BoneCollider::BoneCollider() {}

BoneCollider::~BoneCollider() {}

void BoneCollider::_bind_methods() {
	ClassDB::bind_method(D_METHOD("set_offset_transform", "p_offset_transform"), &BoneCollider::set_offset_transform);
	ClassDB::bind_method(D_METHOD("get_offset_transform"), &BoneCollider::get_offset_transform);
	ADD_PROPERTY(PropertyInfo(Variant::TRANSFORM3D, "offset_transform", PROPERTY_HINT_NONE, "", PROPERTY_USAGE_DEFAULT), "set_offset_transform", "get_offset_transform");
}

// A script may pass anything: an offset that is no number would put the
// shape, and so the player's body, nowhere.
void BoneCollider::set_offset_transform(Transform3D p_offset_transform) {
	ERR_FAIL_COND_MSG(!p_offset_transform.is_finite(), "A bone collider's offset must be a finite transform: the collider keeps its offset.");
	offset_transform = p_offset_transform;
}

Transform3D BoneCollider::get_offset_transform() const {
	return offset_transform;
}

String BoneCollider::attachment_name_for(const String &p_collider_name) {
	String name = p_collider_name.replace("_collider", "").replace("_outer", "").replace("_held_object", "") + "_bone_attach";
	// Colliders made for a held object carry the object's shape name before "__".
	int64_t cut = name.find("__");
	if (cut >= 0) {
		name = name.substr(cut + 2);
	}
	return name;
}

BoneAttachment3D *BoneCollider::get_live_attachment() {
	if (!bone_attachment) {
		return nullptr;
	}
	// The scene may free the attachment first; the pointer must not be used then.
	if (ObjectDB::get_instance(bone_attachment_id) == nullptr) {
		bone_attachment = nullptr;
		bone_attachment_id = 0;
	}
	return bone_attachment;
}

void BoneCollider::_ready() {
	if (Engine::get_singleton()->is_editor_hint()) {
		set_process(false);
		set_physics_process(false);
		return;
	}
	Node *parent = get_parent();
	if (!parent) {
		return;
	}
	Node *found = parent->find_child(attachment_name_for(get_name()), true, true);
	if (found) {
		bone_attachment = Object::cast_to<BoneAttachment3D>(found);
		bone_attachment_id = bone_attachment ? bone_attachment->get_instance_id() : 0;
	}
}

bool BoneCollider::is_neck() {
	StringName name = get_name();
	if (name != neck_checked_name) {
		neck_checked_name = name;
		neck = name.begins_with("neck_");
	}
	return neck;
}

void BoneCollider::_process(double) {
	follow_attachment();
}

// A pose that is no number (a bone's, or a scene's) leaves the collider where
// it is: as a shape of the player it would poison the player's body. An
// attachment out of the tree has no global pose to follow.
void BoneCollider::follow_attachment() {
	BoneAttachment3D *attachment = get_live_attachment();
	if (offset_transform != Transform3D()) {
		if (attachment && attachment->is_inside_tree()) {
			Transform3D pose = attachment->get_global_transform() * offset_transform;
			if (pose.is_finite()) {
				set_global_transform(pose);
			}
		}
		return;
	}
	if (!attachment || is_neck()) {
		return;
	}
	// A quarter turn about X: the collider's +Y runs along the bone's +Z.
	Transform3D quarter_turn;
	quarter_turn.basis.set_axis_angle(Vector3(1, 0, 0), 1.5707964f);
	Transform3D pose = attachment->get_transform() * quarter_turn;
	if (pose.is_finite()) {
		set_transform(pose);
	}
}

void BoneCollider::_physics_process(double) {}

} // namespace godot
