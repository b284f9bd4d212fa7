#ifndef GODOT_XRCAMERA3D_HPP
#define GODOT_XRCAMERA3D_HPP

#include <godot_cpp/classes/camera3d.hpp>

namespace godot {

class HOST_API XRCamera3D : public Camera3D {
	GDEXTENSION_CLASS(XRCamera3D, Camera3D)
};

} // namespace godot

#endif // GODOT_XRCAMERA3D_HPP
