// Headless runner: loads the game library as the engine does (dlopen and the
// entry symbol), builds a scene that follows the game's scene contracts and
// plays a session on it, printing what a person watching would want to see.
#include "demo_scene.hpp"
#include "engine_log.hpp"
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

struct Options {
	std::string library = MOSSGLIMMER_LIBRARY;
	std::string scenario = "session";
	bool dev = false;
	bool editor = false;
	bool quiet = false;
	bool realtime = false;
	bool replace_nodes = false;
	bool free_bodies_in_signals = false;
	bool bad_values = false;
	bool chaos = false;
	float refresh_rate = 90.0f;
	double soak_seconds = 120.0;
	unsigned seed = 1;
	std::set<std::string> without;
};

void usage() {
	std::printf(
			"usage: mossglimmer-runner [options]\n"
			"  --library PATH     the game library (default: the one built alongside)\n"
			"  --scenario NAME    session (default): start-up, greeting, flying, grabbing,\n"
			"                     pushing off a wall, focus lost and regained;\n"
			"                     startup: load, start up and list the registered classes;\n"
			"                     soak: a long randomised session checking invariants\n"
			"  --seconds N        length of the soak (default 120)\n"
			"  --seed N           seed of the soak (default 1)\n"
			"  --hard             the soak also frees and re-adds the scene's nodes, frees bodies\n"
			"                     inside their contact signals and sends values no device should\n"
			"  --hard-only KINDS  only these of them, comma-separated: nodes, bodies, values\n"
			"  --chaos            the soak's bodies and values, with a script inside every signal\n"
			"                     the library emits or sets off that frees, moves, renames and\n"
			"                     poisons what it finds (and adds it back), pauses the game,\n"
			"                     calls back into the library and gives frames of any length\n"
			"  --realtime         wait out each frame's time (frames follow the engine's frame\n"
			"                     limit, %d a second without one)\n"
			"  --dev              run with the developer marker (DEV beside the working directory)\n"
			"  --refresh-rate HZ  the headset's display refresh rate (default 90)\n"
			"  --editor           run as the editor: the game's nodes switch themselves off\n"
			"  --without NODE     leave a node of the scene contract out (repeatable); one of:\n"
			"                    ",
			UNLIMITED_FRAME_RATE);
	for (const std::string &n : omittable_nodes()) {
		std::printf(" %s", n.c_str());
	}
	std::printf("\n  --quiet            print only the summary\n  --help             this text\n");
}

bool parse(int argc, char **argv, Options &r_options) {
	for (int i = 1; i < argc; i++) {
		std::string a = argv[i];
		auto next = [&](const char *p_what) -> const char * {
			if (i + 1 >= argc) {
				std::fprintf(stderr, "%s needs %s\n", a.c_str(), p_what);
				std::exit(2);
			}
			return argv[++i];
		};
		if (a == "--help" || a == "-h") {
			usage();
			std::exit(0);
		} else if (a == "--library") {
			r_options.library = next("a path");
		} else if (a == "--scenario") {
			r_options.scenario = next("a name");
		} else if (a == "--seconds") {
			r_options.soak_seconds = std::atof(next("a number"));
		} else if (a == "--seed") {
			r_options.seed = (unsigned)std::strtoul(next("a number"), nullptr, 10);
		} else if (a == "--dev") {
			r_options.dev = true;
		} else if (a == "--refresh-rate") {
			r_options.refresh_rate = (float)std::atof(next("a rate"));
		} else if (a == "--editor") {
			r_options.editor = true;
		} else if (a == "--without") {
			r_options.without.insert(next("a node name"));
		} else if (a == "--hard") {
			r_options.replace_nodes = r_options.free_bodies_in_signals = r_options.bad_values = true;
		} else if (a == "--hard-only") {
			std::string kinds = std::string(",") + next("a list") + ",";
			r_options.replace_nodes = kinds.find(",nodes,") != std::string::npos;
			r_options.free_bodies_in_signals = kinds.find(",bodies,") != std::string::npos;
			r_options.bad_values = kinds.find(",values,") != std::string::npos;
		} else if (a == "--chaos") {
			r_options.chaos = true;
		} else if (a == "--realtime") {
			r_options.realtime = true;
		} else if (a == "--quiet") {
			r_options.quiet = true;
		} else {
			std::fprintf(stderr, "unknown option %s (see --help)\n", a.c_str());
			return false;
		}
	}
	if (r_options.scenario != "session" && r_options.scenario != "startup" && r_options.scenario != "soak") {
		std::fprintf(stderr, "unknown scenario %s\n", r_options.scenario.c_str());
		return false;
	}
	if (r_options.refresh_rate <= 0) {
		std::fprintf(stderr, "the refresh rate must be positive\n");
		return false;
	}
	return true;
}

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
	Options options;
	if (!parse(argc, argv, options)) {
		return 2;
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
			std::printf("summary%s: greeted %s, grabbed %s, released where carried %s, pushed off %s, welcomed back %s; %d engine errors\n", missing.c_str(),
					r.greeted ? "yes" : "no", r.grabbed ? "yes" : "no", r.released_where_carried ? "yes" : "no", r.pushed_off ? "yes" : "no",
					r.welcomed_back ? "yes" : "no", EngineLog::error_count());
			// With the whole scene every step must work; runs without a node only must not crash.
			bool complete = r.greeted && r.grabbed && r.released_where_carried && r.pushed_off && r.welcomed_back;
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
