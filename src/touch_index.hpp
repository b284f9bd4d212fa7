#ifndef MOSSGLIMMER_TOUCH_INDEX_HPP
#define MOSSGLIMMER_TOUCH_INDEX_HPP

#include <cstddef>
#include <cstdint>
#include <vector>

namespace godot {

// Positions in the player's touch list by the body's instance id. Open
// addressing with linear probing: the table only grows, so adding and
// removing entries in steady play allocates nothing.
class TouchIndex {
public:
	// -1 when the id has no position.
	int64_t find(uint64_t p_id) const;
	void set(uint64_t p_id, int64_t p_position);
	void erase(uint64_t p_id);
	void clear();
	int64_t size() const { return used; }
	// At most four times the most entries held at once, whatever came and went.
	int64_t slot_count() const { return (int64_t)slots.size(); }

private:
	struct Slot {
		uint64_t id = 0; // 0 marks an empty slot: no object has that id
		int64_t position = 0;
	};
	std::vector<Slot> slots; // a power of two in size, at most half used
	int64_t used = 0;

	size_t home(uint64_t p_id) const;
	size_t slot_of(uint64_t p_id) const; // the id's slot, or the empty one ending its run
	void grow();
};

} // namespace godot

#endif // MOSSGLIMMER_TOUCH_INDEX_HPP
