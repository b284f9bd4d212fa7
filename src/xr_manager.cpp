#include "xr_manager.hpp"

#include <godot_cpp/core/class_db.hpp>

namespace godot {

XRManager::XRManager() {}

XRManager::~XRManager() {}

void XRManager::_bind_methods() {}

void XRManager::_process(double) {}

void XRManager::_ready() {}

} // namespace godot
