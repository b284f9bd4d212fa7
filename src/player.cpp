#include "player.hpp"

#include <godot_cpp/core/class_db.hpp>

namespace godot {

Player::Player() {}

Player::~Player() {}

void Player::_bind_methods() {}

void Player::_process(double) {}

void Player::_physics_process(double) {}

void Player::_ready() {}

void Player::_integrate_forces(PhysicsDirectBodyState3D *) {}

void Player::_on_button_pressed(String, int) {}

void Player::_on_button_released(String, int) {}

void Player::_on_input_float_changed(String, float, int, bool) {}

void Player::_on_input_vector2_changed(String, Vector2, int, bool) {}

void Player::_on_profile_changed(String, int) {}

} // namespace godot
