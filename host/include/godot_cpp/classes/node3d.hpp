#ifndef GODOT_NODE3D_HPP
#define GODOT_NODE3D_HPP

#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/variant/transform3d.hpp>

namespace godot {

class HOST_API Node3D : public Node {
	GDEXTENSION_CLASS(Node3D, Node)

public:
	static const int NOTIFICATION_TRANSFORM_CHANGED = 2000;
	static const int NOTIFICATION_ENTER_WORLD = 41;
	static const int NOTIFICATION_EXIT_WORLD = 42;
	static const int NOTIFICATION_VISIBILITY_CHANGED = 43;
	static const int NOTIFICATION_LOCAL_TRANSFORM_CHANGED = 44;

	void set_transform(const Transform3D &p_local);
	Transform3D get_transform() const;
	void set_global_transform(const Transform3D &p_global);
	Transform3D get_global_transform() const;
	void set_position(const Vector3 &p_position);
	Vector3 get_position() const;
	void set_global_position(const Vector3 &p_position);
	Vector3 get_global_position() const;
	void set_basis(const Basis &p_basis);
	Basis get_basis() const;
	void set_global_basis(const Basis &p_basis);
	Basis get_global_basis() const;
	void set_rotation(const Vector3 &p_euler_radians);
	Vector3 get_rotation() const;
	void set_scale(const Vector3 &p_scale);
	Vector3 get_scale() const;
	void set_quaternion(const Quaternion &p_quaternion);
	Quaternion get_quaternion() const;
	void translate(const Vector3 &p_offset);
	void rotate(const Vector3 &p_axis, float p_angle);
	void rotate_object_local(const Vector3 &p_axis, float p_angle);
	void global_translate(const Vector3 &p_offset);
	void look_at(const Vector3 &p_target, const Vector3 &p_up = Vector3(0, 1, 0), bool p_use_model_front = false);
	Vector3 to_local(const Vector3 &p_global_point) const;
	Vector3 to_global(const Vector3 &p_local_point) const;
	Node3D *get_parent_node_3d() const;
	void set_as_top_level(bool p_enable);
	bool is_set_as_top_level() const;

	void set_visible(bool p_visible);
	bool is_visible() const;
	bool is_visible_in_tree() const;
	void show();
	void hide();

	void _host_reparent_keep_global(Node *p_new_parent) override;

protected:
	// Engine subclasses react to transform changes (bodies, shapes).
	virtual void _host_transform_changed() {}

private:
	Transform3D _local;
	bool _visible = true;
	bool _top_level = false;
};

} // namespace godot

#endif // GODOT_NODE3D_HPP
