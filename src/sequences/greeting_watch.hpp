#ifndef MOSSGLIMMER_SEQUENCES_GREETING_WATCH_HPP
#define MOSSGLIMMER_SEQUENCES_GREETING_WATCH_HPP

// How a greeting sees its waits through and ends, shared by both sequences
// (S is WelcomeSequence or WelcomeBackSequence). Every wait is judged by
// state: is the timer running, is the HUD typing and in the tree, can a
// controller in the tree answer. A wait that can't end by itself is helped
// on; a greeting that can't go on at all ends and hands the game back.
//
// After its start delay a greeting's timer keeps ticking as a watch, and the
// XR manager's frame calls keep_going too: either alone sees every wait
// through, whatever process mode the scene gives the manager.

#include "globals.hpp"
#include "hud.hpp"
#include "library_timer.hpp"
#include "sequence_steps.hpp"
#include "xr_manager.hpp"

#include <godot_cpp/core/error_macros.hpp>

namespace godot {
namespace sequence_steps {

// Seconds between two watches, and watches that may find a greeting unable
// to go on (its HUD out of the tree, no controller that can answer) before
// it ends: a two-step move of the rig is not the end of it.
constexpr double WATCH_PERIOD = 0.5;
constexpr int32_t STUCK_WATCHES = 4;

// The end: recentre, hide the HUD, unpause, clear the greeting from the
// manager (S::let_manager_go) and destroy it. Nothing of it may be used after.
template <typename S>
void finish(S *p_sequence) {
	// Entered again by a script that runs inside the end: that end goes on.
	if (p_sequence->waits.finishing) {
		return;
	}
	p_sequence->waits.finishing = true;
	const uint64_t self_id = p_sequence->get_instance_id();
	if (XRManager *manager = p_sequence->live_manager()) {
		hand_back(manager);
		// A script run by the end may have freed this greeting itself.
		if (!still_exists(self_id)) {
			return;
		}
		// Or the manager, which then let go of this greeting.
		if ((manager = p_sequence->live_manager())) {
			p_sequence->let_manager_go(manager);
		}
	}
	// Last action: nothing of this object may be touched afterwards.
	memdelete(p_sequence);
}

// The timer as a watch from the start delay's end on: one of our own, in the
// tree, ticking every WATCH_PERIOD. The calls can run scripts.
template <typename S>
void keep_watching(S *p_sequence, XRManager *p_manager) {
	Timer *timer = p_sequence->live_timer();
	if (timer && !timer->is_inside_tree()) {
		retire_library_timer(timer, Callable(p_sequence, "_on_timer_timeout"));
		remember<Timer>(p_sequence->timer, p_sequence->timer_id, nullptr);
		timer = nullptr;
	}
	if (!timer) {
		const uint64_t self_id = p_sequence->get_instance_id();
		timer = attach_timer(p_sequence, p_manager);
		if (!still_exists(self_id)) {
			return;
		}
		remember(p_sequence->timer, p_sequence->timer_id, timer);
		if (!timer) {
			return;
		}
	}
	keep_library_timer_running(timer, WATCH_PERIOD, false);
}

// Helps every wait of the greeting on; false when it can't go on (its HUD
// is out of the tree, or no controller can answer its wait for a press).
// May end the greeting, or run scripts that free it: the caller checks.
template <typename S>
bool tend(S *p_sequence) {
	if (p_sequence->waits.finishing || !p_sequence->waits.owned) {
		return true;
	}
	XRManager *manager = p_sequence->live_manager();
	// Out of the tree nothing of the manager's runs; its waits are looked
	// at again once it is back.
	if (!manager || !manager->is_inside_tree()) {
		return true;
	}
	// Without its HUD a greeting can neither be read nor answered.
	if (!manager->get_hud()) {
		p_sequence->finish();
		return true;
	}
	if (p_sequence->state == 0) {
		// Stopped, paused or taken out of the tree by a script: the delay is over.
		if (!library_timer_runs(p_sequence->live_timer())) {
			p_sequence->advance_state();
		}
		return true;
	}
	const uint64_t self_id = p_sequence->get_instance_id();
	const uint64_t manager_id = manager->get_instance_id();
	keep_watching(p_sequence, manager);
	if (!still_exists(self_id) || !still_exists(manager_id) || p_sequence->waits.finishing) {
		return true;
	}
	HUD *hud = manager->get_hud();
	if (!hud) {
		p_sequence->finish();
		return true;
	}
	if (!hud->is_inside_tree()) {
		return false;
	}
	if (p_sequence->waiting_for_typing()) {
		if (!hud->is_typing()) {
			// Its end went unheard (a script disconnected us, or the HUD is
			// another one now): the greeting goes on as if heard.
			p_sequence->advance_state();
		} else {
			hud->keep_typing();
		}
		return true;
	}
	if (p_sequence->waiting_for_press()) {
		return keep_listening(p_sequence, p_sequence->waits);
	}
	return true;
}

// One watch: tend, and end a greeting that could not go on for STUCK_WATCHES.
template <typename S>
void watch(S *p_sequence) {
	const uint64_t self_id = p_sequence->get_instance_id();
	const bool can_go_on = tend(p_sequence);
	if (!still_exists(self_id) || p_sequence->waits.finishing) {
		return;
	}
	if (can_go_on) {
		p_sequence->waits.stuck_watches = 0;
		return;
	}
	if (++p_sequence->waits.stuck_watches < STUCK_WATCHES) {
		return;
	}
	ERR_PRINT("The greeting can't go on (its HUD is out of the scene tree, or no controller in the tree can answer it): it ends, and the game goes on.");
	p_sequence->finish();
}

// The timer's "timeout": the start delay's end in state 0, a watch after.
template <typename S>
void on_timer_timeout(S *p_sequence) {
	if (p_sequence->waits.finishing) {
		return;
	}
	if (p_sequence->state != 0) {
		watch(p_sequence);
		return;
	}
	const uint64_t self_id = p_sequence->get_instance_id();
	p_sequence->advance_state();
	if (!still_exists(self_id) || p_sequence->waits.finishing) {
		return;
	}
	if (XRManager *manager = p_sequence->live_manager()) {
		if (manager->is_inside_tree()) {
			keep_watching(p_sequence, manager);
		}
	}
}

} // namespace sequence_steps
} // namespace godot

#endif // MOSSGLIMMER_SEQUENCES_GREETING_WATCH_HPP
