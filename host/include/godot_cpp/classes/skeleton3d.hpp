#ifndef GODOT_SKELETON3D_HPP
#define GODOT_SKELETON3D_HPP

#include <godot_cpp/classes/node3d.hpp>

#include <vector>

namespace godot {

class HOST_API Skeleton3D : public Node3D {
	GDEXTENSION_CLASS(Skeleton3D, Node3D)

public:
	void add_bone(const String &p_name);
	int32_t find_bone(const String &p_name) const;
	String get_bone_name(int32_t p_bone_idx) const;
	int32_t get_bone_count() const { return (int32_t)_bones.size(); }
	int32_t get_bone_parent(int32_t p_bone_idx) const;
	void set_bone_parent(int32_t p_bone_idx, int32_t p_parent_idx);
	void set_bone_pose(int32_t p_bone_idx, const Transform3D &p_pose);
	Transform3D get_bone_pose(int32_t p_bone_idx) const;
	Transform3D get_bone_global_pose(int32_t p_bone_idx) const;
	void clear_bones() { _bones.clear(); }

private:
	struct Bone {
		String name;
		int32_t parent = -1;
		Transform3D pose;
	};
	std::vector<Bone> _bones;
};

} // namespace godot

#endif // GODOT_SKELETON3D_HPP
