// Registration of the visual node classes.
#include <godot_cpp/classes/camera3d.hpp>
#include <godot_cpp/classes/geometry_instance3d.hpp>
#include <godot_cpp/classes/mesh_instance3d.hpp>
#include <godot_cpp/classes/visual_instance3d.hpp>

namespace godot {

GDHOST_REGISTER_ABSTRACT_ENGINE_CLASS(VisualInstance3D);
GDHOST_REGISTER_ABSTRACT_ENGINE_CLASS(GeometryInstance3D);
GDHOST_REGISTER_ENGINE_CLASS(MeshInstance3D);
GDHOST_REGISTER_ENGINE_CLASS(Camera3D);

} // namespace godot
