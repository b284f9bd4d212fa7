#ifndef GODOT_SPHERESHAPE3D_HPP
#define GODOT_SPHERESHAPE3D_HPP

#include <godot_cpp/classes/shape3d.hpp>

namespace godot {

class HOST_API SphereShape3D : public Shape3D {
	GDEXTENSION_CLASS(SphereShape3D, Shape3D)

public:
	void set_radius(float p_radius) { _radius = p_radius; }
	float get_radius() const { return _radius; }

	void _host_copy_from(const Resource &p_from, bool p_subresources) override;

private:
	float _radius = 0.5f;
};

} // namespace godot

#endif // GODOT_SPHERESHAPE3D_HPP
