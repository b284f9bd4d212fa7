// The engine's own footprint stays flat over a long run: names no one refers
// to are freed, and what it records for reading back is bounded.
#include <godot_cpp/classes/audio_server.hpp>
#include <godot_cpp/classes/xr_server.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/utility_functions.hpp>
#include <godot_host/log.hpp>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace godot;
using godot_host::Log;

TEST(HostMemory, NamesLiveAsLongAsSomethingRefersToThem) {
	const int64_t before = StringName::_host_interned_count();
	for (int i = 0; i < 20000; i++) {
		StringName name(String("transient_") + itos(i));
		StringName copy = name;
		EXPECT_EQ(copy, name);
	}
	EXPECT_EQ(StringName::_host_interned_count(), before) << "every dropped name freed";

	StringName kept("kept_name_for_test");
	const int64_t with_one = StringName::_host_interned_count();
	{
		StringName again("kept_name_for_test");
		EXPECT_EQ(again, kept) << "equal names share one entry";
		StringName moved = std::move(again);
		EXPECT_TRUE(again.is_empty());
		StringName assigned;
		assigned = moved;
		assigned = assigned;
		moved = StringName();
		EXPECT_EQ(assigned, kept);
		EXPECT_EQ(StringName::_host_interned_count(), with_one);
	}
	EXPECT_EQ(String(kept), String("kept_name_for_test")) << "the first holder still reads it";
	kept = StringName();
	EXPECT_EQ(StringName::_host_interned_count(), with_one - 1);
	EXPECT_EQ(StringName("kept_name_for_test"), StringName("kept_name_for_test")) << "made anew after being freed";
}

TEST(HostMemory, TheLogKeepsItsRecentEntriesAndCountsThemAll) {
	Log::clear();
	const size_t capacity = Log::capacity();
	const int prints = (int)capacity * 3;
	for (int i = 0; i < prints; i++) {
		UtilityFunctions::print("line ", i);
	}
	ERR_PRINT("the last word");
	EXPECT_LE(Log::entries().size(), capacity);
	EXPECT_GE(Log::entries().size(), capacity / 2);
	EXPECT_EQ(Log::total_count(), (uint64_t)prints + 1);
	EXPECT_EQ(Log::error_count(), 1);
	std::vector<std::string> lines = Log::printed_lines();
	ASSERT_FALSE(lines.empty());
	EXPECT_EQ(lines.back(), "line " + std::to_string(prints - 1)) << "the newest kept, in order";
	EXPECT_EQ(Log::errors().back().text, "the last word");
	Log::clear();
	EXPECT_EQ(Log::error_count(), 0);
	EXPECT_EQ(Log::total_count(), 0u);
}

TEST(HostMemory, VolumeAndRecentreRecordsStayBounded) {
	AudioServer *audio = AudioServer::get_singleton();
	audio->_host_reset();
	for (int i = 0; i < 100000; i++) {
		audio->set_bus_volume_linear(0, (float)(i % 100) / 100.0f);
	}
	EXPECT_LE(audio->_host_linear_volume_calls().size(), 1024u);
	EXPECT_EQ(audio->_host_linear_volume_call_count(), 100000u);
	EXPECT_FLOAT_EQ(audio->_host_linear_volume_calls().back().linear, 0.99f);
	audio->_host_reset();
	EXPECT_TRUE(audio->_host_linear_volume_calls().empty());

	XRServer *xr = XRServer::get_singleton();
	xr->_host_reset();
	for (int i = 0; i < 5000; i++) {
		xr->center_on_hmd(XRServer::RESET_BUT_KEEP_TILT, i % 2 == 0);
	}
	EXPECT_LE(xr->_host_center_calls().size(), 1024u);
	EXPECT_EQ(xr->_host_center_call_count(), 5000u);
	EXPECT_FALSE(xr->_host_center_calls().back().keep_height);
	xr->_host_reset();
	Log::clear();
}
