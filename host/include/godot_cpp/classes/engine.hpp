#ifndef GODOT_ENGINE_HPP
#define GODOT_ENGINE_HPP

#include <godot_cpp/classes/object.hpp>

namespace godot {

class HOST_API Engine : public Object {
	GDEXTENSION_CLASS(Engine, Object)

public:
	static Engine *get_singleton();

	bool is_editor_hint() const;
	void set_max_fps(int32_t p_max_fps);
	int32_t get_max_fps() const;
	void set_physics_ticks_per_second(int32_t p_physics_ticks_per_second);
	int32_t get_physics_ticks_per_second() const;
	void set_max_physics_steps_per_frame(int32_t p_max_physics_steps);
	int32_t get_max_physics_steps_per_frame() const;
	void set_time_scale(double p_time_scale);
	double get_time_scale();
	int32_t get_frames_drawn();
	uint64_t get_process_frames() const;
	uint64_t get_physics_frames() const;
	double get_physics_interpolation_fraction() const;
	Dictionary get_version_info() const;

	// ---- engine side ----
	void _host_set_editor_hint(bool p_editor);
	void _host_count_process_frame() { _process_frames++; }
	void _host_count_physics_frame() { _physics_frames++; }
	void _host_reset();

private:
	bool _editor_hint = false;
	int32_t _max_fps = 0;
	int32_t _physics_ticks = 60;
	int32_t _max_physics_steps = 8;
	double _time_scale = 1.0;
	uint64_t _process_frames = 0;
	uint64_t _physics_frames = 0;
};

} // namespace godot

#endif // GODOT_ENGINE_HPP
