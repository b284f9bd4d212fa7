#ifndef MOSSGLIMMER_PLAYER_HPP
#define MOSSGLIMMER_PLAYER_HPP

#include "bone_collider_ik.hpp"
#include "touch_index.hpp"

#include <godot_cpp/classes/animation_player.hpp>
#include <godot_cpp/classes/animation_tree.hpp>
#include <godot_cpp/classes/bone_attachment3d.hpp>
#include <godot_cpp/classes/physics_direct_body_state3d.hpp>
#include <godot_cpp/classes/reg_ex.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/skeleton3d.hpp>
#include <godot_cpp/classes/skeleton_ik3d.hpp>
#include <godot_cpp/classes/timer.hpp>
#include <godot_cpp/templates/vector.hpp>
#include <godot_cpp/variant/rid.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/vector2.hpp>

#include <cstdint>
#include <unordered_map>

namespace godot {

// The player's body: flight, finger animation, grabbing and pushing.
class Player : public RigidBody3D {
	GDCLASS(Player, RigidBody3D)

public:
	// A rigid body that hand colliders touch or have touched.
	struct HandTouchingObject {
		RigidBody3D *object = nullptr;
		uint32_t touch_mask = 0; // inner hand shapes touching it now
		uint32_t outer_mask = 0; // "_outer" hand shapes touching it now
		int64_t touched_at = 0; // wall-clock seconds when both masks fell to 0; 0 while touched
		uint64_t object_id = 0; // tells whether `object` still exists
	};

	// A child of a held object that the grab moved onto the hand, with what
	// it had in the object, so that the release gives it back as it was.
	struct MovedChild {
		uint64_t id = 0;
		int64_t index = 0; // its place among the object's children
		Transform3D local_in_object;
		Transform3D local_on_hand; // as the move left it, once on_hand
		bool on_hand = false;
		// Node and owner ids, in pairs, of the owners in its branch that the
		// move took away (an owner must stay an ancestor).
		Vector<uint64_t> lost_owner_ids;
	};

	// What one hand holds.
	struct HeldObject {
		RigidBody3D *object = nullptr;
		Transform3D offset_transform; // the object relative to the hand's bone attachment at the grab
		Vector<BoneColliderIK *> colliders; // copies of its shapes, children of the player
		uint64_t object_id = 0;
		Vector<uint64_t> collider_ids;
		float added_mass = 0.0f; // what the grab added to the player's mass
		Vector<MovedChild> moved_children; // in the object's child order
		// The object's own modes before the grab.
		Node::ProcessMode process_mode = Node::PROCESS_MODE_INHERIT;
		CollisionObject3D::DisableMode disable_mode = CollisionObject3D::DISABLE_MODE_REMOVE;
		bool processing = false;
		bool physics_processing = false;
	};

	// What a hand shape's name says, worked out when the shape or its name
	// is new and reused while the name stays the same.
	struct HandShapeInfo {
		StringName name; // the name this was worked out for
		bool follows_rule = false; // the hand-collider naming rule matches
		uint32_t touch_bit = 0; // 0 when the part owns no bit
		bool outer = false;
		int hand = 0; // 0 left ("l"), 1 right
		bool held_object = false; // "*_held_object*": a held object's copy pushes with its mass
	};


protected:
	static void _bind_methods();

public:
	Skeleton3D *skeleton = nullptr;
	SkeletonIK3D *left_hand_ik = nullptr;
	SkeletonIK3D *right_hand_ik = nullptr;
	SkeletonIK3D *head_ik = nullptr;
	Vector<BoneAttachment3D *> hand_attachments;
	AnimationPlayer *animation_player = nullptr;
	AnimationTree *animation_tree = nullptr;
	float thrust_input = 0.0f;
	float pitch_input = 0.0f;
	float yaw_input = 0.0f;
	float roll_input = 0.0f;
	float finger_targets[2][5] = {};
	float hand_closure[2] = {};
	Vector<HandTouchingObject> touching_objects;
	HeldObject held_objects[2];
	Timer *cleanup_timer = nullptr;
	Ref<RegEx> collider_name_regex;

private:
	// Built once so that frames and grabs format no names.
	StringName finger_parameters[2][5];
	StringName default_pose_name;
	String held_object_pattern;
	String held_copy_suffixes[2];
	// Controller input names, compared on every input event.
	String grip_input;
	String grip_force_input;
	String trigger_input;
	String primary_input;
	String secondary_input;
	uint64_t hand_attachment_ids[2] = {};
	uint64_t animation_tree_id = 0;

	// By the shape node's instance id.
	std::unordered_map<uint64_t, HandShapeInfo> hand_shapes;
	TouchIndex touching_index;

	const HandShapeInfo &hand_shape_info(Node *p_shape);
	HandShapeInfo describe_hand_shape(const StringName &p_name) const;
	int64_t find_touching_object(uint64_t p_id);
	void reindex_touching_objects(int64_t p_from);
	void remove_touching_object(int64_t p_position);
	void drop_touching_objects(int64_t p_untouched_before);
	bool is_own_node(Node *p_node) const;
	bool may_grab(int p_hand, const HandTouchingObject &p_entry) const;
	void push_player(const Vector3 &p_impulse);
	void push_body(RigidBody3D *p_body, const Vector3 &p_impulse, const Vector3 &p_position);
	void report_bad_push();
	bool bad_push_reported = false;
	bool bad_mass_reported = false;
	bool bad_pose_reported = false;
	// The player's mass without what the hands hold, and what holding last
	// set it to: while it still reads so, nobody else changed it since.
	float mass_without_held = 0.0f;
	float mass_with_held = -1.0f;

	void store_hand_controllers();
	void watch_hand_shape(Node *p_shape, uint64_t p_id);
	void unwatch_hand_shape(uint64_t p_id);
	void refresh_hand_shape(HandShapeInfo &r_info, const StringName &p_name) const;
	void forget_touches_of(const HandShapeInfo &p_info);
	static void stamp_untouched(HandTouchingObject &r_entry);

	BoneAttachment3D *get_hand_attachment(int p_hand) const;
	AnimationTree *get_animation_tree() const;
	float *get_finger_targets(int p_hand);
	bool grab_offset(int p_hand, RigidBody3D *p_object, Transform3D &r_offset);
	float mass_to_add(float p_mass);
	void add_held_mass(int p_hand);
	void give_back_mass(int p_hand, const HeldObject &p_held);
	void report_bad_pose();
	bool grab(int p_hand, RigidBody3D *p_object, const Transform3D &p_offset);
	bool release(int p_hand, bool p_in_tree_callback);

public:
	Player();
	~Player() override;

	void _process(double p_delta) override;
	void _physics_process(double p_delta) override;
	void _ready() override;
	void _integrate_forces(PhysicsDirectBodyState3D *p_state) override;

	void _on_release_item_timeout(Node3D *p_object, Timer *p_timer);
	void _handle_hand_collision(RID p_body_rid, Node *p_body, uint32_t p_body_shape_index, uint32_t p_local_shape_index, bool p_touching);
	void _on_cleanup_timer_timeout();
	// A hand's bone attachment leaves the tree: what the hand holds goes back first.
	void _on_hand_attachment_exiting(int p_hand);
	void _on_player_exiting();
	// A hand shape leaves the tree or is renamed: what it touched under its old name is forgotten.
	void _on_hand_shape_exiting(uint64_t p_shape_id);
	void _on_hand_shape_renamed(uint64_t p_shape_id);

	// Controller input, forwarded by the XR manager. Hand 0 is left, 1 right.
	void _on_button_pressed(String p_name, int p_hand);
	void _on_button_released(String p_name, int p_hand);
	void _on_input_float_changed(String p_name, float p_value, int p_hand, bool use_grip_sensor);
	void _on_input_vector2_changed(String p_name, Vector2 p_value, int p_hand, bool use_grip_sensor);
	void _on_profile_changed(String p_role, int p_hand);

	// The touch bit of a hand part ("hand", "thumb", "index", ...), its
	// segment number and side letter; 0 when the part owns no bit.
	static uint32_t touch_bit(const String &p_part, int64_t p_segment, const String &p_side);
};

} // namespace godot

#endif // MOSSGLIMMER_PLAYER_HPP
