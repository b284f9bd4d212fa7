#include "hud.hpp"

#include <godot_cpp/core/class_db.hpp>

namespace godot {

HUD::HUD() {}

HUD::~HUD() {}

void HUD::_bind_methods() {}

void HUD::_ready() {}

void HUD::set_text(std::vector<String>) {}

std::vector<String> HUD::get_text() const {
	return {};
}

void HUD::clear_text() {}

void HUD::play_text() {}

} // namespace godot
