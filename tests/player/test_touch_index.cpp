// The index that finds a touched body's entry: ids put, moved and taken out
// in any order must be found exactly as a plain map finds them, including
// after the table grows and after runs of colliding ids lose members.
#include "touch_index.hpp"

#include <gtest/gtest.h>

#include <random>
#include <unordered_map>

using godot::TouchIndex;

namespace {

void expect_same(const TouchIndex &p_index, const std::unordered_map<uint64_t, int64_t> &p_want, uint64_t p_max_id) {
	ASSERT_EQ(p_index.size(), (int64_t)p_want.size());
	for (uint64_t id = 1; id <= p_max_id; id++) {
		auto it = p_want.find(id);
		ASSERT_EQ(p_index.find(id), it == p_want.end() ? -1 : it->second) << "id " << id;
	}
}

} // namespace

TEST(TouchIndex, AgreesWithAMapUnderRandomPutsMovesAndRemovals) {
	TouchIndex index;
	std::unordered_map<uint64_t, int64_t> want;
	std::mt19937_64 random(7);
	const uint64_t max_id = 3000;
	for (int step = 0; step < 40000; step++) {
		uint64_t id = 1 + random() % max_id;
		if (random() % 3 == 0) {
			index.erase(id);
			want.erase(id);
		} else {
			int64_t position = (int64_t)(random() % 100000);
			index.set(id, position);
			want[id] = position;
		}
		if (step % 5000 == 0) {
			expect_same(index, want, max_id);
		}
	}
	expect_same(index, want, max_id);
}

TEST(TouchIndex, IdsOfOneRunStayReachableWhenMembersLeave) {
	// Engine ids often differ only in their low bits; many share a run.
	TouchIndex index;
	std::unordered_map<uint64_t, int64_t> want;
	const uint64_t base = 0x8000000000000000ULL;
	for (uint64_t k = 0; k < 200; k++) {
		index.set(base + k * 16, (int64_t)k);
		want[base + k * 16] = (int64_t)k;
	}
	for (uint64_t k = 0; k < 200; k += 3) {
		index.erase(base + k * 16);
		want.erase(base + k * 16);
	}
	for (uint64_t k = 0; k < 200; k++) {
		auto it = want.find(base + k * 16);
		EXPECT_EQ(index.find(base + k * 16), it == want.end() ? -1 : it->second);
	}
	EXPECT_EQ(index.size(), (int64_t)want.size());
}

TEST(TouchIndex, EmptyClearedAndIdZero) {
	TouchIndex index;
	EXPECT_EQ(index.find(5), -1);
	index.erase(5); // nothing to take out
	index.set(0, 3); // names no object
	EXPECT_EQ(index.find(0), -1);
	EXPECT_EQ(index.size(), 0);
	index.set(5, 1);
	index.set(5, 2);
	EXPECT_EQ(index.find(5), 2);
	EXPECT_EQ(index.size(), 1);
	index.clear();
	EXPECT_EQ(index.find(5), -1);
	EXPECT_EQ(index.size(), 0);
	index.set(9, 4);
	EXPECT_EQ(index.find(9), 4);
}
