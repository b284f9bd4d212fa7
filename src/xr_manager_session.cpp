// The XR manager's part that follows the OpenXR session: the session events,
// the greetings they start, frame pacing and the master-bus fade.
#include "xr_manager.hpp"

#include "globals.hpp"
#include "hud.hpp"
#include "library_timer.hpp"
#include "sequences/welcome_back_sequence.hpp"
#include "sequences/welcome_sequence.hpp"

#include <godot_cpp/classes/audio_server.hpp>
#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/utility_functions.hpp>

#include <cmath>
#include <cstdint>

namespace godot {

namespace {

// Refresh rates outside this range are no rates a headset runs at (a runtime
// without the refresh-rate extension reports 0).
constexpr float MIN_REFRESH_RATE = 1.0f;
constexpr float MAX_REFRESH_RATE = 1000.0f;

constexpr float FADE_IN_SECONDS = 2.0f;

// Makes and starts a greeting of p_manager. Making and starting it can run
// scripts: null when one freed the manager or took the game from it (the
// greeting, which nobody else knows of yet, goes too), or freed the greeting.
template <typename T>
T *make_greeting(XRManager *p_manager) {
	const uint64_t manager_id = p_manager->get_instance_id();
	T *sequence = memnew(T(p_manager));
	const uint64_t sequence_id = sequence->get_instance_id();
	if (still_exists(manager_id) && still_exists(sequence_id)) {
		sequence->start();
	}
	XRManager *manager = live<XRManager>(manager_id);
	if (!manager || !manager->is_running()) {
		if (still_exists(sequence_id)) {
			memdelete(sequence);
		}
		return nullptr;
	}
	return still_exists(sequence_id) ? sequence : nullptr;
}

// Whether p_timer will tick: in the tree, counting down (the engine's timer
// processes internally exactly while it runs and is not paused; its time
// left can read 0 between the ticks of long frames) and allowed to process.
bool timer_runs(Timer *p_timer) {
	return p_timer && p_timer->is_inside_tree() && (p_timer->is_processing_internal() || p_timer->is_physics_processing_internal()) && p_timer->can_process();
}

} // namespace

// The banner and what concerns the whole process (recentring, pacing) come
// from the running manager, or from any that hears the session while none
// runs (between two scenes): the event is then told once.
bool XRManager::prints_session_events() const {
	return is_running() || !counts_as_running(game_owner_id);
}

// Prints the event's banner (when this manager speaks for the session) and
// says whether this manager acts on it. How far the session has come is
// noted by the library's own follower of the interface (Globals), not here:
// a script that calls a handler tells this manager, not the runtime's state.
bool XRManager::hear_session(const char *p_banner) {
	if (prints_session_events()) {
		UtilityFunctions::print(p_banner);
	}
	return is_running();
}

void XRManager::_on_instance_exiting() {
	hear_session("++++++++++ INSTANCE_EXITING ++++++++++");
}

void XRManager::_on_play_area_changed(int p_mode) {
	if (prints_session_events()) {
		UtilityFunctions::print("++++++++++ PLAY_AREA_CHANGED ++++++++++", p_mode);
	}
}

void XRManager::_on_pose_recentered() {
	if (prints_session_events()) {
		UtilityFunctions::print("++++++++++ POSE_RECENTERED ++++++++++");
		recenter();
	}
}

void XRManager::_on_refresh_rate_changed(float p_refresh_rate) {
	if (prints_session_events()) {
		UtilityFunctions::print("++++++++++ REFRESH_RATE_CHANGED ++++++++++", (double)p_refresh_rate);
		pace_frames(p_refresh_rate);
	}
}

void XRManager::_on_session_begun() {
	if (!hear_session("++++++++++ SESSION_BEGUN ++++++++++")) {
		return;
	}
	const uint64_t self_id = get_instance_id();
	set_hud_visible(true);
	if (!still_running(self_id)) {
		return;
	}
	fade_audio(true, FADE_IN_SECONDS);
}

void XRManager::_on_session_focussed() {
	if (!hear_session("++++++++++ SESSION_FOCUSSED ++++++++++")) {
		return;
	}
	const uint64_t self_id = get_instance_id();
	bring_volume_up();
	if (still_running(self_id)) {
		greet();
	}
}

// A session that shows or has the focus is under way, whether or not its
// start was heard (a manager that came after a stop, say): the master
// volume, silenced until then, comes up.
void XRManager::bring_volume_up() {
	if (volume_held_down && !fade_running) {
		fade_in_from_where_it_is();
	}
}

// The focus rule: the first-run greeting at the first focus, the short one
// at any later focus that finds none running.
void XRManager::greet() {
	if (!get_hud()) {
		// Nothing can greet the player, and only a greeting unpauses: start
		// the game as a finished greeting would.
		ERR_PRINT("No HUD to greet the player on: the game starts without a greeting.");
		end_greetings_without_hud();
		return;
	}
	const bool greeting = get_welcome_sequence() || get_welcome_back_sequence();
	const uint64_t self_id = get_instance_id();
	if (show_welcome) {
		show_welcome = false;
		Globals::first_greeting_started = true;
		WelcomeSequence *sequence = make_greeting<WelcomeSequence>(this);
		if (still_running(self_id)) {
			set_welcome_sequence(sequence);
		}
	} else if (!greeting) {
		WelcomeBackSequence *sequence = make_greeting<WelcomeBackSequence>(this);
		if (still_running(self_id)) {
			set_welcome_back_sequence(sequence);
		}
	}
}

void XRManager::_on_session_loss_pending() {
	if (prints_session_events()) {
		UtilityFunctions::print("++++++++++ SESSION_LOSS_PENDING ++++++++++");
	}
}

void XRManager::_on_session_stopping() {
	hear_session("++++++++++ SESSION_STOPPING ++++++++++");
}

void XRManager::_on_session_visible() {
	if (!hear_session("++++++++++ SESSION_VISIBLE ++++++++++")) {
		return;
	}
	const uint64_t self_id = get_instance_id();
	pause_game(true);
	if (!still_running(self_id)) {
		return;
	}
	set_hud_visible(true);
	if (!still_running(self_id)) {
		return;
	}
	pace_frames_to_headset();
	bring_volume_up();
}

// Frames and physics steps at the rate the headset runs at now.
void XRManager::pace_frames_to_headset() {
	if (primary_interface.is_valid()) {
		pace_frames(primary_interface->get_display_refresh_rate());
	} else {
		ERR_PRINT("The primary XR interface is not an OpenXR interface: the frame rate is left as it is.");
	}
}

void XRManager::pace_frames(float p_rate) {
	// Written so that NaN fails too; only then is the cast defined.
	if (!(p_rate >= MIN_REFRESH_RATE && p_rate <= MAX_REFRESH_RATE)) {
		if (!bad_rate_reported) {
			bad_rate_reported = true;
			ERR_PRINT(vformat("The headset reports a refresh rate of %s Hz: the frame and physics rates are left as they are.", (double)p_rate));
		}
		return;
	}
	const int32_t rate = (int32_t)p_rate;
	Engine::get_singleton()->set_max_fps(rate);
	Engine::get_singleton()->set_physics_ticks_per_second(rate);
}

// ---- Audio fade ----

void XRManager::fade_audio(bool p_fade_in, float p_duration) {
	float fps = (float)Engine::get_singleton()->get_max_fps();
	if (fps <= 0.0f) {
		fps = 60.0f;
	}
	float interval = 1.0f / fps;
	const float steps = fps * p_duration;
	// NaN, infinite or negative: no steps, so the first tick sets the end volume.
	if (!(steps >= 0.0f) || std::isinf(steps)) {
		fade_steps = 0;
	} else {
		fade_steps = steps < (float)INT32_MAX ? (int32_t)steps : INT32_MAX;
	}
	if (p_fade_in) {
		fade_from = 0.0f;
		fade_to = 1.0f;
	} else {
		fade_from = 1.0f;
		fade_to = 0.0f;
	}
	fade_step = 0;
	fade_timer_read_none = false;
	volume_held_down = true;
	fade_interval = (double)interval;
	fade_running = true;
	const uint64_t self_id = get_instance_id();
	if (keep_fade_timer_running()) {
		// A fresh countdown: a new fade starts from its first step.
		get_audio_fade_timer()->start(fade_interval);
		return;
	}
	if (still_exists(self_id)) {
		end_stalled_fade();
	}
}

// Makes the fade's timer tick, whatever a script did to it: a new one if it
// went (freed, out of the tree, queued for deletion; the engine refuses to
// start a timer outside the tree), going again if it was stopped, paused,
// retimed or re-moded. The calls can run scripts. Whether it ticks now.
bool XRManager::keep_fade_timer_running() {
	const uint64_t self_id = get_instance_id();
	Timer *timer = get_audio_fade_timer();
	if (!stays_in_tree(timer)) {
		// Only the running manager makes timers (one that stood down fades nothing).
		if (!is_running()) {
			return false;
		}
		timer = make_fade_timer(timer);
		if (!timer || !still_running(self_id)) {
			return false;
		}
	}
	const uint64_t timer_id = timer->get_instance_id();
	keep_library_timer_running(timer, fade_interval, false);
	return still_exists(self_id) && still_exists(timer_id) && timer_runs(timer);
}

void XRManager::_on_audio_fade_timer_timeout() {
	// Only a running fade steps (a script may call this at any time).
	if (!fade_running) {
		return;
	}
	fade_timer_read_none = false;
	fade_step += 1;
	if (fade_step >= fade_steps) {
		finish_fade();
		return;
	}
	float volume = fade_from + (fade_to - fade_from) / (float)fade_steps * (float)fade_step;
	AudioServer::get_singleton()->set_bus_volume_linear(0, volume);
}

void XRManager::finish_fade() {
	fade_running = false;
	AudioServer::get_singleton()->set_bus_volume_linear(0, fade_to);
	volume_held_down = fade_to < 1.0f;
	if (Timer *timer = live<Timer>(audio_fade_timer_id)) {
		timer->stop();
	}
}

// A fade is judged by its timer's state, not by whether the timer exists: a
// timer stopped, paused, taken out of the tree or kept from processing by a
// script would never tick again.
void XRManager::watch_fade() {
	if (!fade_running) {
		return;
	}
	Timer *timer = get_audio_fade_timer();
	bool runs = timer_runs(timer);
	if (runs) {
		// A countdown that is no number (a frame whose time was none) never
		// ends: more than a whole wait left (infinite), or none left frame
		// after frame with no tick between (NaN reads as none).
		const double left = timer->get_time_left();
		const bool none_again = left <= 0.0 && fade_timer_read_none;
		fade_timer_read_none = left <= 0.0;
		runs = left <= timer->get_wait_time() && !none_again;
	}
	if (runs) {
		return;
	}
	if (!fade_stall_reported) {
		fade_stall_reported = true;
		ERR_PRINT("The audio fade's timer was stopped, paused, freed or taken away: the fade goes on.");
	}
	const uint64_t self_id = get_instance_id();
	if (!keep_fade_timer_running() && still_exists(self_id)) {
		end_stalled_fade();
	}
}

// A fade whose timer can't be made to tick goes to its end at once.
void XRManager::end_stalled_fade() {
	if (!fade_stall_reported) {
		fade_stall_reported = true;
		ERR_PRINT("The audio fade's timer can't run: the master volume goes to its end at once.");
	}
	finish_fade();
}

// A manager that takes a session over finds the master volume where the one
// before left it (silent, or part-way through a fade): it fades in from there.
void XRManager::fade_in_from_where_it_is() {
	const float volume = AudioServer::get_singleton()->get_bus_volume_linear(0);
	if (volume >= 1.0f) {
		volume_held_down = false;
		return;
	}
	fade_audio(true, FADE_IN_SECONDS);
	// NaN (a script's) counts as silence.
	if (fade_running && volume > 0.0f) {
		fade_from = volume;
	}
}

} // namespace godot
