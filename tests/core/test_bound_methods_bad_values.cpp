// Scripts reaching the library through what the library hands scripts: every bound method and
// property of the HUD, the greetings, the bone colliders and the player
// called by name mid-game with null, freed objects, objects of other
// classes and numbers that are no numbers; and a greeting that a script made
// itself and pointed at the game's manager. The game must come out of it
// with finite state and a greeting that still ends.
#include "sequences/greeting_fixture.hpp"

#include "bone_collider_ik.hpp"

#include <godot_cpp/classes/box_shape3d.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/transform3d.hpp>

#include <cmath>
#include <iterator>
#include <limits>
#include <vector>

using namespace godot;
using godot_host::Host;
using godot_host::Log;

namespace {

const double NAN_VALUE = std::numeric_limits<double>::quiet_NaN();
const double INF_VALUE = std::numeric_limits<double>::infinity();

struct Bound {
	const char *name;
	int args;
};

const Bound HUD_METHODS[] = { { "get_typing_delay", 0 }, { "set_typing_delay", 1 }, { "_on_typing_timer_timeout", 0 } };
const Bound GREETING_METHODS[] = { { "get_value", 0 }, { "set_value", 1 }, { "_on_timer_timeout", 0 }, { "_on_finished_typing", 0 }, { "_on_button_pressed", 2 } };
const Bound COLLIDER_METHODS[] = { { "set_offset_transform", 1 }, { "get_offset_transform", 0 }, { "set_mass", 1 }, { "get_mass", 0 } };
const Bound PLAYER_METHODS[] = { { "_on_release_item_timeout", 2 }, { "_handle_hand_collision", 5 }, { "_on_cleanup_timer_timeout", 0 },
	{ "_on_hand_attachment_exiting", 1 }, { "_on_hand_shape_exiting", 1 }, { "_on_hand_shape_renamed", 1 } };

} // namespace

class BoundMethodsBadValues : public GreetingFixture {
protected:
	// What a script may hold: nothing, a freed node, nodes of other classes,
	// numbers that are no numbers, huge ones, text, a transform of NaN.
	std::vector<Variant> bad_values() {
		Node3D *gone = memnew(Node3D);
		Variant freed(gone);
		memdelete(gone);
		Transform3D poisoned;
		poisoned.origin = Vector3((float)NAN_VALUE, (float)INF_VALUE, 0);
		return { Variant(), freed, Variant(world), Variant(plain), Variant(NAN_VALUE), Variant(INF_VALUE), Variant(-INF_VALUE),
			Variant(1e300), Variant(5e-324), Variant(std::numeric_limits<int64_t>::max()), Variant(std::numeric_limits<int64_t>::min()),
			Variant(String("ax_button")), Variant(poisoned) };
	}

	// Answers what is left of the game's greeting; the game then runs with
	// the world shown and the HUD hidden.
	void expect_game_handed_back() {
		ASSERT_TRUE(answer_until_over());
		Host::advance(1.0, 1.0 / 60.0);
		EXPECT_FALSE(paused());
		EXPECT_FALSE(hud->is_visible());
		EXPECT_TRUE(world->is_visible());
		EXPECT_EQ(manager->welcome_sequence, nullptr);
	}

	// Calls each method with each value in every argument place, and with
	// too few and too many arguments.
	void hammer(Object *p_target, const Bound *p_methods, size_t p_count) {
		const std::vector<Variant> values = bad_values();
		const uint64_t id = p_target->get_instance_id();
		for (size_t m = 0; m < p_count; m++) {
			for (const Variant &v : values) {
				if (!still_exists(id)) {
					return;
				}
				for (int n = 0; n <= p_methods[m].args + 1 && still_exists(id); n++) {
					Array args;
					for (int k = 0; k < n; k++) {
						args.push_back(v);
					}
					p_target->callv(StringName(p_methods[m].name), args);
				}
			}
		}
	}
};

// Every bound method of the HUD, the greeting and the player called with
// every bad value while the welcome types, and again while it waits for a
// press: the greeting still ends, the HUD types at a usable pace, the
// player's state stays finite.
TEST_F(BoundMethodsBadValues, EveryBoundMethodWithEveryBadValueMidGreeting) {
	BoneColliderIK *collider = add_node(player, memnew(BoneColliderIK), "hand_r_collider", root);
	collider->set_shape(Ref<BoxShape3D>(memnew(BoxShape3D)));
	emit_session("session_focussed");
	WelcomeSequence *seq = welcome();
	for (int wait : { 1, 2 }) {
		SCOPED_TRACE(wait);
		ASSERT_TRUE(advance_until([&]() { return welcome() == nullptr || welcome()->state == wait; }));
		ASSERT_EQ(welcome(), seq);
		hammer(hud, HUD_METHODS, std::size(HUD_METHODS));
		hammer(collider, COLLIDER_METHODS, std::size(COLLIDER_METHODS));
		hammer(player, PLAYER_METHODS, std::size(PLAYER_METHODS));
		Host::advance(0.5, 1.0 / 60.0);
		if (welcome()) {
			hammer(welcome(), GREETING_METHODS, std::size(GREETING_METHODS));
		}
	}
	const bool ended = welcome() == nullptr || answer_until_over(15.0);
	EXPECT_TRUE(ended) << "the greeting never ends";
	ASSERT_TRUE(advance_until([&]() { return !paused(); }, 15.0)) << "paused for good";
	EXPECT_FALSE(hud->is_visible());
	EXPECT_TRUE(std::isfinite(collider->get_mass()));
	EXPECT_TRUE(collider->get_offset_transform().is_finite());
	EXPECT_TRUE(player->get_global_transform().is_finite());
	for (int h = 0; h < 2; h++) {
		for (int f = 0; f < 5; f++) {
			EXPECT_TRUE(std::isfinite(player->finger_targets[h][f]));
		}
	}
	// A new text still types and ends within its glyphs' worth of the slowest pace.
	hud->set_text({ String("ok") });
	hud->play_text();
	EXPECT_TRUE(advance_until([&]() { return !hud->is_typing(); }, 3.0));
}

// A script makes its own greeting, points it at the game's manager and steps
// it by hand while the game's greeting runs, then frees it: the game's
// greeting still ends and hands the game back, the HUD hidden.
TEST_F(BoundMethodsBadValues, AScriptsOwnGreetingSteppedAgainstTheGamesManager) {
	emit_session("session_focussed");
	WelcomeSequence *seq = welcome();
	ASSERT_TRUE(advance_until([&]() { return seq->state == 1; }));
	WelcomeBackSequence *intruder = memnew(WelcomeBackSequence);
	intruder->call("set_value", manager);
	intruder->call("_on_timer_timeout"); // its "delay" over: it types its text on the game's HUD
	ASSERT_TRUE(advance_until([&]() { return seq->state >= 2; }, 8.0));
	Host::advance(1.0, 1.0 / 60.0);
	memdelete(intruder);
	expect_game_handed_back();
}

// The same intruder answered by the player's press before the game's
// greeting: it must not leave the game's greeting unable to end, nor take the
// game's pause, HUD or world with it for good.
TEST_F(BoundMethodsBadValues, AScriptsOwnGreetingAnsweredFirst) {
	emit_session("session_focussed");
	WelcomeSequence *seq = welcome();
	WelcomeBackSequence *intruder = memnew(WelcomeBackSequence);
	const uint64_t intruder_id = intruder->get_instance_id();
	intruder->call("set_value", manager);
	intruder->call("_on_timer_timeout");
	ASSERT_TRUE(advance_until([&]() { return seq->state >= 2 && !hud->is_typing(); }, 10.0));
	// One press answers both: the intruder's end hands the game back early.
	press(0, "ax_button");
	release(0, "ax_button");
	if (still_exists(intruder_id)) {
		memdelete(intruder);
	}
	expect_game_handed_back();
}
