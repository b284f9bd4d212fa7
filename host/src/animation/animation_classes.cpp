// Animation, skeleton and inverse-kinematics nodes.
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/classes/animation_mixer.hpp>
#include <godot_cpp/classes/animation_player.hpp>
#include <godot_cpp/classes/animation_tree.hpp>
#include <godot_cpp/classes/bone_attachment3d.hpp>
#include <godot_cpp/classes/skeleton3d.hpp>
#include <godot_cpp/classes/skeleton_ik3d.hpp>

#include <algorithm>

namespace godot {

// ---- Skeleton3D ----

void Skeleton3D::add_bone(const String &p_name) {
	ERR_FAIL_COND_MSG(p_name.is_empty() || p_name.contains(":") || p_name.contains("/"), "Bone name cannot be empty or contain ':' or '/'.");
	Bone b;
	b.name = p_name;
	_bones.push_back(b);
}

int32_t Skeleton3D::find_bone(const String &p_name) const {
	for (size_t i = 0; i < _bones.size(); i++) {
		if (_bones[i].name == p_name) {
			return (int32_t)i;
		}
	}
	return -1;
}

String Skeleton3D::get_bone_name(int32_t p_bone_idx) const {
	ERR_FAIL_INDEX_V(p_bone_idx, (int32_t)_bones.size(), String());
	return _bones[(size_t)p_bone_idx].name;
}

int32_t Skeleton3D::get_bone_parent(int32_t p_bone_idx) const {
	ERR_FAIL_INDEX_V(p_bone_idx, (int32_t)_bones.size(), -1);
	return _bones[(size_t)p_bone_idx].parent;
}

void Skeleton3D::set_bone_parent(int32_t p_bone_idx, int32_t p_parent_idx) {
	ERR_FAIL_INDEX(p_bone_idx, (int32_t)_bones.size());
	ERR_FAIL_COND(p_parent_idx >= (int32_t)_bones.size() || p_parent_idx == p_bone_idx);
	_bones[(size_t)p_bone_idx].parent = p_parent_idx;
}

void Skeleton3D::set_bone_pose(int32_t p_bone_idx, const Transform3D &p_pose) {
	ERR_FAIL_INDEX(p_bone_idx, (int32_t)_bones.size());
	_bones[(size_t)p_bone_idx].pose = p_pose;
}

Transform3D Skeleton3D::get_bone_pose(int32_t p_bone_idx) const {
	ERR_FAIL_INDEX_V(p_bone_idx, (int32_t)_bones.size(), Transform3D());
	return _bones[(size_t)p_bone_idx].pose;
}

Transform3D Skeleton3D::get_bone_global_pose(int32_t p_bone_idx) const {
	ERR_FAIL_INDEX_V(p_bone_idx, (int32_t)_bones.size(), Transform3D());
	Transform3D t = _bones[(size_t)p_bone_idx].pose;
	// Parents come first in a skeleton, so the walk ends.
	for (int32_t p = _bones[(size_t)p_bone_idx].parent; p >= 0 && p < (int32_t)_bones.size(); p = _bones[(size_t)p].parent) {
		t = _bones[(size_t)p].pose * t;
		if (_bones[(size_t)p].parent >= p) {
			break;
		}
	}
	return t;
}

// ---- AnimationMixer ----

bool AnimationMixer::has_animation(const StringName &p_name) const {
	return std::find(_animations.begin(), _animations.end(), p_name) != _animations.end();
}

PackedStringArray AnimationMixer::get_animation_list() const {
	PackedStringArray out;
	for (const StringName &n : _animations) {
		out.push_back(String(n));
	}
	return out;
}

void AnimationMixer::_host_add_animation(const StringName &p_name) {
	if (!has_animation(p_name)) {
		_animations.push_back(p_name);
	}
}

// ---- AnimationPlayer ----

void AnimationPlayer::play(const StringName &p_name, double p_custom_blend, float p_custom_speed, bool p_from_end) {
	StringName name = p_name.is_empty() ? _assigned : p_name;
	ERR_FAIL_COND_MSG(name.is_empty(), "No animation to play.");
	ERR_FAIL_COND_MSG(!has_animation(name), "Animation not found: " + String(name) + ".");
	bool started = !_playing || _assigned != name;
	_assigned = name;
	_playing = true;
	_speed = p_custom_speed;
	_plays.push_back(Play{ name, p_custom_blend, p_custom_speed, p_from_end });
	if (started) {
		emit_signal("animation_started", name);
	}
}

void AnimationPlayer::play_backwards(const StringName &p_name, double p_custom_blend) {
	play(p_name, p_custom_blend, -1.0f, true);
}

void AnimationPlayer::pause() {
	_playing = false;
}

void AnimationPlayer::stop(bool p_keep_state) {
	(void)p_keep_state;
	_playing = false;
}

String AnimationPlayer::get_current_animation() const {
	return _playing ? String(_assigned) : String();
}

void AnimationPlayer::set_assigned_animation(const String &p_animation) {
	_assigned = StringName(p_animation);
}

String AnimationPlayer::get_assigned_animation() const {
	return String(_assigned);
}

// ---- AnimationTree ----

void AnimationTree::_host_declare_parameter(const StringName &p_name, const Variant &p_default) {
	for (auto &p : _parameters) {
		if (p.first == p_name) {
			p.second = p_default;
			return;
		}
	}
	_parameters.emplace_back(p_name, p_default);
}

bool AnimationTree::_host_has_parameter(const StringName &p_name) const {
	for (const auto &p : _parameters) {
		if (p.first == p_name) {
			return true;
		}
	}
	return false;
}

bool AnimationTree::_host_set(const StringName &p_property, const Variant &p_value) {
	for (auto &p : _parameters) {
		if (p.first == p_property) {
			p.second = p_value;
			_writes++;
			return true;
		}
	}
	return AnimationMixer::_host_set(p_property, p_value);
}

bool AnimationTree::_host_get(const StringName &p_property, Variant &r_value) const {
	for (const auto &p : _parameters) {
		if (p.first == p_property) {
			r_value = p.second;
			return true;
		}
	}
	return AnimationMixer::_host_get(p_property, r_value);
}

// ---- SkeletonIK3D ----

void SkeletonIK3D::start(bool p_one_time) {
	if (p_one_time) {
		_running = false;
		_one_time_solves++;
		return;
	}
	_running = true;
}

GDHOST_REGISTER_ENGINE_CLASS(Skeleton3D, "bone_pose_changed", "skeleton_updated", "pose_updated");
GDHOST_REGISTER_ENGINE_CLASS(BoneAttachment3D);
GDHOST_REGISTER_ABSTRACT_ENGINE_CLASS(AnimationMixer, "animation_finished", "animation_started", "animation_list_changed", "animation_libraries_updated", "caches_cleared", "mixer_applied", "mixer_updated");
GDHOST_REGISTER_ENGINE_CLASS(AnimationPlayer, "current_animation_changed", "animation_changed");
GDHOST_REGISTER_ENGINE_CLASS(AnimationTree, "animation_player_changed");
GDHOST_REGISTER_ENGINE_CLASS(SkeletonIK3D);

} // namespace godot
