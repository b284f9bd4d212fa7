// What the engine sees of the XR manager: the handlers it reaches by name,
// with their argument counts and registered argument names, in binding order.
#include "support/game_fixture.hpp"

#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/method_bind.hpp>

#include <string>
#include <vector>

using namespace godot;

namespace {

// "name/count:arg,arg" per bound method, in binding order.
std::vector<std::string> method_table(const char *p_class) {
	std::vector<std::string> out;
	const ClassDB::ClassRecord *rec = ClassDB::get_class_record(p_class);
	if (!rec) {
		return { "<missing>" };
	}
	for (const MethodBind *m : rec->methods) {
		std::string line = String(m->get_name()).utf8().get_data();
		line += "/" + std::to_string(m->get_argument_count()) + ":";
		for (size_t i = 0; i < m->get_argument_names().size(); i++) {
			line += (i ? "," : "") + std::string(String(m->get_argument_names()[i]).utf8().get_data());
		}
		out.push_back(line);
	}
	return out;
}

} // namespace

using XRManagerBindings = GameTest;

TEST_F(XRManagerBindings, HandlersAreBoundInOrderWithTheirArgumentNames) {
	const std::vector<std::string> expected = {
		"_on_instance_exiting/0:",
		"_on_play_area_changed/1:p_mode",
		"_on_pose_recentered/0:",
		"_on_refresh_rate_changed/1:", // the rate carries no name
		"_on_session_begun/0:",
		"_on_session_focussed/0:",
		"_on_session_loss_pending/0:",
		"_on_session_stopping/0:",
		"_on_session_visible/0:",
		"_on_audio_fade_timer_timeout/0:",
		// The bound hand index carries no name.
		"_on_button_pressed/2:p_name",
		"_on_button_released/2:p_name",
		"_on_input_float_changed/3:p_name,p_value",
		"_on_input_vector2_changed/3:p_name,p_value",
		"_on_profile_changed/2:p_role",
		"_check_for_grip_sensor/2:p_name,p_value",
	};
	EXPECT_EQ(method_table("XRManager"), expected);
	const ClassDB::ClassRecord *rec = ClassDB::get_class_record("XRManager");
	ASSERT_NE(rec, nullptr);
	EXPECT_TRUE(rec->properties.empty());
	EXPECT_TRUE(rec->signals.empty());
	// Operations the library calls directly stay unbound.
	for (const char *plain : { "get_hud", "get_xr_server", "pause_game", "set_hud_visible", "fade_audio", "set_welcome_sequence" }) {
		EXPECT_EQ(ClassDB::get_method("XRManager", plain), nullptr) << plain;
	}
}
