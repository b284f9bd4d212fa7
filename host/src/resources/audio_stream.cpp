// Audio streams: the engine plays no samples, it only keeps time.
#include <godot_cpp/classes/audio_stream.hpp>

#include <godot_cpp/core/class_db.hpp>

namespace godot {

double AudioStream::get_length() const {
	return _length;
}

void AudioStream::_host_set_length(double p_seconds) {
	_length = p_seconds > 0 ? p_seconds : 0.0;
}

void AudioStream::_host_copy_from(const Resource &p_from, bool p_subresources) {
	Resource::_host_copy_from(p_from, p_subresources);
	const AudioStream *from = Object::cast_to<AudioStream>(&p_from);
	ERR_FAIL_NULL(from);
	_length = from->_length;
}

GDHOST_REGISTER_ENGINE_CLASS(AudioStream);

} // namespace godot
