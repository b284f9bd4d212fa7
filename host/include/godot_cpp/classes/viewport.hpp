#ifndef GODOT_VIEWPORT_HPP
#define GODOT_VIEWPORT_HPP

#include <godot_cpp/classes/node.hpp>

namespace godot {

class HOST_API Viewport : public Node {
	GDEXTENSION_CLASS(Viewport, Node)

public:
	enum VRSMode {
		VRS_DISABLED = 0,
		VRS_TEXTURE = 1,
		VRS_XR = 2,
		VRS_MAX = 3,
	};

	void set_use_xr(bool p_use);
	bool is_using_xr();
	void set_vrs_mode(Viewport::VRSMode p_mode);
	Viewport::VRSMode get_vrs_mode() const;

private:
	bool _use_xr = false;
	VRSMode _vrs_mode = VRS_DISABLED;
};

} // namespace godot

#endif // GODOT_VIEWPORT_HPP
