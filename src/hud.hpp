#ifndef MOSSGLIMMER_HUD_HPP
#define MOSSGLIMMER_HUD_HPP

#include <godot_cpp/classes/mesh_instance3d.hpp>
#include <godot_cpp/variant/string.hpp>

#include <vector>

namespace godot {

class HUD : public MeshInstance3D {
	GDCLASS(HUD, MeshInstance3D)

protected:
	static void _bind_methods();

public:
	HUD();
	~HUD() override;

	void _ready() override;

	// Used by the greeting sequences.
	void set_text(std::vector<String> p_lines);
	std::vector<String> get_text() const;
	void clear_text();
	void play_text();
};

} // namespace godot

#endif // MOSSGLIMMER_HUD_HPP
