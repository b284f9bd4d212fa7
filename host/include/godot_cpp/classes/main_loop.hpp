#ifndef GODOT_MAIN_LOOP_HPP
#define GODOT_MAIN_LOOP_HPP

#include <godot_cpp/classes/object.hpp>

namespace godot {

class HOST_API MainLoop : public Object {
	GDEXTENSION_CLASS(MainLoop, Object)
};

} // namespace godot

#endif // GODOT_MAIN_LOOP_HPP
