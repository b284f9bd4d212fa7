// The display server: one main window.
#include <godot_cpp/classes/display_server.hpp>

#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>

namespace godot {

DisplayServer *DisplayServer::get_singleton() {
	static DisplayServer *server = memnew(DisplayServer);
	return server;
}

void DisplayServer::window_set_vsync_mode(DisplayServer::VSyncMode p_vsync_mode, int32_t p_window_id) {
	ERR_FAIL_COND_MSG(p_window_id != MAIN_WINDOW_ID, "Window ID " + itos(p_window_id) + " does not exist.");
	_main_vsync = p_vsync_mode;
}

DisplayServer::VSyncMode DisplayServer::window_get_vsync_mode(int32_t p_window_id) const {
	ERR_FAIL_COND_V_MSG(p_window_id != MAIN_WINDOW_ID, VSYNC_ENABLED, "Window ID " + itos(p_window_id) + " does not exist.");
	return _main_vsync;
}

void DisplayServer::_host_reset() {
	_main_vsync = VSYNC_ENABLED;
}

GDHOST_REGISTER_ABSTRACT_ENGINE_CLASS(DisplayServer);

} // namespace godot
