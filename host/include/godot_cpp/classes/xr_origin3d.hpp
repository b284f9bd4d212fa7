#ifndef GODOT_XRORIGIN3D_HPP
#define GODOT_XRORIGIN3D_HPP

#include <godot_cpp/classes/node3d.hpp>

namespace godot {

class HOST_API XROrigin3D : public Node3D {
	GDEXTENSION_CLASS(XROrigin3D, Node3D)

public:
	void set_world_scale(float p_world_scale) { _world_scale = p_world_scale; }
	float get_world_scale() const { return _world_scale; }
	void set_current(bool p_enabled) { _current = p_enabled; }
	bool is_current() const { return _current; }

private:
	float _world_scale = 1.0f;
	bool _current = false;
};

} // namespace godot

#endif // GODOT_XRORIGIN3D_HPP
