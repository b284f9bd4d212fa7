#ifndef MOSSGLIMMER_PLAYER_HPP
#define MOSSGLIMMER_PLAYER_HPP

#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/vector2.hpp>

namespace godot {

class Player : public RigidBody3D {
	GDCLASS(Player, RigidBody3D)

protected:
	static void _bind_methods();

public:
	Player();
	~Player() override;

	void _process(double p_delta) override;
	void _physics_process(double p_delta) override;
	void _ready() override;
	void _integrate_forces(PhysicsDirectBodyState3D *p_state) override;

	// Controller input, forwarded by the XR manager. Hand 0 is left, 1 right.
	void _on_button_pressed(String p_name, int p_hand);
	void _on_button_released(String p_name, int p_hand);
	void _on_input_float_changed(String p_name, float p_value, int p_hand, bool use_grip_sensor);
	void _on_input_vector2_changed(String p_name, Vector2 p_value, int p_hand, bool use_grip_sensor);
	void _on_profile_changed(String p_role, int p_hand);
};

} // namespace godot

#endif // MOSSGLIMMER_PLAYER_HPP
