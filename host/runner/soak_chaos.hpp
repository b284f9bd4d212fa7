#ifndef MOSSGLIMMER_RUNNER_SOAK_CHAOS_HPP
#define MOSSGLIMMER_RUNNER_SOAK_CHAOS_HPP

#include "soak_state.hpp"

#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/variant/transform3d.hpp>

#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// The soak's adversary: a script connected to every signal the library emits
// or sets off, which from inside them frees, moves, renames and poisons what
// it finds, pauses the game and calls back into the library, and which also
// breaks the frame clock. What it frees comes back later, as a scene would
// add it. After every frame it checks what must hold whatever a script does.
class Chaos {
public:
	explicit Chaos(SoakState &r_soak);
	~Chaos();
	Chaos(const Chaos &) = delete;
	Chaos &operator=(const Chaos &) = delete;

	// One frame of the soak with a delta the adversary picks, then the checks.
	void frame();
	// What the run covered, kind by kind.
	void print_summary() const;

	// Who emits a signal, as the counts name it.
	enum Emitter {
		HUD_NODE,
		WORLD_NODE,
		PLAYER_NODE,
		MANAGER_NODE,
		HAND_SHAPE,
		HELD_COPY,
		GLYPH,
		TIMER_NODE,
		CONTROLLER,
		EMITTER_COUNT
	};
	enum Signal {
		VISIBILITY_CHANGED,
		FINISHED_TYPING,
		TIMEOUT,
		TREE_ENTERED,
		TREE_EXITING,
		TREE_EXITED,
		CHILD_ENTERED_TREE,
		CHILD_EXITING_TREE,
		CHILD_ORDER_CHANGED,
		RENAMED,
		BODY_ENTERED,
		BODY_SHAPE_ENTERED,
		BODY_EXITED,
		BODY_SHAPE_EXITED,
		BUTTON_PRESSED,
		BUTTON_RELEASED,
		INPUT_FLOAT_CHANGED,
		INPUT_VECTOR2_CHANGED,
		PROFILE_CHANGED,
		SIGNAL_COUNT
	};

private:
	// A signal being handled: what sent it, and whether the engine may be
	// busy with the tree (where a script frees, moves and renames deferred).
	struct Received {
		Emitter emitter;
		Signal signal;
		uint64_t emitter_id;
		uint64_t body_id; // the body a contact signal reports
		bool tree_busy;
	};

	// Something freed, to be added again later as a scene would.
	enum Readd {
		READD_PLAYER,
		READD_MANAGER,
		READD_HUD,
		READD_CONTROLLERS,
		READD_SHAPES,
		READD_ATTACHMENTS,
		READD_COUNT
	};

	SoakState &_soak;
	Session &_session;
	DemoScene &_scene;
	std::mt19937 _rng;
	// Receivers made by this adversary hold this, not the adversary, so that
	// signals sent after it is gone find nobody.
	std::shared_ptr<Chaos *> _self;

	// Wiring.
	std::unordered_set<uint64_t> _wired;
	std::unordered_set<uint64_t> _library_timers;
	int64_t _frames = 0;

	// The signals being handled, innermost last.
	std::vector<Received> _handling;
	// Quiet while a check plays a greeting through.
	bool _calm = false;

	// Who the scene's records were when last looked at.
	struct RecordIds {
		uint64_t player = 0, manager = 0, hud = 0, camera = 0, skeleton = 0;
		uint64_t hands[2] = { 0, 0 }, controllers[2] = { 0, 0 };
	} _record_ids;
	std::unordered_map<godot::RigidBody3D *, uint64_t> _crate_ids;

	// The soak's hand shape indexes are read again after shapes changed.
	bool _shapes_dirty = false;
	// Re-adding.
	double _readd_due[READD_COUNT] = { -1, -1, -1, -1, -1, -1 };
	std::vector<std::string> _lost_shapes;
	std::vector<std::pair<std::string, godot::Transform3D>> _lost_attachments;
	double _next_greeting_check = 0.0;
	double _next_switch = 0.0;

	// A sub-scene that brings a second manager or player, taken out again later.
	uint64_t _sub_scene = 0;
	double _sub_scene_until = -1.0;

	// Poses given back after a few frames, as the skeleton's next update would.
	struct PoseToRestore {
		uint64_t attachment;
		godot::Transform3D pose;
		int64_t at_frame;
	};
	std::vector<PoseToRestore> _poses_to_restore;

	// The frame clock: slow while the runtime throttles a hidden session.
	bool _throttled = false;

	// Pause: the state last seen and whether the library last set it; the
	// adversary's own changes are told apart.
	bool _last_paused = false;
	bool _library_ran = false;
	// World nodes (3-D children of the scene root) that the library hid.
	std::unordered_set<uint64_t> _hidden_by_library;
	uint64_t _adversary_showing = 0;
	// When the adversary lets the game run again that it paused itself.
	double _unpause_at = -1.0;

	// Mass: the masses each body had since the last check, holds and
	// bodies whose mass the adversary made no number.
	std::unordered_map<uint64_t, std::vector<double>> _masses_seen;
	// What each grab may have added: one of these, depending on when in the
	// frame it read the mass.
	std::unordered_map<uint64_t, std::vector<double>> _holds;
	std::unordered_set<uint64_t> _poisoned;
	uint64_t _mass_player = 0;
	double _base_mass = 0.0;
	bool _crates_died = false;
	int _settle_frames = 0;
	// A wrong mass is reported once until the holds change.
	bool _mass_reported = false;
	// Left disabled by a player that is gone: frames seen.
	std::unordered_map<uint64_t, int> _orphans;
	std::unordered_set<uint64_t> _orphans_reported;

	// Counts.
	long _signals[EMITTER_COUNT][SIGNAL_COUNT] = {};
	long _nested = 0;
	long _reentrant = 0;
	std::map<std::string, long> _frees, _queued_frees, _reparents, _renames, _bad_values, _deltas, _calls, _readds, _visibility_acts, _sub_scenes, _remodes;
	long _pauses = 0, _unpauses = 0, _slow_spells = 0, _greeting_checks = 0;

	// soak_chaos.cpp: wiring and the adversary's acts.
	bool _chance(double p_probability);
	int _pick(int p_count);
	void _wire_tree(godot::Node *p_node);
	void _wire(godot::Node *p_node);
	void _connect(godot::Node *p_node, Emitter p_emitter, Signal p_signal);
	void _received(Emitter p_emitter, Signal p_signal, uint64_t p_emitter_id, const godot::Variant **p_args, int p_count);
	double _probability(Signal p_signal) const;
	bool _tree_busy() const;
	bool _handling_node(godot::Node *p_node) const;
	void _act(const Received &p_received);
	void _later(godot::Node *p_anchor, std::function<void()> p_what);
	// At once, or at the frame's end while the engine is busy with the tree.
	void _when_allowed(godot::Node *p_node, const std::function<void()> &p_what);
	// Tells a person watching what the adversary does, and inside which signal.
	void _tell(const char *p_what, const std::string &p_detail = std::string());

	void _free(godot::Node *p_node, const char *p_what);
	// p_target picks one kind; -1 any.
	void _free_one(const Received &p_received, int p_target = -1);
	void _reparent_one();
	void _rename_one();
	void _move(godot::Node *p_node, godot::Node *p_parent, const char *p_what);
	void _rename(godot::Node *p_node, const std::string &p_name, const char *p_what);
	void _toggle_pause();
	void _end_own_pause();
	void _bad_value_one();
	void _add_sub_scene();
	void _remode_one();
	void _call_back(const Received &p_received);

	godot::RigidBody3D *_any_crate();
	godot::RigidBody3D *_held_crate();
	godot::Node *_any_child(godot::Node *p_parent, const char *p_class, bool p_copies);
	godot::Node *_any_library_timer();
	godot::Node *_any_attachment();
	float _bad_float(std::string &r_kind);

	// soak_chaos_scene.cpp: the scene's records, and what comes back.
	void _remember_records();
	void _remember_new_crates();
	void _forget_dead_records();
	// Whether a node the records name is queued to go at the frame's end.
	bool _records_going() const;
	// Adds back what is due, as a scene would: no session event comes with it.
	void _readd_due_nodes();
	bool _readd_nodes();
	void _remove_sub_scene();
	// Replaces the manager and the player as a game switching levels by hand does.
	void _switch_rig();
	void _check_greeting_ends();
	void _restore_poses();
	bool _pose_pending(godot::Node *p_node) const;
	void _refresh_shapes();
	void _prune();

	// soak_chaos_checks.cpp: the clock and what must hold.
	// False for an ordinary frame, paced as the engine paces it.
	bool _pick_delta(double &r_delta);
	bool _greeting_timer_running() const;
	void _report(const char *p_what, const std::string &p_detail = std::string());
	void _observe_pause();
	void _note_world_visibility(uint64_t p_node);
	void _note_mass(godot::RigidBody3D *p_body);
	void _after_frame();
	void _check_world_visible();
	void _check_holding();
	void _check_mass(const std::vector<const std::vector<double> *> &p_parts);
	void _check_bodies_finite();
};

#endif // MOSSGLIMMER_RUNNER_SOAK_CHAOS_HPP
