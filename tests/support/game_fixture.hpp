#ifndef MOSSGLIMMER_TESTS_GAME_FIXTURE_HPP
#define MOSSGLIMMER_TESTS_GAME_FIXTURE_HPP

#include "_register_nodes.hpp"

#include <godot_cpp/classes/node.hpp>
#include <godot_host/host.hpp>
#include <godot_host/log.hpp>

#include <gtest/gtest.h>

#include <string>

// Loads the game library into the engine for each test and tears the scene
// down afterwards, so tests start from a fresh engine.
class GameTest : public ::testing::Test {
protected:
	godot_host::Extension extension;

	void SetUp() override {
		godot_host::Host::set_editor_hint(false);
		godot_host::Host::reset();
		godot_host::Log::clear();
		ASSERT_TRUE(extension.open_entry(init_nodes));
		extension.initialize();
	}

	void TearDown() override {
		godot_host::Host::reset();
		extension.close();
		godot_host::Host::set_editor_hint(false);
		godot_host::Log::clear();
	}

	// Adds p_node as a child of p_parent named p_name, owned by p_owner (the
	// scene root), as a node saved in a scene would be.
	template <typename T>
	static T *add_node(godot::Node *p_parent, T *p_node, const char *p_name, godot::Node *p_owner) {
		p_node->set_name(p_name);
		p_parent->add_child(p_node);
		if (p_owner && p_owner != p_node) {
			p_node->set_owner(p_owner);
		}
		return p_node;
	}

	static std::string log_text() {
		std::string out;
		for (const std::string &line : godot_host::Log::printed_lines()) {
			out += line + "\n";
		}
		return out;
	}
};

#endif // MOSSGLIMMER_TESTS_GAME_FIXTURE_HPP
