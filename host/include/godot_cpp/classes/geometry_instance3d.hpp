#ifndef GODOT_GEOMETRYINSTANCE3D_HPP
#define GODOT_GEOMETRYINSTANCE3D_HPP

#include <godot_cpp/classes/visual_instance3d.hpp>

namespace godot {

class HOST_API GeometryInstance3D : public VisualInstance3D {
	GDEXTENSION_CLASS(GeometryInstance3D, VisualInstance3D)
};

} // namespace godot

#endif // GODOT_GEOMETRYINSTANCE3D_HPP
