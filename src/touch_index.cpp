#include "touch_index.hpp"

#include <algorithm>

namespace godot {

size_t TouchIndex::home(uint64_t p_id) const {
	// Ids that differ in a few bits land far apart.
	uint64_t h = p_id;
	h ^= h >> 33;
	h *= 0xff51afd7ed558ccdULL;
	h ^= h >> 33;
	return (size_t)h & (slots.size() - 1);
}

size_t TouchIndex::slot_of(uint64_t p_id) const {
	size_t mask = slots.size() - 1;
	size_t i = home(p_id);
	while (slots[i].id != 0 && slots[i].id != p_id) {
		i = (i + 1) & mask;
	}
	return i;
}

int64_t TouchIndex::find(uint64_t p_id) const {
	if (p_id == 0 || used == 0) {
		return -1;
	}
	const Slot &slot = slots[slot_of(p_id)];
	return slot.id == p_id ? slot.position : -1;
}

void TouchIndex::set(uint64_t p_id, int64_t p_position) {
	if (p_id == 0) {
		return; // names no object: never looked up
	}
	if ((size_t)(used + 1) * 2 > slots.size()) {
		grow();
	}
	Slot &slot = slots[slot_of(p_id)];
	if (slot.id == 0) {
		slot.id = p_id;
		used++;
	}
	slot.position = p_position;
}

void TouchIndex::erase(uint64_t p_id) {
	if (p_id == 0 || used == 0) {
		return;
	}
	size_t mask = slots.size() - 1;
	size_t hole = slot_of(p_id);
	if (slots[hole].id != p_id) {
		return;
	}
	// Moves later entries of the run back into the hole, so that every
	// entry stays reachable from its home slot without markers.
	for (size_t j = (hole + 1) & mask; slots[j].id != 0; j = (j + 1) & mask) {
		size_t k = home(slots[j].id);
		bool stays = hole <= j ? (hole < k && k <= j) : (hole < k || k <= j);
		if (!stays) {
			slots[hole] = slots[j];
			hole = j;
		}
	}
	slots[hole] = Slot();
	used--;
}

void TouchIndex::clear() {
	std::fill(slots.begin(), slots.end(), Slot());
	used = 0;
}

void TouchIndex::grow() {
	std::vector<Slot> old;
	old.swap(slots);
	slots.assign(old.empty() ? 16 : old.size() * 2, Slot());
	used = 0;
	for (const Slot &slot : old) {
		if (slot.id != 0) {
			set(slot.id, slot.position);
		}
	}
}

} // namespace godot
