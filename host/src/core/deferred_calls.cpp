#include <godot_host/deferred_calls.hpp>

#include <deque>

namespace godot_host {

namespace {
std::deque<godot::Callable> &queue() {
	static std::deque<godot::Callable> q;
	return q;
}
} // namespace

void DeferredCalls::push(const godot::Callable &p_call) {
	queue().push_back(p_call);
}

void DeferredCalls::flush() {
	while (!queue().empty()) {
		godot::Callable c = queue().front();
		queue().pop_front();
		if (c.is_valid()) {
			c.call();
		}
	}
}

size_t DeferredCalls::pending() {
	return queue().size();
}

} // namespace godot_host
