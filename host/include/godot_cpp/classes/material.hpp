#ifndef GODOT_MATERIAL_HPP
#define GODOT_MATERIAL_HPP

#include <godot_cpp/classes/resource.hpp>

namespace godot {

class HOST_API Material : public Resource {
	GDEXTENSION_CLASS(Material, Resource)

public:
	static const int RENDER_PRIORITY_MAX = 127;
	static const int RENDER_PRIORITY_MIN = -128;

	void set_render_priority(int32_t p_priority);
	int32_t get_render_priority() const;
	void set_next_pass(const Ref<Material> &p_next_pass);
	Ref<Material> get_next_pass() const;

	void _host_copy_from(const Resource &p_from, bool p_subresources) override;

private:
	int32_t _render_priority = 0;
	Ref<Material> _next_pass;
};

} // namespace godot

#endif // GODOT_MATERIAL_HPP
