// The index that finds a touched body's entry: ids put, moved and taken out
// in any order must be found exactly as a plain map finds them, including
// after the table grows and after runs of colliding ids lose members.
#include "touch_index.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <unordered_map>
#include <vector>

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

TEST(TouchIndex, BurstsOfNewBodiesReuseOneTable) {
	// Ids are never given twice: each burst is of new bodies, which all go.
	TouchIndex index;
	uint64_t next_id = 1;
	int64_t slots = 0;
	for (int burst = 0; burst < 5; burst++) {
		std::vector<uint64_t> ids;
		for (int k = 0; k < 5000; k++) {
			ids.push_back(next_id);
			index.set(next_id++, k);
		}
		slots = burst == 0 ? index.slot_count() : slots;
		EXPECT_LE(index.slot_count(), 4 * 5000);
		EXPECT_EQ(index.slot_count(), slots) << "burst " << burst;
		// Leaving in an order unlike their arrival, as freed bodies do.
		std::mt19937_64 random((uint64_t)burst);
		std::shuffle(ids.begin(), ids.end(), random);
		for (size_t k = 0; k < ids.size(); k++) {
			index.erase(ids[k]);
			if (k % 500 == 0) {
				ASSERT_EQ(index.size(), (int64_t)(ids.size() - k - 1));
				for (size_t left = k + 1; left < ids.size(); left += 97) {
					ASSERT_GE(index.find(ids[left]), 0) << "id " << ids[left];
				}
			}
		}
		EXPECT_EQ(index.size(), 0);
		EXPECT_EQ(index.find(ids.front()), -1);
	}
}

TEST(TouchIndex, SteadyComingAndGoingNeitherGrowsNorShrinksTheTable) {
	// Tens of bodies touched at a time, each a new one, their number halving
	// and doubling: the table keeps its size, so steady play allocates nothing
	// and keeps nothing for the bodies that went.
	const size_t most = 40;
	TouchIndex index;
	uint64_t next_id = 1;
	std::vector<uint64_t> alive;
	for (size_t k = 0; k < most; k++) {
		alive.push_back(next_id);
		index.set(next_id++, (int64_t)k);
	}
	const int64_t slots = index.slot_count();
	std::mt19937_64 random(3);
	for (int step = 0; step < 20000; step++) {
		size_t leaving = (size_t)(random() % most);
		index.erase(alive[leaving]);
		alive[leaving] = next_id;
		index.set(next_id++, (int64_t)leaving);
		if (step % 3 == 0) {
			for (size_t k = 0; k < most / 2; k++) {
				index.erase(alive[k]);
			}
			for (size_t k = 0; k < most / 2; k++) {
				alive[k] = next_id;
				index.set(next_id++, (int64_t)k);
			}
		}
		ASSERT_EQ(index.slot_count(), slots);
	}
	for (size_t k = 0; k < most; k++) {
		EXPECT_EQ(index.find(alive[k]), (int64_t)k);
	}
	EXPECT_EQ(index.size(), (int64_t)most);
}
