// Shared XR state: the developer flag and its release at shut-down.
#include "fingers.hpp"
#include "globals.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace godot;
namespace fs = std::filesystem;

namespace {

// Runs the marker lookup in a child process whose working directory is p_cwd.
int marker_in(const fs::path &p_cwd, bool p_remove_cwd = false) {
	pid_t pid = fork();
	if (pid == 0) {
		if (chdir(p_cwd.c_str()) != 0) {
			_exit(2);
		}
		if (p_remove_cwd) {
			fs::remove(p_cwd);
		}
		_exit(find_developer_marker() ? 1 : 0);
	}
	int status = 0;
	waitpid(pid, &status, 0);
	return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class DeveloperFlagTest : public ::testing::Test {
protected:
	fs::path base;
	fs::path game;

	void SetUp() override {
		char tmpl[] = "/tmp/mossglimmer-devflag-XXXXXX";
		ASSERT_NE(mkdtemp(tmpl), nullptr);
		base = tmpl;
		game = base / "game";
		fs::create_directory(game);
	}
	void TearDown() override { fs::remove_all(base); }
};

} // namespace

TEST_F(DeveloperFlagTest, AnyEntryNamedDevBesideTheWorkingDirectoryCounts) {
	EXPECT_EQ(marker_in(game), 0);

	{ std::FILE *f = std::fopen((base / "DEV").c_str(), "w"); std::fclose(f); }
	EXPECT_EQ(marker_in(game), 1) << "a file";
	fs::remove(base / "DEV");

	fs::create_directory(base / "DEV");
	EXPECT_EQ(marker_in(game), 1) << "a directory";
	fs::remove(base / "DEV");

	fs::create_symlink(base / "missing", base / "DEV");
	EXPECT_EQ(marker_in(game), 0) << "a dangling link counts by its target";
	fs::create_directory(base / "missing");
	EXPECT_EQ(marker_in(game), 1) << "a link to an existing target";
}

TEST_F(DeveloperFlagTest, OnlyTheParentDirectoryIsLookedAt) {
	fs::create_directory(game / "DEV");
	EXPECT_EQ(marker_in(game), 0) << "inside the working directory itself";
	fs::create_directory(game / "sub");
	EXPECT_EQ(marker_in(game / "sub"), 1) << "the working directory's parent is game/";
}

TEST_F(DeveloperFlagTest, RootAndUnknownWorkingDirectories) {
	// The parent of / is / itself, so the marker is /DEV.
	EXPECT_EQ(marker_in("/"), fs::exists("/DEV") ? 1 : 0);
	// A working directory that was removed can't be determined: no flag, even with a marker.
	fs::create_directory(base / "DEV");
	fs::create_directory(game / "gone");
	EXPECT_EQ(marker_in(game / "gone", true), 0);
}

TEST(GlobalsTest, CleanupReleasesInterfaceTrackersAndControllers) {
	auto *origin = memnew(XROrigin3D);
	auto *camera = memnew(XRCamera3D);
	XRController3D *controllers[2] = { memnew(XRController3D), memnew(XRController3D) };
	Globals::set_xr_origin(origin);
	Globals::set_xr_camera(camera);
	Ref<XRPositionalTracker> tracker;
	tracker.instantiate();
	Ref<XRHandTracker> hand;
	hand.instantiate();
	Globals::hand_trackers = { hand, Ref<XRHandTracker>() };
	Globals::xr_interface.instantiate();
	Globals::pos_trackers = { tracker, tracker, tracker, tracker, tracker };
	Globals::set_hand_controller(0, controllers[0]);
	Globals::set_hand_controller(1, controllers[1]);
	EXPECT_EQ(tracker->get_reference_count(), 6);
	bool dev = Globals::is_dev;

	Globals::cleanup();
	EXPECT_TRUE(Globals::xr_interface.is_null());
	ASSERT_EQ(Globals::pos_trackers.size(), 3u);
	for (const auto &t : Globals::pos_trackers) {
		EXPECT_TRUE(t.is_null());
	}
	EXPECT_EQ(tracker->get_reference_count(), 1) << "every reference the list held is released";
	EXPECT_EQ(Globals::hand_controllers[0], nullptr);
	EXPECT_EQ(Globals::hand_controllers[1], nullptr);
	EXPECT_EQ(Globals::get_xr_origin(), origin);
	EXPECT_EQ(Globals::get_xr_camera(), camera);
	EXPECT_TRUE(Globals::hand_trackers.empty()) << "released before the binding shuts down";
	EXPECT_EQ(hand->get_reference_count(), 1);
	EXPECT_EQ(Globals::is_dev, dev);

	Globals::cleanup(); // a second time changes nothing further
	EXPECT_EQ(Globals::pos_trackers.size(), 3u);

	Globals::pos_trackers.clear(); // before any start-up
	Globals::cleanup();
	EXPECT_EQ(Globals::pos_trackers.size(), 3u);

	Globals::clear_scene_state();
	for (Object *node : { static_cast<Object *>(origin), static_cast<Object *>(camera), static_cast<Object *>(controllers[0]), static_cast<Object *>(controllers[1]) }) {
		memdelete(node);
	}
}

TEST(GlobalsTest, FingerNamesInOrder) {
	EXPECT_EQ(FINGERS, (std::vector<std::string>{ "thumb", "index", "middle", "ring", "pinky" }));
}
