#ifndef GODOT_DISPLAYSERVER_HPP
#define GODOT_DISPLAYSERVER_HPP

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/binder_common.hpp>

namespace godot {

class HOST_API DisplayServer : public Object {
	GDEXTENSION_CLASS(DisplayServer, Object)

public:
	enum VSyncMode {
		VSYNC_DISABLED = 0,
		VSYNC_ENABLED = 1,
		VSYNC_ADAPTIVE = 2,
		VSYNC_MAILBOX = 3,
	};

	static const int32_t MAIN_WINDOW_ID = 0;
	static const int32_t INVALID_WINDOW_ID = -1;

	static DisplayServer *get_singleton();

	void window_set_vsync_mode(DisplayServer::VSyncMode p_vsync_mode, int32_t p_window_id = 0);
	DisplayServer::VSyncMode window_get_vsync_mode(int32_t p_window_id = 0) const;

	// ---- engine side ----
	// One main window, vertical sync on.
	void _host_reset();

private:
	VSyncMode _main_vsync = VSYNC_ENABLED;
};

} // namespace godot

VARIANT_ENUM_CAST(DisplayServer::VSyncMode);

#endif // GODOT_DISPLAYSERVER_HPP
