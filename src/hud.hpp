#ifndef MOSSGLIMMER_HUD_HPP
#define MOSSGLIMMER_HUD_HPP

#include <godot_cpp/classes/audio_stream_player.hpp>
#include <godot_cpp/classes/mesh_instance3d.hpp>
#include <godot_cpp/classes/packed_scene.hpp>
#include <godot_cpp/classes/standard_material3d.hpp>
#include <godot_cpp/classes/timer.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <cstdint>
#include <vector>

namespace godot {

// The floating text panel: lays text out as glyph instances and types them
// one at a time with a click.
class HUD : public MeshInstance3D {
	GDCLASS(HUD, MeshInstance3D)

private:
	std::vector<String> lines;
	Ref<PackedScene> character_scene;
	// Glyph nodes in typing order; they are our children, the list does not own them.
	std::vector<MeshInstance3D *> characters;
	// Held by the material override.
	StandardMaterial3D *material = nullptr;
	Timer *typing_timer = nullptr;
	int32_t character_index = 0;
	double m_typing_delay = 0.1;
	AudioStreamPlayer *typing_sound = nullptr;

	// Instance ids of the nodes above and of each glyph (entry for entry with
	// characters): a script may free any of them, so each is used only while
	// its id still names it.
	uint64_t typing_timer_id = 0;
	uint64_t typing_sound_id = 0;
	std::vector<uint64_t> character_ids;
	// Reported once for each text, and once for each bad delay set.
	bool lost_glyph_reported = false;
	// From play_text until "finished_typing" is emitted.
	bool typing = false;
	// The pace of the text being typed, fixed when it starts.
	double typing_wait = 0.1;
	bool bad_delay_reported = false;
	// Set by _ready outside the editor, which makes what typing needs.
	bool ready_to_type = false;
	// Count the play_text and the clear_text calls (play_text makes one of
	// each). The calls out of a layout or a tick can run a script that types
	// or clears anew: what was begun before then stops where it is.
	uint32_t layout_generation = 0;
	uint32_t text_generation = 0;
	// Emitted by the typing tick: made once, not per tick.
	StringName finished_typing_signal;

	Timer *make_typing_timer();
	Timer *live_typing_timer();
	Timer *usable_typing_timer();
	void start_typing_timer();
	void end_typing();
	double usable_typing_delay();

protected:
	static void _bind_methods();

public:
	HUD();
	~HUD() override;

	void _ready() override;

	double get_typing_delay() const;
	void set_typing_delay(double p_delay);
	void _on_typing_timer_timeout();
	// A text being typed whose timer a script freed, stopped, paused or took
	// out of the tree would never end: it goes on, with a new timer if need
	// be. Out of the tree the HUD can't type; it goes on once it is back.
	void keep_typing();
	bool is_typing() const;

	// Used by the greeting sequences.
	void set_text(std::vector<String> p_lines);
	std::vector<String> get_text() const;
	void clear_text();
	void play_text();
};

} // namespace godot

#endif // MOSSGLIMMER_HUD_HPP
