#ifndef GODOT_SHAPE3D_HPP
#define GODOT_SHAPE3D_HPP

#include <godot_cpp/classes/resource.hpp>

namespace godot {

class HOST_API Shape3D : public Resource {
	GDEXTENSION_CLASS(Shape3D, Resource)

public:
	void set_margin(float p_margin) { _margin = p_margin; }
	float get_margin() const { return _margin; }
	void set_custom_solver_bias(float p_bias) { _custom_solver_bias = p_bias; }
	float get_custom_solver_bias() const { return _custom_solver_bias; }

	void _host_copy_from(const Resource &p_from, bool p_subresources) override;

private:
	float _margin = 0.04f;
	float _custom_solver_bias = 0.0f;
};

} // namespace godot

#endif // GODOT_SHAPE3D_HPP
