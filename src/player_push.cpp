// Hands push the bodies they touch, and push the player off walls; both in
// the body step (`_integrate_forces`).

#include "player.hpp"

#include "globals.hpp"

#include <godot_cpp/classes/physics_direct_body_state3d.hpp>
#include <godot_cpp/classes/static_body3d.hpp>
#include <godot_cpp/classes/xr_pose.hpp>
#include <godot_cpp/classes/xr_positional_tracker.hpp>
#include <godot_cpp/core/object.hpp>

#include <cmath>

namespace godot {

namespace {

// A hand moving into a body pushes it; a held object pushes with its own mass
// and this share of the player's.
const float PUSH_SCALE = 1000.0f;
const float HELD_PUSH_PLAYER_SHARE = 0.25f;
// On a wall the player stops below REST_SPEED; a hand moving away from the
// wall faster than PUSH_OFF_MIN_SPEED pushes the player off.
const float REST_SPEED = 0.01f;
const float PUSH_OFF_MIN_SPEED = 0.5f;
const float PUSH_OFF_SCALE = 2.35f;
// A body's origin this far from where a hand touches it is no contact a hand
// makes: pushed there, the lever alone would spin it without bound.
const float PUSH_REACH = 100.0f;
// No hand moves a body this much faster in one push: a larger one comes from a
// mass or pose that a script made absurd, and would carry the body past what
// the engine can integrate.
const float MAX_PUSH_SPEED_CHANGE = 1000.0f;

bool is_finite(const Vector3 &p_value) {
	return std::isfinite(p_value.x) && std::isfinite(p_value.y) && std::isfinite(p_value.z);
}

} // namespace

// A runtime may report any hand velocity, and a scene any mass: an impulse
// that is no number would poison a body for the rest of the session.
void Player::push_player(const Vector3 &p_impulse) {
	if (!is_finite(p_impulse)) {
		report_bad_push();
		return;
	}
	apply_impulse(p_impulse, Vector3());
}

void Player::push_body(RigidBody3D *p_body, const Vector3 &p_impulse, const Vector3 &p_position) {
	if (!is_finite(p_impulse) || !is_finite(p_position) || p_position.length() > PUSH_REACH) {
		report_bad_push();
		return;
	}
	// Written so that a mass that is no number fails too.
	const float mass = p_body->get_mass();
	if (!(p_impulse.length() <= MAX_PUSH_SPEED_CHANGE * mass)) {
		report_bad_push();
		return;
	}
	p_body->apply_impulse(p_impulse, p_position);
}

void Player::report_bad_push() {
	if (!bad_push_reported) {
		bad_push_reported = true;
		ERR_PRINT("Player: a push that is not a finite number, not within reach, or beyond any hand's strength was left out.");
	}
}

void Player::_integrate_forces(PhysicsDirectBodyState3D *p_state) {
	ERR_FAIL_NULL(p_state);
	float step = p_state->get_step();
	// The mean of the wall normals needs only their sum and count.
	Vector3 wall_normal_sum;
	int32_t wall_normal_count = 0;
	bool left_wall = false;
	bool right_wall = false;

	for (int32_t i = 0; i < p_state->get_contact_count(); i++) {
		uint32_t owner = shape_find_owner(p_state->get_contact_local_shape(i));
		BoneColliderIK *hand = Object::cast_to<BoneColliderIK>(shape_owner_get_owner(owner));
		if (!hand) {
			continue;
		}
		Object *collider = p_state->get_contact_collider_object(i);
		if (!collider) {
			return;
		}
		if (RigidBody3D *body = Object::cast_to<RigidBody3D>(collider)) {
			if (body->get_process_mode() == Node::PROCESS_MODE_DISABLED) {
				return; // a held object
			}
			Vector3 normal = p_state->get_contact_local_normal(i);
			Vector3 point = p_state->get_contact_local_position(i);
			Vector3 position = body->get_global_position() - point;
			Vector3 v = hand->get_velocity();
			float d = normal.x * v.x + normal.y * v.y + normal.z * v.z;
			if (d < 0) {
				bool held = hand_shape_info(hand).held_object;
				float k = held ? hand->get_mass() + HELD_PUSH_PLAYER_SHARE * get_mass() : 1.0f;
				push_body(body, normal * d * step * PUSH_SCALE * k, position);
			}
		} else if (Object::cast_to<StaticBody3D>(collider)) {
			const HandShapeInfo &info = hand_shape_info(hand);
			if (!info.follows_rule) {
				continue;
			}
			if (info.hand == 0) {
				left_wall = true;
			} else {
				right_wall = true;
			}
			wall_normal_sum += p_state->get_contact_local_normal(i);
			wall_normal_count++;
		}
	}

	if (wall_normal_count == 0) {
		return;
	}
	Vector3 mean_normal = wall_normal_sum / (float)wall_normal_count;

	Vector3 velocity = get_linear_velocity();
	if (velocity.length() < REST_SPEED) {
		set_linear_velocity(Vector3());
	} else if (mean_normal.dot(velocity) < 0) {
		push_player(-velocity * get_mass() * step);
	}

	Basis basis = get_global_basis();
	bool on_wall[2] = { left_wall, right_wall };
	for (int h = 0; h < 2; h++) {
		if (!on_wall[h]) {
			continue;
		}
		// A hand without a tracker or a "default" pose gives no push-off.
		if ((size_t)h >= Globals::pos_trackers.size() || Globals::pos_trackers[(size_t)h].is_null()) {
			continue;
		}
		Ref<XRPose> pose = Globals::pos_trackers[(size_t)h]->get_pose(default_pose_name);
		if (pose.is_null()) {
			continue;
		}
		Vector3 hv = pose->get_linear_velocity();
		Vector3 g = basis.xform(Vector3(hv.x, -hv.y, hv.z));
		if (mean_normal.dot(g) > 0 && g.length() > PUSH_OFF_MIN_SPEED) {
			float divisor = 1.0f + (on_wall[1 - h] ? 1.0f : 0.0f);
			push_player(g * get_mass() * PUSH_OFF_SCALE * step / divisor);
		}
	}
}

} // namespace godot
