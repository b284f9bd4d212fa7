#ifndef MOSSGLIMMER_HUD_HPP
#define MOSSGLIMMER_HUD_HPP

#include <godot_cpp/classes/audio_stream_player.hpp>
#include <godot_cpp/classes/mesh_instance3d.hpp>
#include <godot_cpp/classes/packed_scene.hpp>
#include <godot_cpp/classes/standard_material3d.hpp>
#include <godot_cpp/classes/timer.hpp>
#include <godot_cpp/variant/string.hpp>

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

protected:
	static void _bind_methods();

public:
	HUD();
	~HUD() override;

	void _ready() override;

	double get_typing_delay() const;
	void set_typing_delay(double p_delay);
	void _on_typing_timer_timeout();

	// Used by the greeting sequences.
	void set_text(std::vector<String> p_lines);
	std::vector<String> get_text() const;
	void clear_text();
	void play_text();
};

} // namespace godot

#endif // MOSSGLIMMER_HUD_HPP
