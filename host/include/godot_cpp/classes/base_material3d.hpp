#ifndef GODOT_BASEMATERIAL3D_HPP
#define GODOT_BASEMATERIAL3D_HPP

#include <godot_cpp/classes/material.hpp>
#include <godot_cpp/variant/color.hpp>
#include <godot_cpp/variant/vector3.hpp>

namespace godot {

class HOST_API BaseMaterial3D : public Material {
	GDEXTENSION_CLASS(BaseMaterial3D, Material)

public:
	void set_albedo(const Color &p_albedo);
	Color get_albedo() const;
	void set_uv1_offset(const Vector3 &p_offset);
	Vector3 get_uv1_offset() const;
	void set_uv1_scale(const Vector3 &p_scale);
	Vector3 get_uv1_scale() const;

	void _host_copy_from(const Resource &p_from, bool p_subresources) override;
	bool _host_set(const StringName &p_property, const Variant &p_value) override;
	bool _host_get(const StringName &p_property, Variant &r_value) const override;

private:
	Color _albedo = Color(1, 1, 1, 1);
	Vector3 _uv1_offset;
	Vector3 _uv1_scale = Vector3(1, 1, 1);
};

} // namespace godot

#endif // GODOT_BASEMATERIAL3D_HPP
