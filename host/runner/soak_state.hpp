#ifndef MOSSGLIMMER_RUNNER_SOAK_STATE_HPP
#define MOSSGLIMMER_RUNNER_SOAK_STATE_HPP

#include "session.hpp"
#include "soak_liveness.hpp"
#include "soak_runtime.hpp"

#include <cstdint>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

// What the soak's parts share: the session and scene they drive, the records
// of what touches the player, the violations, and the checks that both the
// soak (soak.cpp, soak_lifetimes.cpp, soak_values.cpp) and its adversary
// (soak_chaos*.cpp) run. Each part takes this, not the other part, so neither
// needs the other's names.
struct SoakState {
	struct Touch {
		uint64_t body;
		int32_t shape;
	};

	SoakState(Session &r_session, const SoakOptions &p_options) :
			_session(r_session),
			_scene(r_session.scene()),
			_options(p_options),
			_runtime(r_session, p_options.seed),
			_device(_runtime),
			_liveness(r_session, _runtime, _device, _liveness_hooks()) {}
	SoakState(const SoakState &) = delete;
	SoakState &operator=(const SoakState &) = delete;

	Session &_session;
	DemoScene &_scene;
	SoakOptions _options;
	// The runtime's session and the controllers' device, the only senders
	// of session events and controller input; and the liveness check with
	// the person who answers the greetings.
	SoakRuntime _runtime;
	SoakDevice _device;
	SoakLiveness _liveness;
	// World nodes whose visibility a script set or that it moved: theirs to show.
	std::unordered_set<uint64_t> _set_by_script;
	std::vector<int32_t> _shapes;
	std::vector<Touch> _touches;
	int _violations = 0;
	std::map<std::string, int> _violation_kinds;
	int _frees = 0;
	bool _freed_this_frame = false;

	// Lifetimes.
	std::set<uint64_t> _doomed; // bodies freed by the next signal that reports them
	int _nodes_replaced = 0, _freed_in_signals = 0, _greeting_checks = 0;
	uint64_t _known_controllers[2] = { 0, 0 }; // the controllers the running manager was made with

	static bool _alive(uint64_t p_id);
	bool _alive(godot::Object *p_object) const;
	// Drops the ids of objects that are gone, so id records stay as small as what lives.
	template <typename Ids>
	static void _forget_gone(Ids &r_ids) {
		for (auto it = r_ids.begin(); it != r_ids.end();) {
			it = _alive(*it) ? std::next(it) : r_ids.erase(it);
		}
	}
	void _report(const char *p_what);
	// The same, with what tells the fault apart shown with the first few.
	void _report_with(const char *p_what, const std::string &p_detail);
	void _forget_crate(godot::Object *p_crate);
	void _check_body_finite();

	// soak_lifetimes.cpp
	SoakLiveness::Hooks _liveness_hooks();
	// Frames as the soak plays them between its own acts: the runtime moves
	// on, the person answers greetings, and liveness is judged.
	void _before_frame();
	void _after_frame();
	void _play_for(double p_seconds);
	void _listen_for_doomed_bodies();
	void _replace(const char *p_what);
	// Focus lost and back, as the runtime sends it when the session has
	// focus: with a HUD and controllers the manager knows, a limited number
	// of A/X presses must let the game run.
	void _check_greeting_ends(bool p_free_hud_midway);
};

#endif // MOSSGLIMMER_RUNNER_SOAK_STATE_HPP
