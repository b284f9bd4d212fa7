#ifndef GODOT_HOST_BOUNDED_RECORD_HPP
#define GODOT_HOST_BOUNDED_RECORD_HPP

#include <cstddef>
#include <cstdint>
#include <vector>

namespace godot_host {

// What the engine records for tests and the runner to read back, bounded so a
// long run keeps a flat footprint: the most recent entries (at least half the
// capacity once it filled) in order, and a count of every entry ever added.
template <typename T>
class BoundedRecord {
	std::vector<T> _recent;
	size_t _capacity;
	uint64_t _total = 0;

public:
	explicit BoundedRecord(size_t p_capacity) :
			_capacity(p_capacity < 2 ? 2 : p_capacity) {}

	void push_back(const T &p_entry) {
		if (_recent.size() >= _capacity) {
			// Dropping the older half at once keeps adding O(1) on average.
			_recent.erase(_recent.begin(), _recent.begin() + (std::ptrdiff_t)(_capacity / 2));
		}
		_recent.push_back(p_entry);
		_total++;
	}
	void clear() {
		_recent.clear();
		_total = 0;
	}
	const std::vector<T> &recent() const { return _recent; }
	uint64_t total() const { return _total; }
	size_t capacity() const { return _capacity; }
};

} // namespace godot_host

#endif // GODOT_HOST_BOUNDED_RECORD_HPP
