// Headless runner: loads the game library as the engine does (dlopen and the
// entry symbol), builds a scene that follows the game's scene contracts and
// plays a session on it, printing what a person watching would want to see.
#include "demo_scene.hpp"
#include "engine_log.hpp"
#include "runner_options.hpp"
#include "session.hpp"

#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_host/host.hpp>
#include <godot_host/log.hpp>
#include <godot_host/physics_world.hpp>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

using godot_host::Host;

namespace {

// Frames a second while the game sets no frame limit.
constexpr int UNLIMITED_FRAME_RATE = 60;

// The library looks for its developer marker once, when it is loaded: run
// from a directory whose parent holds "DEV".
std::filesystem::path enter_developer_directory() {
	char tmpl[] = "/tmp/mossglimmer-dev-XXXXXX";
	if (!mkdtemp(tmpl)) {
		return {};
	}
	std::filesystem::path base(tmpl);
	std::error_code ec;
	std::filesystem::create_directory(base / "DEV", ec);
	std::filesystem::create_directory(base / "game", ec);
	if (chdir((base / "game").c_str()) != 0) {
		return {};
	}
	return base;
}

} // namespace

int main(int argc, char **argv) {
	RunnerOptions options;
	options.library = MOSSGLIMMER_LIBRARY;
	std::string refused;
	switch (parse_runner_options(argc, argv, options, refused)) {
		case ParseResult::HELP:
			print_runner_usage(UNLIMITED_FRAME_RATE);
			return 0;
		case ParseResult::REFUSED:
			std::fprintf(stderr, "mossglimmer-runner: %s\n", refused.c_str());
			return 2;
		case ParseResult::RUN:
			break;
	}
	if (options.library.find('/') == std::string::npos) {
		options.library = "./" + options.library;
	}
	options.library = std::filesystem::absolute(options.library).string();
	std::filesystem::path dev_dir;
	std::filesystem::path start_dir = std::filesystem::current_path();
	if (options.dev) {
		dev_dir = enter_developer_directory();
		if (dev_dir.empty()) {
			std::fprintf(stderr, "could not set up the developer marker\n");
			return 1;
		}
	}

	EngineLog::start(!options.quiet);
	Host::set_editor_hint(options.editor);
	godot_host::Extension extension;
	if (!extension.open(options.library)) {
		std::fprintf(stderr, "could not load %s\n", options.library.c_str());
		return 1;
	}
	extension.initialize();
	if (!options.quiet) {
		std::printf("Loaded %s%s%s\nRegistered classes:\n", options.library.c_str(), options.dev ? " (developer run)" : "",
				options.editor ? " (as the editor)" : "");
		for (const godot::StringName &name : godot::ClassDB::get_extension_classes()) {
			std::printf("  %s (%s)\n", godot::String(name).utf8().get_data(), godot::String(godot::ClassDB::get_parent_class(name)).utf8().get_data());
		}
	}

	int status = 0;
	{
		SceneOptions scene_options;
		scene_options.without = options.without;
		scene_options.refresh_rate = options.refresh_rate;
		if (!options.quiet) {
			for (const std::string &n : options.without) {
				std::printf("The scene is built without \"%s\".\n", n.c_str());
			}
		}
		DemoScene scene = build_demo_scene(scene_options);
		Host::set_current_scene(scene.world);
		Session session(scene, 1.0 / UNLIMITED_FRAME_RATE, !options.quiet, options.realtime);
		if (options.scenario == "startup" || options.editor) {
			// In the editor the game's nodes switch themselves off: nothing to play.
			session.run_for(1.0);
			std::printf("summary: started up%s; %d engine errors\n", options.editor ? " as the editor" : "", EngineLog::error_count());
		} else if (options.scenario == "soak") {
			session.emit_session("session_begun");
			session.emit_session("session_visible");
			session.emit_session("session_focussed");
			session.answer_greeting(60.0);
			SoakOptions soak;
			soak.seconds = options.soak_seconds;
			soak.seed = options.seed;
			// The adversary frees and adds back the scene's nodes itself, and
			// is checked against finite contacts and poses.
			soak.chaos = options.chaos;
			soak.replace_nodes = options.replace_nodes && !options.chaos;
			soak.free_bodies_in_signals = options.free_bodies_in_signals || options.chaos;
			soak.bad_values = options.bad_values || options.chaos;
			status = play_soak(session, soak) == 0 ? 0 : 1;
		} else {
			PlayReport r = play_scripted_session(session);
			std::string missing;
			for (const std::string &n : options.without) {
				missing += (missing.empty() ? " (scene without " : ", ") + n;
			}
			missing += missing.empty() ? "" : ")";
			std::printf("summary%s: greeted %s, grabbed %s, released where carried %s, pushed off %s, welcomed back %s, reloaded mid-session %s; %d engine errors\n", missing.c_str(),
					r.greeted ? "yes" : "no", r.grabbed ? "yes" : "no", r.released_where_carried ? "yes" : "no", r.pushed_off ? "yes" : "no",
					r.welcomed_back ? "yes" : "no", r.reloaded ? "yes" : "no", EngineLog::error_count());
			// With the whole scene every step must work; runs without a node only must not crash.
			bool complete = r.greeted && r.grabbed && r.released_where_carried && r.pushed_off && r.welcomed_back && r.reloaded;
			status = options.without.empty() && !complete ? 1 : 0;
		}
	}
	Host::reset();
	godot_host::PhysicsWorld::reset();
	extension.close();
	if (!dev_dir.empty()) {
		std::error_code ec;
		std::filesystem::current_path(start_dir, ec);
		std::filesystem::remove_all(dev_dir, ec);
	}
	return status;
}
