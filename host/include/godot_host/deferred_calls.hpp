#ifndef GODOT_HOST_DEFERRED_CALLS_HPP
#define GODOT_HOST_DEFERRED_CALLS_HPP

#include <godot_cpp/variant/callable.hpp>

namespace godot_host {

// Calls queued with call_deferred, run by the main loop at the end of a frame.
class HOST_API DeferredCalls {
public:
	static void push(const godot::Callable &p_call);
	// Runs every queued call, also those queued while flushing.
	static void flush();
	static size_t pending();
};

} // namespace godot_host

#endif // GODOT_HOST_DEFERRED_CALLS_HPP
