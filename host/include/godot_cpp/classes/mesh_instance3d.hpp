#ifndef GODOT_MESHINSTANCE3D_HPP
#define GODOT_MESHINSTANCE3D_HPP

#include <godot_cpp/classes/geometry_instance3d.hpp>

namespace godot {

class HOST_API MeshInstance3D : public GeometryInstance3D {
	GDEXTENSION_CLASS(MeshInstance3D, GeometryInstance3D)
};

} // namespace godot

#endif // GODOT_MESHINSTANCE3D_HPP
