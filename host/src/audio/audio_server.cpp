// The audio server's buses; no sound is mixed.
#include <godot_cpp/classes/audio_server.hpp>

#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>

#include <cmath>

namespace godot {

namespace {
// The engine's conversions, in single precision.
float linear_to_db(float p_linear) {
	return std::log(p_linear) * 8.6858896380650365530225783783321f;
}
float db_to_linear(float p_db) {
	return std::exp(p_db * 0.11512925464970228420089957273422f);
}
} // namespace

AudioServer *AudioServer::get_singleton() {
	static AudioServer *server = memnew(AudioServer);
	return server;
}

AudioServer::AudioServer() {
	_host_reset();
}

void AudioServer::set_bus_count(int32_t p_amount) {
	ERR_FAIL_COND(p_amount < 1);
	size_t old = _buses.size();
	_buses.resize((size_t)p_amount);
	for (size_t i = old; i < _buses.size(); i++) {
		_buses[i].name = "New Bus " + itos((int64_t)i);
		_buses[i].volume_db = 0.0f;
	}
	emit_signal("bus_layout_changed");
}

int32_t AudioServer::get_bus_count() const {
	return (int32_t)_buses.size();
}

int32_t AudioServer::get_bus_index(const StringName &p_bus_name) const {
	for (size_t i = 0; i < _buses.size(); i++) {
		if (_buses[i].name == p_bus_name) {
			return (int32_t)i;
		}
	}
	return -1;
}

StringName AudioServer::get_bus_name(int32_t p_bus_idx) const {
	ERR_FAIL_INDEX_V(p_bus_idx, (int32_t)_buses.size(), StringName());
	return _buses[(size_t)p_bus_idx].name;
}

void AudioServer::set_bus_volume_db(int32_t p_bus_idx, float p_volume_db) {
	ERR_FAIL_INDEX(p_bus_idx, (int32_t)_buses.size());
	_buses[(size_t)p_bus_idx].volume_db = p_volume_db;
}

float AudioServer::get_bus_volume_db(int32_t p_bus_idx) const {
	ERR_FAIL_INDEX_V(p_bus_idx, (int32_t)_buses.size(), 0.0f);
	return _buses[(size_t)p_bus_idx].volume_db;
}

void AudioServer::set_bus_volume_linear(int32_t p_bus_idx, float p_volume_linear) {
	ERR_FAIL_INDEX(p_bus_idx, (int32_t)_buses.size());
	_linear_calls.push_back({ p_bus_idx, p_volume_linear });
	set_bus_volume_db(p_bus_idx, linear_to_db(p_volume_linear));
}

float AudioServer::get_bus_volume_linear(int32_t p_bus_idx) const {
	ERR_FAIL_INDEX_V(p_bus_idx, (int32_t)_buses.size(), 0.0f);
	return db_to_linear(_buses[(size_t)p_bus_idx].volume_db);
}

void AudioServer::_host_reset() {
	_buses.clear();
	_buses.push_back({ StringName("Master"), 0.0f });
	_linear_calls.clear();
}

GDHOST_REGISTER_ABSTRACT_ENGINE_CLASS(AudioServer, "bus_layout_changed", "bus_renamed");

} // namespace godot
