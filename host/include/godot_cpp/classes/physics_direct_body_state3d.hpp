#ifndef GODOT_PHYSICSDIRECTBODYSTATE3D_HPP
#define GODOT_PHYSICSDIRECTBODYSTATE3D_HPP

#include <godot_cpp/classes/object.hpp>

namespace godot {

class HOST_API PhysicsDirectBodyState3D : public Object {
	GDEXTENSION_CLASS(PhysicsDirectBodyState3D, Object)
};

} // namespace godot

#endif // GODOT_PHYSICSDIRECTBODYSTATE3D_HPP
