#ifndef GODOT_VISUALINSTANCE3D_HPP
#define GODOT_VISUALINSTANCE3D_HPP

#include <godot_cpp/classes/node3d.hpp>

namespace godot {

class HOST_API VisualInstance3D : public Node3D {
	GDEXTENSION_CLASS(VisualInstance3D, Node3D)
};

} // namespace godot

#endif // GODOT_VISUALINSTANCE3D_HPP
