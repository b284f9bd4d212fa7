#ifndef GODOT_CAMERA3D_HPP
#define GODOT_CAMERA3D_HPP

#include <godot_cpp/classes/node3d.hpp>

namespace godot {

class HOST_API Camera3D : public Node3D {
	GDEXTENSION_CLASS(Camera3D, Node3D)

public:
	void set_current(bool p_enabled) { _current = p_enabled; }
	bool is_current() const { return _current; }
	void make_current() { _current = true; }
	void clear_current(bool p_enable_next = true) {
		(void)p_enable_next;
		_current = false;
	}
	void set_fov(float p_fov) { _fov = p_fov; }
	float get_fov() const { return _fov; }
	void set_near(float p_near) { _near = p_near; }
	float get_near() const { return _near; }
	void set_far(float p_far) { _far = p_far; }
	float get_far() const { return _far; }

private:
	bool _current = false;
	float _fov = 75.0f;
	float _near = 0.05f;
	float _far = 4000.0f;
};

} // namespace godot

#endif // GODOT_CAMERA3D_HPP
