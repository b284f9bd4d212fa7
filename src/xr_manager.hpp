#ifndef MOSSGLIMMER_XR_MANAGER_HPP
#define MOSSGLIMMER_XR_MANAGER_HPP

#include <godot_cpp/classes/node.hpp>

namespace godot {

class XRManager : public Node {
	GDCLASS(XRManager, Node)

protected:
	static void _bind_methods();

public:
	XRManager();
	~XRManager() override;

	void _process(double p_delta) override;
	void _ready() override;
};

} // namespace godot

#endif // MOSSGLIMMER_XR_MANAGER_HPP
