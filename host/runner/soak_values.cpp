// Values no device should send, sent all the same: the body must stay
// finite, the frame pacing sane and the greetings able to end.
#include "soak.hpp"
#include "soak_state.hpp"

#include <godot_cpp/classes/engine.hpp>

#include <cmath>
#include <limits>

using namespace godot;

namespace {

bool sane_rate(float p_rate) {
	return std::isfinite(p_rate) && p_rate >= 1.0f && p_rate <= 1000.0f;
}

} // namespace

float Soak::_bad_value() {
	_bad_values++;
	const float values[] = { std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(), 1e30f, -1e30f,
		std::numeric_limits<float>::quiet_NaN() };
	return values[_pick(5)];
}

void Soak::_bad_refresh_rate() {
	if (_scene.openxr.is_null()) {
		return;
	}
	const float rates[] = { 0.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
		-std::numeric_limits<float>::infinity(), 1e30f, -72.0f, 72.0f, 120.0f };
	float rate = rates[_pick(8)];
	_bad_values += sane_rate(rate) ? 0 : 1;
	Engine *engine = Engine::get_singleton();
	int32_t fps = engine->get_max_fps(), ticks = engine->get_physics_ticks_per_second();
	// Only a running session reports its rate.
	if (!_runtime.running()) {
		return;
	}
	if (_chance(0.5)) {
		_session.say("OpenXR runtime: refresh_rate_changed %g\n", (double)rate);
		_scene.openxr->emit_signal("refresh_rate_changed", rate);
	} else if (_chance(0.2) && _runtime.focussed()) {
		// The interface reports the rate; session visible paces by it, once
		// the session loses focus as the runtime moves it (now and then, not
		// each time: focus comes back with a greeting).
		float good = _scene.openxr->get_display_refresh_rate();
		_scene.openxr->set_display_refresh_rate(rate);
		_session.say("OpenXR runtime: display rate %g\n", (double)rate);
		_runtime.lose_focus();
		_scene.openxr->set_display_refresh_rate(good);
	}
	if (!sane_rate(rate) && (engine->get_max_fps() != fps || engine->get_physics_ticks_per_second() != ticks)) {
		_report("a refresh rate that is no rate changed the frame pacing");
	}
}

void Soak::_bad_typing_delay() {
	if (!_alive(_scene.hud)) {
		return;
	}
	const double delays[] = { std::numeric_limits<double>::quiet_NaN(), 0.0, -0.05, std::numeric_limits<double>::infinity() };
	double delay = delays[_pick(4)];
	_bad_values++;
	_session.say("soak: HUD typing delay %g\n", delay);
	_scene.hud->set("m_typing_delay", delay);
	_check_greeting_ends(false);
}
