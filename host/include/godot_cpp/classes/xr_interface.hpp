#ifndef GODOT_XRINTERFACE_HPP
#define GODOT_XRINTERFACE_HPP

#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/variant/string_name.hpp>

namespace godot {

class HOST_API XRInterface : public RefCounted {
	GDEXTENSION_CLASS(XRInterface, RefCounted)

public:
	enum PlayAreaMode {
		XR_PLAY_AREA_UNKNOWN = 0,
		XR_PLAY_AREA_3DOF = 1,
		XR_PLAY_AREA_SITTING = 2,
		XR_PLAY_AREA_ROOMSCALE = 3,
		XR_PLAY_AREA_STAGE = 4,
	};

	StringName get_name() const;
	uint32_t get_capabilities() const;
	bool is_primary();
	void set_primary(bool p_primary);
	bool is_initialized() const;
	bool initialize();
	void uninitialize();
	XRInterface::PlayAreaMode get_play_area_mode() const;

	// ---- engine side ----
	// The name the interface registers under (an engine interface's own name).
	void _host_set_name(const StringName &p_name) { _name = p_name; }
	// Whether initialize() succeeds (a runtime is present).
	void _host_set_can_initialize(bool p_can) { _can_initialize = p_can; }
	void _host_set_initialized(bool p_initialized) { _initialized = p_initialized; }

protected:
	StringName _name;
	bool _initialized = false;
	bool _can_initialize = true;
	PlayAreaMode _play_area_mode = XR_PLAY_AREA_UNKNOWN;
};

} // namespace godot

VARIANT_ENUM_CAST(XRInterface::PlayAreaMode);

#endif // GODOT_XRINTERFACE_HPP
