#include "hud.hpp"

#include "globals.hpp"
#include "library_timer.hpp"

#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/classes/resource_loader.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/callable_method_pointer.hpp>
#include <godot_cpp/variant/char_string.hpp>
#include <godot_cpp/variant/color.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cmath>

namespace godot {

namespace {

const char *const CHARACTER_SCENE_PATH = "res://objects/hud_character.tscn";

// Cells are 0.05 apart; the atlas is 8 by 8 cells of 0.125 in UV.
constexpr float CELL = 0.05f;
constexpr float ATLAS_CELL = 0.125f;
constexpr float GLYPH_LIFT = 0.000001f;
constexpr int32_t ATLAS_COLUMNS = 8;
constexpr double DEFAULT_TYPING_DELAY = 0.1;
constexpr double SLOWEST_TYPING_DELAY = 1.0;

// The atlas holds the codes 32 to 95; every other byte shows the blank.
int32_t glyph_index(uint8_t p_code) {
	return (p_code >= 32 && p_code <= 95) ? (int32_t)p_code - 32 : 0;
}

// A hidden glyph showing one atlas cell through its own copy of the glyph
// material, or null (reported) when the glyph scene is not of the form that
// typing needs. r_id is the glyph's instance id: a script run by hiding it
// may have freed it already.
MeshInstance3D *make_glyph(const Ref<PackedScene> &p_scene, int32_t p_glyph, uint64_t &r_id) {
	Node *node = p_scene->instantiate(PackedScene::GEN_EDIT_STATE_DISABLED);
	ERR_FAIL_NULL_V_MSG(node, nullptr, "The glyph scene could not be instantiated.");
	MeshInstance3D *instance = Object::cast_to<MeshInstance3D>(node);
	if (!instance) {
		memdelete(node);
		ERR_FAIL_V_MSG(nullptr, "The glyph scene's root is not a MeshInstance3D.");
	}
	const int32_t row = p_glyph / ATLAS_COLUMNS;
	const int32_t column = p_glyph % ATLAS_COLUMNS;
	Ref<Material> active = instance->get_active_material(0);
	Ref<StandardMaterial3D> cell;
	if (active.is_valid()) {
		// Shallow: the atlas texture stays shared.
		cell = active->duplicate(false);
	}
	if (cell.is_null()) {
		memdelete(instance);
		ERR_FAIL_V_MSG(nullptr, "The glyph scene's surface 0 has no StandardMaterial3D.");
	}
	cell->set_uv1_offset(Vector3((float)column * ATLAS_CELL, (float)row * ATLAS_CELL, 0));
	instance->set_surface_override_material(0, cell);
	r_id = instance->get_instance_id();
	instance->set_visible(false);
	return instance;
}

} // namespace

HUD::HUD() :
		finished_typing_signal("finished_typing") {}

HUD::~HUD() {}

void HUD::_bind_methods() {
	ClassDB::bind_method(D_METHOD("get_typing_delay"), &HUD::get_typing_delay);
	ClassDB::bind_method(D_METHOD("set_typing_delay", "name"), &HUD::set_typing_delay);
	ADD_PROPERTY(PropertyInfo(Variant::FLOAT, "m_typing_delay", PROPERTY_HINT_NONE, "Delay between characters in seconds", PROPERTY_USAGE_DEFAULT), "set_typing_delay", "get_typing_delay");
	ClassDB::bind_method(D_METHOD("_on_typing_timer_timeout"), &HUD::_on_typing_timer_timeout);
	ADD_SIGNAL(MethodInfo("finished_typing"));
}

void HUD::_ready() {
	material = memnew(StandardMaterial3D);
	set_material_override(Ref<StandardMaterial3D>(material));
	material->set_albedo(Color(0, 0, 0, 1));

	// Hiding and adding the timer can run scripts that free this HUD.
	const uint64_t self_id = get_instance_id();
	set_visible(false);
	if (!still_exists(self_id)) {
		return;
	}

	if (Engine::get_singleton()->is_editor_hint()) {
		set_process(false);
		set_physics_process(false);
		return;
	}

	character_scene = ResourceLoader::get_singleton()->load(CHARACTER_SCENE_PATH, "", ResourceLoader::CACHE_MODE_REUSE);
	if (character_scene.is_null()) {
		ERR_PRINT("No glyph scene at \"res://objects/hud_character.tscn\": text will type without glyphs.");
	}

	remember(typing_sound, typing_sound_id, Object::cast_to<AudioStreamPlayer>(find_child("AudioStreamPlayer", true, true)));
	if (!typing_sound) {
		ERR_PRINT("No \"AudioStreamPlayer\" below the HUD: text will type without clicks.");
	}

	// Ready again (a script asked for it): the timer made the first time stays.
	if (!live_typing_timer()) {
		make_typing_timer();
		if (!still_exists(self_id)) {
			return;
		}
	}
	// Back in the tree after a script took the HUD out as its text started
	// (the engine starts no timer out of the tree): typing goes on, once the
	// whole subtree is back.
	Callable on_back = callable_mp(this, &HUD::keep_typing);
	if (!is_connected("tree_entered", on_back)) {
		connect("tree_entered", on_back, CONNECT_DEFERRED);
	}
	ready_to_type = true;
}

// Adds the typing timer as a child; null when a script run by the addition
// freed it. The caller checks that this HUD still exists.
Timer *HUD::make_typing_timer() {
	Timer *timer = new_library_timer();
	remember(typing_timer, typing_timer_id, timer);
	const uint64_t timer_id = typing_timer_id;
	timer->connect("timeout", Callable(this, "_on_typing_timer_timeout"));
	add_child(timer);
	return still_exists(timer_id) ? timer : nullptr;
}

Timer *HUD::live_typing_timer() {
	return live_or_forget(typing_timer, typing_timer_id, "HUD's typing timer");
}

// The typing timer, made anew when a script freed ours or took it out of the
// tree. Only while the HUD is in the tree; null when a script run by making
// it freed it, and the caller checks that this HUD still exists.
Timer *HUD::usable_typing_timer() {
	Timer *timer = live_typing_timer();
	if (timer && !timer->is_inside_tree()) {
		retire_library_timer(timer, Callable(this, "_on_typing_timer_timeout"));
		remember<Timer>(typing_timer, typing_timer_id, nullptr);
		timer = nullptr;
	}
	return timer ? timer : make_typing_timer();
}

double HUD::get_typing_delay() const {
	return m_typing_delay;
}

void HUD::set_typing_delay(double p_delay) {
	m_typing_delay = p_delay;
	bad_delay_reported = false;
}

// A delay of NaN, zero or less would never fire, and an infinite one never
// end: such a value types at the default pace instead. One of hours would
// keep the paused game waiting as good as for ever: the slowest pace is a
// second a glyph.
double HUD::usable_typing_delay() {
	if (m_typing_delay > 0.0 && m_typing_delay <= SLOWEST_TYPING_DELAY) {
		return m_typing_delay;
	}
	const double usable = m_typing_delay > SLOWEST_TYPING_DELAY && std::isfinite(m_typing_delay) ? SLOWEST_TYPING_DELAY : DEFAULT_TYPING_DELAY;
	if (!bad_delay_reported) {
		bad_delay_reported = true;
		ERR_PRINT(vformat("The HUD's typing delay %s is not a number of seconds from 0 to %s: text types every %s s.", m_typing_delay, SLOWEST_TYPING_DELAY, usable));
	}
	return usable;
}

void HUD::_on_typing_timer_timeout() {
	// A tick with no text being typed (a script's call) has nothing to do.
	if (!typing) {
		return;
	}
	// A text without glyphs still ends, one delay after it started.
	if (character_index < 0 || character_index >= (int32_t)characters.size()) {
		end_typing();
		return;
	}

	// The click and the reveal can run scripts that free this HUD, or type
	// or clear anew: then the next tick (or the new text) goes on.
	const uint64_t self_id = get_instance_id();
	const uint32_t text = text_generation;
	if (live_or_forget(typing_sound, typing_sound_id, "HUD's click player")) {
		typing_sound->play(0.0);
		if (!still_exists(self_id) || text_generation != text) {
			return;
		}
	}
	const size_t index = (size_t)character_index;
	if (ObjectDB::get_instance(character_ids[index]) == static_cast<Object *>(characters[index])) {
		characters[index]->set_visible(true);
		if (!still_exists(self_id) || text_generation != text) {
			return;
		}
	} else if (!lost_glyph_reported) {
		// Freed by a script: its place stays empty and typing goes on.
		lost_glyph_reported = true;
		ERR_PRINT("A glyph of the text on show was freed: its place stays empty.");
	}
	character_index++;
	if (character_index < (int32_t)characters.size()) {
		return;
	}
	end_typing();
}

// Stops the timer and emits "finished_typing", last: a receiver may free this HUD.
void HUD::end_typing() {
	if (Timer *timer = live_typing_timer()) {
		timer->stop();
	}
	typing = false;
	emit_signal(finished_typing_signal);
}

void HUD::set_text(std::vector<String> p_lines) {
	lines = p_lines;
}

std::vector<String> HUD::get_text() const {
	return lines;
}

void HUD::clear_text() {
	for (size_t i = 0; i < characters.size(); i++) {
		// One a script freed already is gone.
		if (ObjectDB::get_instance(character_ids[i]) == static_cast<Object *>(characters[i])) {
			characters[i]->queue_free();
		}
	}
	characters.clear();
	character_ids.clear();
	text_generation++;
}

void HUD::play_text() {
	// Only _ready outside the editor makes the timer.
	ERR_FAIL_COND_MSG(!ready_to_type, "The HUD types only once it is ready, and not in the editor.");
	// Making a glyph, adding and moving it can run scripts that free this
	// HUD, its timer or the glyph, or type anew (that call then does the
	// whole work) or clear (typing then ends at once).
	const uint64_t self_id = get_instance_id();
	const uint32_t layout = ++layout_generation;
	// One a script freed is made anew when typing starts.
	if (Timer *timer = live_typing_timer()) {
		timer->stop();
	}
	character_index = 0;
	lost_glyph_reported = false;
	clear_text();
	const uint32_t text = text_generation;

	const int32_t n = (int32_t)lines.size();
	if (n > 0 && character_scene.is_valid()) {
		const float half = ((float)n * CELL) * 0.5f;
		bool laying_out = true;
		for (int32_t i = 0; i < n && laying_out; i++) {
			const CharString bytes = lines[i].to_upper().ascii();
			const int32_t len = (int32_t)bytes.length();
			const char *data = bytes.get_data();
			const float y = (float)i * -CELL + half;
			const float width = (float)len * CELL;
			for (int32_t j = 0; j < len; j++) {
				uint64_t instance_id = 0;
				MeshInstance3D *instance = make_glyph(character_scene, glyph_index((uint8_t)data[j]), instance_id);
				if (!still_exists(self_id) || layout_generation != layout) {
					if (still_exists(instance_id)) {
						memdelete(instance); // nobody else knows of it
					}
					return;
				}
				if (!instance) {
					// Reported once; the glyphs made so far still type.
					laying_out = false;
					break;
				}
				if (still_exists(instance_id)) {
					// Placed before it enters the tree, where moving it tells nobody.
					const float x = (float)j * CELL - 0.5f * width;
					instance->set_transform(instance->get_transform().translated(Vector3(x, y, GLYPH_LIFT)));
					add_child(instance);
				}
				if (!still_exists(self_id) || layout_generation != layout || text_generation != text) {
					// Gone with this HUD, or of a text that was typed or
					// cleared anew meanwhile: the rest is not laid out.
					if (still_exists(instance_id)) {
						instance->queue_free();
					}
					if (!still_exists(self_id) || layout_generation != layout) {
						return;
					}
					laying_out = false;
					break;
				}
				// One that a script freed keeps its place, empty: the tick reports it.
				characters.push_back(instance);
				character_ids.push_back(instance_id);
			}
		}
	}

	start_typing_timer();
}

// Starts typing at the usable delay, with a new timer when a script freed
// ours: the text must still type and end. Out of the tree (the engine starts
// no timer there), or without a timer (freed again as soon as made),
// keep_typing goes on later.
void HUD::start_typing_timer() {
	typing = true;
	typing_wait = usable_typing_delay();
	keep_typing();
}

void HUD::keep_typing() {
	if (!typing || !is_inside_tree()) {
		return;
	}
	const uint64_t self_id = get_instance_id();
	const uint32_t layout = layout_generation;
	Timer *timer = usable_typing_timer();
	if (!still_exists(self_id) || layout_generation != layout || !timer || !typing) {
		return;
	}
	keep_library_timer_running(timer, typing_wait, false);
}

bool HUD::is_typing() const {
	return typing;
}

} // namespace godot
