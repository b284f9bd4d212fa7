#ifndef GODOT_AUDIOSTREAM_HPP
#define GODOT_AUDIOSTREAM_HPP

#include <godot_cpp/classes/resource.hpp>

namespace godot {

// A sound without samples: the engine only keeps its length.
class HOST_API AudioStream : public Resource {
	GDEXTENSION_CLASS(AudioStream, Resource)

public:
	// Seconds; 0 for a stream that plays until stopped.
	double get_length() const;

	// ---- engine side ----
	void _host_set_length(double p_seconds);
	void _host_copy_from(const Resource &p_from, bool p_subresources) override;

private:
	double _length = 0.0;
};

} // namespace godot

#endif // GODOT_AUDIOSTREAM_HPP
