#ifndef GODOT_GEOMETRYINSTANCE3D_HPP
#define GODOT_GEOMETRYINSTANCE3D_HPP

#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/visual_instance3d.hpp>

namespace godot {

class Material;

class HOST_API GeometryInstance3D : public VisualInstance3D {
	GDEXTENSION_CLASS(GeometryInstance3D, VisualInstance3D)

public:
	GeometryInstance3D();
	~GeometryInstance3D() override;

	void set_material_override(const Ref<Material> &p_material);
	Ref<Material> get_material_override() const;

	bool _host_set(const StringName &p_property, const Variant &p_value) override;
	bool _host_get(const StringName &p_property, Variant &r_value) const override;

private:
	Ref<Material> _material_override;
};

} // namespace godot

#endif // GODOT_GEOMETRYINSTANCE3D_HPP
