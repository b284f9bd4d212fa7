// What the engine and the scene files see of the HUD: its bound methods in
// order, the typing-delay property as the editor shows and saves it, and its
// one signal. The sequences' operations stay plain C++ calls.
#include "support/game_fixture.hpp"

#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/method_bind.hpp>

#include <string>
#include <vector>

using namespace godot;

using HudBindings = GameTest;

TEST_F(HudBindings, MethodsPropertyAndSignalAsTheEngineSeesThem) {
	const ClassDB::ClassRecord *rec = ClassDB::get_class_record("HUD");
	ASSERT_NE(rec, nullptr);

	struct Expected {
		const char *name;
		int args;
		std::vector<std::string> arg_names;
		bool is_const;
	};
	const std::vector<Expected> expected = {
		{ "get_typing_delay", 0, {}, true },
		{ "set_typing_delay", 1, { "name" }, false },
		{ "_on_typing_timer_timeout", 0, {}, false },
	};
	ASSERT_EQ(rec->methods.size(), expected.size());
	for (size_t i = 0; i < expected.size(); i++) {
		const MethodBind *m = rec->methods[i];
		EXPECT_EQ(String(m->get_name()), String(expected[i].name)) << i;
		EXPECT_EQ(m->get_argument_count(), expected[i].args) << expected[i].name;
		std::vector<std::string> arg_names;
		for (const StringName &n : m->get_argument_names()) {
			arg_names.push_back(String(n).utf8().get_data());
		}
		EXPECT_EQ(arg_names, expected[i].arg_names) << expected[i].name;
		EXPECT_EQ(m->is_const(), expected[i].is_const) << expected[i].name;
	}

	ASSERT_EQ(rec->properties.size(), 1u);
	const ClassDB::PropertyEntry &p = rec->properties[0];
	EXPECT_EQ(String(p.info.name), String("m_typing_delay"));
	EXPECT_EQ(p.info.type, Variant::FLOAT);
	EXPECT_EQ(p.info.hint, (uint32_t)PROPERTY_HINT_NONE);
	EXPECT_EQ(p.info.hint_string, String("Delay between characters in seconds"));
	EXPECT_EQ(p.info.usage, (uint32_t)PROPERTY_USAGE_DEFAULT);
	EXPECT_EQ(String(p.setter), String("set_typing_delay"));
	EXPECT_EQ(String(p.getter), String("get_typing_delay"));
	EXPECT_EQ(p.index, -1);

	ASSERT_EQ(rec->signals.size(), 1u);
	EXPECT_EQ(String(rec->signals[0].name), String("finished_typing"));
	EXPECT_TRUE(rec->signals[0].arguments.empty());

	for (const char *plain : { "set_text", "get_text", "clear_text", "play_text" }) {
		EXPECT_EQ(ClassDB::get_method("HUD", plain), nullptr) << plain;
	}
}
