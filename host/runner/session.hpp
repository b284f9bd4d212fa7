#ifndef MOSSGLIMMER_RUNNER_SESSION_HPP
#define MOSSGLIMMER_RUNNER_SESSION_HPP

#include "demo_scene.hpp"

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// Drives the engine's main loop over the demo scene and reports what a person
// watching the headset would want to know.
class Session {
public:
	// Frames are paced by the engine's frame limit; without one each takes
	// the given time. Realtime sessions also wait out each frame's time.
	Session(DemoScene &r_scene, double p_unlimited_delta, bool p_verbose, bool p_realtime = false);

	// One main-loop iteration, then what a person watching would notice.
	void frame();
	// One iteration of the given frame time, whatever the frame limit: a
	// stalled, hitched or broken clock.
	void frame(double p_delta);
	void run_for(double p_seconds, const std::function<void()> &p_each_frame = {});
	// Runs until the condition holds; false when the time ran out.
	bool run_until(const std::function<bool()> &p_condition, double p_timeout);

	// Presses A/X after every text the HUD finishes until the game runs again.
	bool answer_greeting(double p_timeout);

	// Runs after each main-loop iteration, before the session looks at the
	// scene: a soak that frees nodes keeps the scene's records true with it.
	void set_after_iteration(std::function<void()> p_hook) { _after_iteration = std::move(p_hook); }

	void emit_session(const char *p_signal);
	// Prints a line stamped with the session time, unless quiet; the engine's
	// lines logged before it come first.
	void say(const char *p_format, ...) __attribute__((format(printf, 2, 3)));
	void press(int p_hand, const char *p_button);
	int held_count() const;
	bool paused() const;
	double time() const { return _time; }
	// How many texts the HUD has finished typing.
	int texts_typed() const { return _texts_typed; }
	DemoScene &scene() { return _scene; }

	// The HUD's text as its glyphs show it, top line first.
	static std::vector<std::string> read_hud(godot::Node *p_hud, bool p_visible_only);
	// The body's heading in degrees: its turn about the up axis.
	static double heading_degrees(const godot::Basis &p_basis);

private:
	DemoScene &_scene;
	double _unlimited_delta;
	bool _verbose;
	bool _realtime;
	double _time = 0.0;
	std::chrono::steady_clock::time_point _started;
	double _next_status = 1.0;
	double _text_done_at = -1.0;
	int _texts_typed = 0;
	// What the watcher last saw.
	uint64_t _watched_hud = 0;
	bool _hud_shown = false;
	std::string _typing_key;
	std::string _typing_text;
	bool _typing_finished = false;
	uint64_t _recentres_seen = 0;
	uint64_t _frames_at_status = 0;
	uint64_t _ticks_at_status = 0;
	std::function<void()> _after_iteration;

	void _frame_done();
	void _observe();
	void _watch_hud();
	void _watch_recentre();
	void _status_line();
};

struct PlayReport {
	bool greeted = false;
	bool grabbed = false;
	bool released_where_carried = false;
	bool pushed_off = false;
	bool welcomed_back = false;
	bool reloaded = false;
};

// The scripted session: start-up, the session events, the greeting, flying,
// grabbing, carrying, releasing, pushing off a wall, focus lost and regained,
// then the level reloaded mid-session (a respawn).
PlayReport play_scripted_session(Session &r_session);

struct SoakOptions {
	double seconds = 120.0;
	unsigned seed = 1;
	// The hard soak: free and re-add the scene's contract nodes, free bodies
	// inside the signals that report them, send values no device should.
	bool replace_nodes = false;
	bool free_bodies_in_signals = false;
	bool bad_values = false;
	// A script inside the library's signals that frees, moves, renames and
	// poisons what it finds, and breaks the frame clock.
	bool chaos = false;
	bool hard() const { return replace_nodes || free_bodies_in_signals || bad_values || chaos; }
};

// A long randomised session checking its invariants; returns the number of violations.
int play_soak(Session &r_session, const SoakOptions &p_options);

#endif // MOSSGLIMMER_RUNNER_SESSION_HPP
