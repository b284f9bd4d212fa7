// Start-up of the XR manager: what it finds, fills and connects, in the
// editor and in a run, and how it copes with a scene that lacks a partner.
#include "xr_manager/xr_scene.hpp"

#include <godot_cpp/classes/display_server.hpp>
#include <godot_cpp/classes/viewport.hpp>
#include <godot_cpp/classes/window.hpp>
#include <godot_cpp/classes/xr_hand_tracker.hpp>
#include <godot_cpp/classes/xr_interface.hpp>
#include <godot_cpp/classes/xr_positional_tracker.hpp>

using namespace godot;
using godot_host::Host;
using godot_host::Log;

namespace {

const char *const SESSION_SIGNALS[] = { "instance_exiting", "play_area_changed", "pose_recentered", "refresh_rate_changed",
	"session_begun", "session_focussed", "session_loss_pending", "session_stopping", "session_visible" };
const char *const CONTROLLER_SIGNALS[] = { "button_pressed", "button_released", "input_float_changed", "input_vector2_changed", "profile_changed" };

Ref<XRPositionalTracker> add_positional(const char *p_name) {
	Ref<XRPositionalTracker> t;
	t.instantiate();
	t->set_tracker_name(p_name);
	XRServer::get_singleton()->add_tracker(t);
	return t;
}

Ref<XRHandTracker> add_hand(const char *p_name) {
	Ref<XRHandTracker> t;
	t.instantiate();
	t->set_tracker_name(p_name);
	XRServer::get_singleton()->add_tracker(t);
	return t;
}

const std::string HINT_1 = "Could not find OpenXR interface.";
const std::string HINT_2 = "Try opening SteamVR...";

} // namespace

using XRManagerStartup = XRSceneTest;

TEST_F(XRManagerStartup, InTheEditorOnlyProcessingIsSwitchedOff) {
	Host::set_editor_hint(true);
	add_openxr();
	add_positional("left_hand");
	build_scene();
	start();

	EXPECT_FALSE(manager->is_processing());
	EXPECT_FALSE(manager->is_physics_processing());
	EXPECT_FALSE(paused());
	EXPECT_TRUE(AudioServer::get_singleton()->_host_linear_volume_calls().empty());
	EXPECT_EQ(manager->get_child_count(), 1); // the origin only, no fade timer
	EXPECT_TRUE(Globals::pos_trackers[0].is_null());
	EXPECT_EQ(Globals::m_xr_origin, nullptr);
	EXPECT_EQ(manager->xr_server, nullptr);
	EXPECT_EQ(openxr->_host_connection_count("session_begun"), 0);
	EXPECT_EQ(controllers[0]->_host_connection_count("button_pressed"), 0);
	EXPECT_FALSE(Host::tree()->get_root()->is_using_xr());
}

TEST_F(XRManagerStartup, FillsTheSharedStateAndConnectsEverything) {
	add_openxr();
	Ref<XRPositionalTracker> left = add_positional("left_hand");
	Ref<XRPositionalTracker> right = add_positional("right_hand");
	Ref<XRPositionalTracker> head = add_positional("head");
	build_scene();
	EXPECT_TRUE(manager->show_welcome);
	start();

	EXPECT_TRUE(paused());
	ASSERT_EQ(AudioServer::get_singleton()->_host_linear_volume_calls().size(), 1u);
	EXPECT_EQ(AudioServer::get_singleton()->_host_linear_volume_calls()[0].bus, 0);
	EXPECT_EQ(master_volume(), 0.0f);

	ASSERT_NE(manager->audio_fade_timer, nullptr);
	EXPECT_EQ(manager->audio_fade_timer->get_parent(), manager);
	EXPECT_TRUE(manager->audio_fade_timer->is_stopped());
	EXPECT_FALSE(manager->audio_fade_timer->is_one_shot());

	EXPECT_EQ(manager->xr_server, XRServer::get_singleton());
	EXPECT_EQ(manager->primary_interface, openxr);
	EXPECT_EQ(Globals::xr_interface, openxr);
	EXPECT_EQ(Globals::get_xr_origin(), manager->find_child("XROrigin3D", true, true));
	EXPECT_NE(Globals::get_xr_camera(), nullptr);
	ASSERT_EQ(Globals::pos_trackers.size(), 3u);
	EXPECT_EQ(Globals::pos_trackers[0], left);
	EXPECT_EQ(Globals::pos_trackers[1], right);
	EXPECT_EQ(Globals::pos_trackers[2], head);
	EXPECT_TRUE(Globals::hand_trackers.empty()); // no hand tracking support
	EXPECT_EQ(manager->player, player);
	EXPECT_EQ(manager->get_hud(), hud);
	EXPECT_EQ(Globals::get_hand_controller(0), controllers[0]);
	EXPECT_EQ(Globals::get_hand_controller(1), controllers[1]);

	Window *root_viewport = Host::tree()->get_root();
	EXPECT_TRUE(root_viewport->is_using_xr());
	EXPECT_EQ(root_viewport->get_vrs_mode(), Viewport::VRS_XR);
	EXPECT_EQ(DisplayServer::get_singleton()->window_get_vsync_mode(0), DisplayServer::VSYNC_DISABLED);

	for (const char *s : SESSION_SIGNALS) {
		EXPECT_TRUE(openxr->is_connected(s, Callable(manager, String("_on_") + s))) << s;
	}
	for (int hand = 0; hand < 2; hand++) {
		for (const char *s : CONTROLLER_SIGNALS) {
			EXPECT_EQ(controllers[hand]->_host_connection_count(s), 1) << s;
		}
	}
	EXPECT_EQ(Log::printed_lines().size(), 0u);
	EXPECT_TRUE(game_errors().empty());
}

TEST_F(XRManagerStartup, DeveloperRunSkipsTheFirstGreetingAndProbesTheGrip) {
	Globals::is_dev = true;
	add_openxr();
	build_scene();
	EXPECT_FALSE(manager->show_welcome);
	start();
	for (int hand = 0; hand < 2; hand++) {
		EXPECT_EQ(controllers[hand]->_host_connection_count("input_float_changed"), 2);
		EXPECT_TRUE(controllers[hand]->is_connected("input_float_changed", Callable(manager, "_check_for_grip_sensor")));
	}
}

TEST_F(XRManagerStartup, UninitialisedInterfacePrintsTheHintAndGoesOn) {
	add_openxr(true, false);
	build_scene();
	start();
	std::vector<std::string> lines = Log::printed_lines();
	ASSERT_EQ(lines.size(), 2u);
	EXPECT_EQ(lines[0], HINT_1);
	EXPECT_EQ(lines[1], HINT_2);
	EXPECT_TRUE(openxr->is_connected("session_begun", Callable(manager, "_on_session_begun")));
	EXPECT_TRUE(paused());
}

TEST_F(XRManagerStartup, WithoutAnOpenXRPrimaryTheViewportIsLeftAlone) {
	// Two cases: OpenXR present but not primary; a primary of another kind.
	for (int variant = 0; variant < 2; variant++) {
		SCOPED_TRACE(variant);
		Host::reset();
		clear_globals();
		Log::clear();
		Ref<XRInterface> other;
		add_openxr(false);
		if (variant == 1) {
			other.instantiate();
			other->_host_set_name("Mock");
			server()->add_interface(other);
			server()->set_primary_interface(other);
		}
		openxr->_host_set_hand_tracking_supported(true);
		build_scene();
		start();
		EXPECT_TRUE(manager->primary_interface.is_null());
		EXPECT_FALSE(Host::tree()->get_root()->is_using_xr());
		EXPECT_EQ(Host::tree()->get_root()->get_vrs_mode(), Viewport::VRS_DISABLED);
		EXPECT_EQ(DisplayServer::get_singleton()->window_get_vsync_mode(0), DisplayServer::VSYNC_ENABLED);
		EXPECT_TRUE(Globals::hand_trackers.empty());
		EXPECT_TRUE(Log::printed_lines().empty()) << log_text(); // no tracker count
		Log::clear();
		openxr->emit_signal("session_stopping");
		EXPECT_EQ(count_lines("++++++++++ SESSION_STOPPING ++++++++++"), 1);
	}
}

TEST_F(XRManagerStartup, HandTrackersAreSortedByTheirNames) {
	add_openxr()->_host_set_hand_tracking_supported(true);
	add_positional("left_hand");
	add_positional("head");
	Ref<XRHandTracker> first_left = add_hand("/user/hand_tracker/left");
	Ref<XRHandTracker> right = add_hand("/user/hand_tracker/right");
	Ref<XRHandTracker> capital = add_hand("/user/hand_tracker/Left"); // no "left": right side
	Ref<XRHandTracker> later_left = add_hand("my_left_glove");
	build_scene();
	start();

	// Every tracker counts, positional ones included.
	std::vector<std::string> lines = Log::printed_lines();
	ASSERT_EQ(lines.size(), 1u);
	EXPECT_EQ(lines[0], "6");
	ASSERT_EQ(Globals::hand_trackers.size(), 2u);
	EXPECT_EQ(Globals::hand_trackers[0], later_left);
	EXPECT_EQ(Globals::hand_trackers[1], capital);
}

TEST_F(XRManagerStartup, NoHandTrackerLeavesTheEntriesAndExtraPositionalEntriesGo) {
	add_openxr()->_host_set_hand_tracking_supported(true);
	Ref<XRPositionalTracker> stale = add_positional("stale");
	Globals::pos_trackers = { stale, stale, stale, stale, stale };
	build_scene();
	start();
	ASSERT_EQ(Globals::hand_trackers.size(), 2u);
	EXPECT_TRUE(Globals::hand_trackers[0].is_null());
	EXPECT_TRUE(Globals::hand_trackers[1].is_null());
	ASSERT_EQ(Globals::pos_trackers.size(), 3u);
	for (const Ref<XRPositionalTracker> &t : Globals::pos_trackers) {
		EXPECT_TRUE(t.is_null());
	}
	EXPECT_EQ(stale->get_reference_count(), 2); // ours and the server's
}

// ---- Missing partners ----

TEST_F(XRManagerStartup, NoOpenXRInterfaceIsReportedAndTheRestIsSetUp) {
	build_scene();
	start();
	EXPECT_EQ(game_errors().size(), 1u);
	EXPECT_EQ(count_lines(HINT_1), 1);
	EXPECT_TRUE(paused());
	EXPECT_EQ(controllers[0]->_host_connection_count("button_pressed"), 1);
	EXPECT_EQ(controllers[1]->_host_connection_count("profile_changed"), 1);
	EXPECT_EQ(manager->get_hud(), hud);
}

TEST_F(XRManagerStartup, EachMissingNodeIsReported) {
	struct Case {
		const char *name;
		XRSceneOptions options;
	};
	std::vector<Case> cases(5);
	cases[0] = { "player", {} };
	cases[0].options.player = false;
	cases[1] = { "left controller", {} };
	cases[1].options.left_controller = false;
	cases[2] = { "hud", {} };
	cases[2].options.hud = false;
	cases[3] = { "origin and camera", {} };
	cases[3].options.origin = false;
	cases[3].options.camera = false;
	cases[4] = { "camera", {} };
	cases[4].options.camera = false;
	const size_t expected_errors[] = { 2, 1, 1, 2, 1 }; // no player: the HUD is missing as well

	for (size_t i = 0; i < cases.size(); i++) {
		SCOPED_TRACE(cases[i].name);
		Host::reset();
		clear_globals();
		Log::clear();
		controllers[0] = controllers[1] = nullptr;
		add_openxr();
		build_scene(cases[i].options);
		start();
		EXPECT_EQ(game_errors().size(), expected_errors[i]);
		EXPECT_TRUE(paused());
		EXPECT_TRUE(openxr->is_connected("session_visible", Callable(manager, "_on_session_visible")));
		if (controllers[1]) {
			EXPECT_EQ(controllers[1]->_host_connection_count("button_pressed"), 1);
		}
	}
}
