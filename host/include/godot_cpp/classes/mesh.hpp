#ifndef GODOT_MESH_HPP
#define GODOT_MESH_HPP

#include <godot_cpp/classes/material.hpp>
#include <godot_cpp/classes/resource.hpp>

#include <vector>

namespace godot {

// Only what the scene needs of a mesh: its surfaces and their materials.
class HOST_API Mesh : public Resource {
	GDEXTENSION_CLASS(Mesh, Resource)

public:
	int32_t get_surface_count() const;
	Ref<Material> surface_get_material(int32_t p_surface) const;

	// ---- engine side: what an imported mesh brings ----
	void _host_add_surface(const Ref<Material> &p_material);
	void _host_surface_set_material(int32_t p_surface, const Ref<Material> &p_material);
	void _host_copy_from(const Resource &p_from, bool p_subresources) override;

private:
	std::vector<Ref<Material>> _surface_materials;
};

} // namespace godot

#endif // GODOT_MESH_HPP
