#ifndef MOSSGLIMMER_TOUCH_INDEX_HPP
#define MOSSGLIMMER_TOUCH_INDEX_HPP

#include <cstddef>
#include <cstdint>
#include <vector>

namespace godot {

// Positions in the player's touch list by the body's instance id. Open
// addressing with linear probing. The table grows when half full and halves
// once at most an eighth is used, so adding and removing entries in steady
// play allocates nothing, and a burst of touched bodies leaves no large
// table behind once they are gone.
class TouchIndex {
public:
	// -1 when the id has no position.
	int64_t find(uint64_t p_id) const;
	void set(uint64_t p_id, int64_t p_position);
	void erase(uint64_t p_id);
	void clear();
	int64_t size() const { return used; }
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
	void rehash(size_t p_slots);
};

} // namespace godot

#endif // MOSSGLIMMER_TOUCH_INDEX_HPP
