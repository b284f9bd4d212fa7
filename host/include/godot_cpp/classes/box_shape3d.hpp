#ifndef GODOT_BOXSHAPE3D_HPP
#define GODOT_BOXSHAPE3D_HPP

#include <godot_cpp/classes/shape3d.hpp>
#include <godot_cpp/variant/vector3.hpp>

namespace godot {

class HOST_API BoxShape3D : public Shape3D {
	GDEXTENSION_CLASS(BoxShape3D, Shape3D)

public:
	void set_size(const Vector3 &p_size) { _size = p_size; }
	Vector3 get_size() const { return _size; }

	void _host_copy_from(const Resource &p_from, bool p_subresources) override;

private:
	Vector3 _size = Vector3(1, 1, 1);
};

} // namespace godot

#endif // GODOT_BOXSHAPE3D_HPP
