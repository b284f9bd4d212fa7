#ifndef GODOT_SKELETONIK3D_HPP
#define GODOT_SKELETONIK3D_HPP

#include <godot_cpp/classes/node3d.hpp>

namespace godot {

class HOST_API SkeletonIK3D : public Node3D {
	GDEXTENSION_CLASS(SkeletonIK3D, Node3D)

public:
	void set_root_bone(const StringName &p_root_bone) { _root_bone = p_root_bone; }
	StringName get_root_bone() const { return _root_bone; }
	void set_tip_bone(const StringName &p_tip_bone) { _tip_bone = p_tip_bone; }
	StringName get_tip_bone() const { return _tip_bone; }
	void set_target_node(const NodePath &p_node) { _target_node = p_node; }
	NodePath get_target_node() { return _target_node; }
	bool is_running() { return _running; }
	// Solves every frame from now on, or only once when p_one_time.
	void start(bool p_one_time = false);
	void stop() { _running = false; }

	// ---- engine side ----
	int _host_one_time_solves() const { return _one_time_solves; }

private:
	StringName _root_bone;
	StringName _tip_bone;
	NodePath _target_node;
	bool _running = false;
	int _one_time_solves = 0;
};

} // namespace godot

#endif // GODOT_SKELETONIK3D_HPP
