#ifndef MOSSGLIMMER_RUNNER_SOAK_HPP
#define MOSSGLIMMER_RUNNER_SOAK_HPP

#include "session.hpp"

#include <iterator>
#include <map>
#include <random>
#include <string>
#include <set>
#include <vector>

// The soak's state, shared by its ordinary inputs (soak.cpp), the lifetimes
// of scene nodes (soak_lifetimes.cpp) and the values no device should send
// (soak_values.cpp); the adversary (soak_chaos*.cpp) reaches into it too.
class Chaos;
class Soak {
	friend class Chaos;

public:
	Soak(Session &r_session, const SoakOptions &p_options);
	// Returns the number of invariant violations.
	int run();

private:
	struct Touch {
		uint64_t body;
		int32_t shape;
	};

	Session &_session;
	DemoScene &_scene;
	SoakOptions _options;
	std::mt19937 _rng;
	std::vector<int32_t> _shapes;
	std::vector<Touch> _touches;
	float _base_mass = 0.0f;
	int _objects_at_start = 0;
	int _violations = 0;
	std::map<std::string, int> _violation_kinds;
	int _events = 0, _frees = 0, _grabs_seen = 0;
	int _settle_frames = 0;
	bool _freed_this_frame = false;

	// Lifetimes.
	std::set<uint64_t> _doomed; // bodies freed by the next signal that reports them
	int _nodes_replaced = 0, _freed_in_signals = 0, _greeting_checks = 0;
	uint64_t _known_controllers[2] = { 0, 0 }; // the controllers the running manager was made with

	// Bad values.
	int _bad_values = 0;

	// The adversary, when the soak runs one: it then drives the frames and
	// checks the holding itself.
	Chaos *_chaos = nullptr;

	bool _chance(double p_probability);
	int _pick(int p_count);
	float _value();
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

	void _ordinary_inputs();
	void _check_invariants();
	void _check_body_finite();
	void _forget_crate(godot::Object *p_crate);
	void _record_touch(const Touch &p_touch);

	void _listen_for_doomed_bodies();
	void _doom_a_touched_body();
	void _lifetime_event();
	void _replace(const char *p_what);
	// After a session focus with a HUD and controllers the manager knows, a
	// limited number of A/X presses must let the game run.
	void _check_greeting_ends(bool p_free_hud_midway);

	float _bad_value();
	void _bad_refresh_rate();
	void _bad_typing_delay();
};

#endif // MOSSGLIMMER_RUNNER_SOAK_HPP
