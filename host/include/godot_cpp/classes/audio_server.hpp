#ifndef GODOT_AUDIOSERVER_HPP
#define GODOT_AUDIOSERVER_HPP

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_host/bounded_record.hpp>

#include <vector>

namespace godot {

class HOST_API AudioServer : public Object {
	GDEXTENSION_CLASS(AudioServer, Object)

public:
	static AudioServer *get_singleton();

	void set_bus_count(int32_t p_amount);
	int32_t get_bus_count() const;
	int32_t get_bus_index(const StringName &p_bus_name) const;
	StringName get_bus_name(int32_t p_bus_idx) const;
	void set_bus_volume_db(int32_t p_bus_idx, float p_volume_db);
	float get_bus_volume_db(int32_t p_bus_idx) const;
	void set_bus_volume_linear(int32_t p_bus_idx, float p_volume_linear);
	float get_bus_volume_linear(int32_t p_bus_idx) const;

	// ---- engine side ----
	struct VolumeCall {
		int32_t bus = 0;
		float linear = 0.0f;
	};
	// The recent set_bus_volume_linear calls since the last reset (at least
	// the last 512), with the value exactly as given (the bus itself keeps
	// decibels, as the engine does), and how many there were in all.
	const std::vector<VolumeCall> &_host_linear_volume_calls() const { return _linear_calls.recent(); }
	uint64_t _host_linear_volume_call_count() const { return _linear_calls.total(); }
	// One "Master" bus at 0 dB.
	void _host_reset();

	AudioServer();

private:
	struct Bus {
		StringName name;
		float volume_db = 0.0f;
	};
	std::vector<Bus> _buses;
	godot_host::BoundedRecord<VolumeCall> _linear_calls{ 1024 };
};

} // namespace godot

#endif // GODOT_AUDIOSERVER_HPP
