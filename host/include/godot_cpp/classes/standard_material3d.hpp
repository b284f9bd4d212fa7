#ifndef GODOT_STANDARDMATERIAL3D_HPP
#define GODOT_STANDARDMATERIAL3D_HPP

#include <godot_cpp/classes/base_material3d.hpp>

namespace godot {

class HOST_API StandardMaterial3D : public BaseMaterial3D {
	GDEXTENSION_CLASS(StandardMaterial3D, BaseMaterial3D)
};

} // namespace godot

#endif // GODOT_STANDARDMATERIAL3D_HPP
