#ifndef MOSSGLIMMER_TESTS_XR_SCENE_HPP
#define MOSSGLIMMER_TESTS_XR_SCENE_HPP

// A game scene around the XR manager, an XR server with an OpenXR interface,
// and helpers to play the session through them.
#include "globals.hpp"
#include "hud.hpp"
#include "player.hpp"
#include "support/game_fixture.hpp"
#include "xr_manager.hpp"

#include <godot_cpp/classes/audio_server.hpp>
#include <godot_cpp/classes/audio_stream_player.hpp>
#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/open_xr_interface.hpp>
#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/classes/skeleton3d.hpp>
#include <godot_cpp/classes/xr_camera3d.hpp>
#include <godot_cpp/classes/xr_controller3d.hpp>
#include <godot_cpp/classes/xr_origin3d.hpp>
#include <godot_cpp/classes/xr_server.hpp>

#include <functional>
#include <string>
#include <vector>

struct XRSceneOptions {
	bool player = true;
	bool left_controller = true;
	bool right_controller = true;
	bool hud = true;
	bool origin = true;
	bool camera = true;
	bool skeleton = true;
};

class XRSceneTest : public GameTest {
protected:
	bool saved_is_dev = false;
	godot::Ref<godot::OpenXRInterface> openxr;

	godot::Node3D *root = nullptr;
	godot::Node3D *world = nullptr; // visible top-level 3-D node
	godot::Node3D *hidden = nullptr; // hidden top-level 3-D node
	godot::Node *plain = nullptr; // top-level plain node
	godot::XRManager *manager = nullptr;
	godot::Player *player = nullptr;
	godot::XRController3D *controllers[2] = { nullptr, nullptr };
	godot::HUD *hud = nullptr;
	godot::Skeleton3D *skeleton = nullptr;

	void SetUp() override {
		GameTest::SetUp();
		saved_is_dev = godot::Globals::is_dev;
		godot::Globals::is_dev = false;
		clear_globals();
	}

	void TearDown() override {
		// A greeting still running is freed with the manager when the scene goes.
		openxr.unref();
		clear_globals();
		godot::Globals::is_dev = saved_is_dev;
		GameTest::TearDown();
	}

	static void clear_globals() {
		godot::Globals::cleanup();
		godot::Globals::clear_scene_state();
	}

	static godot::XRServer *server() { return godot::XRServer::get_singleton(); }

	// Adds the engine's OpenXR interface; a runtime is running unless told otherwise.
	godot::Ref<godot::OpenXRInterface> add_openxr(bool p_primary = true, bool p_initialized = true, float p_refresh_rate = 90.0f) {
		openxr.instantiate();
		openxr->_host_set_initialized(p_initialized);
		openxr->set_display_refresh_rate(p_refresh_rate);
		server()->add_interface(openxr);
		if (p_primary) {
			server()->set_primary_interface(openxr);
		}
		return openxr;
	}

	// The nodes of one game scene, as make_scene builds it.
	struct SceneNodes {
		godot::Node3D *root = nullptr;
		godot::Node3D *world = nullptr;
		godot::Node3D *hidden = nullptr;
		godot::Node *plain = nullptr;
		godot::XRManager *manager = nullptr;
		godot::Player *player = nullptr;
		godot::XRController3D *controllers[2] = { nullptr, nullptr };
		godot::HUD *hud = nullptr;
		godot::Skeleton3D *skeleton = nullptr;
	};

	// Main (Node3D, current scene)
	//   World (Node3D), Hidden (Node3D, hidden), Plain (Node)
	//   Rig (Node)
	//     XRManager
	//       XROrigin3D
	//         XRCamera3D
	//     Player
	//       XRController3DLeft, XRController3DRight, HUD, Skeleton3D
	// Detached: a scene that a packed scene's builder can return.
	static SceneNodes make_scene(const XRSceneOptions &p_options = XRSceneOptions()) {
		using namespace godot;
		SceneNodes n;
		Node3D *root = n.root = memnew(Node3D);
		root->set_name("Main");
		n.world = add_node(root, memnew(Node3D), "World", root);
		n.hidden = add_node(root, memnew(Node3D), "Hidden", root);
		n.hidden->set_visible(false);
		n.plain = add_node(root, memnew(Node), "Plain", root);
		Node *rig = add_node(root, memnew(Node), "Rig", root);
		n.manager = add_node(rig, memnew(XRManager), "XRManager", root);
		n.manager->set_process_mode(Node::PROCESS_MODE_ALWAYS);
		if (p_options.origin) {
			Node3D *origin = add_node(n.manager, memnew(XROrigin3D), "XROrigin3D", root);
			if (p_options.camera) {
				add_node(origin, memnew(XRCamera3D), "XRCamera3D", root);
			}
		} else if (p_options.camera) {
			add_node(n.manager, memnew(XRCamera3D), "XRCamera3D", root);
		}
		if (!p_options.player) {
			return n;
		}
		n.player = add_node(rig, memnew(Player), "Player", root);
		if (p_options.left_controller) {
			n.controllers[0] = add_node(n.player, memnew(XRController3D), "XRController3DLeft", root);
		}
		if (p_options.right_controller) {
			n.controllers[1] = add_node(n.player, memnew(XRController3D), "XRController3DRight", root);
		}
		if (p_options.hud) {
			n.hud = add_node(n.player, memnew(HUD), "HUD", root);
			n.hud->set_process_mode(Node::PROCESS_MODE_ALWAYS);
			add_node(n.hud, memnew(AudioStreamPlayer), "AudioStreamPlayer", root);
		}
		if (p_options.skeleton) {
			n.skeleton = add_node(n.player, memnew(Skeleton3D), "Skeleton3D", root);
		}
		return n;
	}

	// Makes p_nodes the scene that the helpers and checks below work on.
	void use_scene(const SceneNodes &p_nodes) {
		root = p_nodes.root;
		world = p_nodes.world;
		hidden = p_nodes.hidden;
		plain = p_nodes.plain;
		manager = p_nodes.manager;
		player = p_nodes.player;
		controllers[0] = p_nodes.controllers[0];
		controllers[1] = p_nodes.controllers[1];
		hud = p_nodes.hud;
		skeleton = p_nodes.skeleton;
	}

	void build_scene(const XRSceneOptions &p_options = XRSceneOptions()) { use_scene(make_scene(p_options)); }

	void start() { godot_host::Host::set_current_scene(root); }

	static bool paused() { return godot_host::Host::tree()->is_paused(); }

	// The last linear volume given to the master bus.
	static float master_volume() {
		const auto &calls = godot::AudioServer::get_singleton()->_host_linear_volume_calls();
		return calls.empty() ? -1.0f : calls.back().linear;
	}

	static size_t recentre_count() { return server()->_host_center_calls().size(); }

	// Errors that the game's XR manager and sequences reported, their
	// partners found freed included.
	static std::vector<std::string> game_errors() {
		std::vector<std::string> out;
		for (const godot_host::LogEntry &e : godot_host::Log::errors()) {
			if (e.file.find("xr_manager") != std::string::npos || e.file.find("sequence") != std::string::npos || e.file.find("globals") != std::string::npos) {
				out.push_back(e.text);
			}
		}
		return out;
	}

	static int count_lines(const std::string &p_line) {
		int n = 0;
		for (const std::string &l : godot_host::Log::printed_lines()) {
			n += l == p_line ? 1 : 0;
		}
		return n;
	}

	// Plays frames of 1/60 s until p_done holds; false if it never does within p_seconds.
	static bool advance_until(const std::function<bool()> &p_done, double p_seconds = 30.0) {
		for (double t = 0.0; t < p_seconds; t += 1.0 / 60.0) {
			if (p_done()) {
				return true;
			}
			godot_host::Host::iteration(1.0 / 60.0);
		}
		return p_done();
	}

	void emit_session(const char *p_signal) { openxr->emit_signal(p_signal); }

	// Answers every wait of the running greetings until the game runs; false
	// if it never does.
	bool answer_until_running() {
		for (int answers = 0; answers < 10 && paused(); answers++) {
			if (!advance_until([&]() { return !paused() || controllers[0]->_host_connection_count("button_pressed") > 1; })) {
				return false;
			}
			press(answers % 2, "ax_button");
			release(answers % 2, "ax_button");
		}
		return !paused();
	}

	void press(int p_hand, const char *p_button) { controllers[p_hand]->emit_signal("button_pressed", godot::String(p_button)); }
	void release(int p_hand, const char *p_button) { controllers[p_hand]->emit_signal("button_released", godot::String(p_button)); }
};

#endif // MOSSGLIMMER_TESTS_XR_SCENE_HPP
