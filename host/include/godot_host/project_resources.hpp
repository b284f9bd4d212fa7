#ifndef GODOT_HOST_PROJECT_RESOURCES_HPP
#define GODOT_HOST_PROJECT_RESOURCES_HPP

#include <godot_cpp/core/defs.hpp>

namespace godot_host {

// The game's project data that the engine offers under res:// paths.
constexpr const char *HUD_CHARACTER_SCENE = "res://objects/hud_character.tscn";
constexpr const char *TYPING_CLICK_SOUND = "res://sounds/typing_click.wav";
// Length of the click in seconds.
constexpr double TYPING_CLICK_LENGTH = 0.05;

// Registers (again) every project resource with the resource loader. The
// engine does this when it starts; tests that replace one call it to restore.
HOST_API void register_project_resources();

} // namespace godot_host

#endif // GODOT_HOST_PROJECT_RESOURCES_HPP
