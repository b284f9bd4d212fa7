#ifndef GODOT_BONEATTACHMENT3D_HPP
#define GODOT_BONEATTACHMENT3D_HPP

#include <godot_cpp/classes/node3d.hpp>

namespace godot {

// Follows a bone of its parent skeleton. The engine moves it as the
// skeleton animates; here tests place it themselves.
class HOST_API BoneAttachment3D : public Node3D {
	GDEXTENSION_CLASS(BoneAttachment3D, Node3D)

public:
	void set_bone_name(const String &p_bone_name) { _bone_name = p_bone_name; }
	String get_bone_name() const { return _bone_name; }
	void set_bone_idx(int32_t p_bone_idx) { _bone_idx = p_bone_idx; }
	int32_t get_bone_idx() const { return _bone_idx; }
	void set_override_pose(bool p_override_pose) { _override_pose = p_override_pose; }
	bool get_override_pose() const { return _override_pose; }

private:
	String _bone_name;
	int32_t _bone_idx = -1;
	bool _override_pose = false;
};

} // namespace godot

#endif // GODOT_BONEATTACHMENT3D_HPP
