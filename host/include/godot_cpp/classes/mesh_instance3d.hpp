#ifndef GODOT_MESHINSTANCE3D_HPP
#define GODOT_MESHINSTANCE3D_HPP

#include <godot_cpp/classes/geometry_instance3d.hpp>

#include <vector>

namespace godot {

class Material;
class Mesh;

class HOST_API MeshInstance3D : public GeometryInstance3D {
	GDEXTENSION_CLASS(MeshInstance3D, GeometryInstance3D)

public:
	MeshInstance3D();
	~MeshInstance3D() override;

	void set_mesh(const Ref<Mesh> &p_mesh);
	Ref<Mesh> get_mesh() const;
	int32_t get_surface_override_material_count() const;
	void set_surface_override_material(int32_t p_surface, const Ref<Material> &p_material);
	Ref<Material> get_surface_override_material(int32_t p_surface) const;
	// The material override, else the surface's override, else the mesh's own.
	Ref<Material> get_active_material(int32_t p_surface) const;

	bool _host_set(const StringName &p_property, const Variant &p_value) override;
	bool _host_get(const StringName &p_property, Variant &r_value) const override;

private:
	Ref<Mesh> _mesh;
	std::vector<Ref<Material>> _surface_override_materials;
};

} // namespace godot

#endif // GODOT_MESHINSTANCE3D_HPP
