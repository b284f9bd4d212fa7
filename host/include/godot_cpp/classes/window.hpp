#ifndef GODOT_WINDOW_HPP
#define GODOT_WINDOW_HPP

#include <godot_cpp/classes/viewport.hpp>

namespace godot {

class HOST_API Window : public Viewport {
	GDEXTENSION_CLASS(Window, Viewport)
};

} // namespace godot

#endif // GODOT_WINDOW_HPP
