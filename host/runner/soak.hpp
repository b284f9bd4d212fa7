#ifndef MOSSGLIMMER_RUNNER_SOAK_HPP
#define MOSSGLIMMER_RUNNER_SOAK_HPP

#include "soak_state.hpp"

#include <random>

class Chaos;

// The soak: its ordinary inputs (soak.cpp), the lifetimes of scene nodes
// (soak_lifetimes.cpp) and the values no device should send (soak_values.cpp),
// over the state it shares with its adversary.
class Soak : private SoakState {
public:
	Soak(Session &r_session, const SoakOptions &p_options);
	// Returns the number of invariant violations.
	int run();

private:
	std::mt19937 _rng;
	float _base_mass = 0.0f;
	int _objects_at_start = 0;
	int _events = 0, _grabs_seen = 0;
	int _settle_frames = 0;

	// Bad values.
	int _bad_values = 0;

	// The adversary, when the soak runs one: it then drives the frames and
	// checks the holding itself.
	Chaos *_chaos = nullptr;

	bool _chance(double p_probability);
	int _pick(int p_count);
	float _value();

	void _ordinary_inputs();
	void _check_invariants();
	void _record_touch(const Touch &p_touch);

	void _doom_a_touched_body();
	void _lifetime_event();

	float _bad_value();
	void _bad_refresh_rate();
	void _bad_typing_delay();
};

#endif // MOSSGLIMMER_RUNNER_SOAK_HPP
