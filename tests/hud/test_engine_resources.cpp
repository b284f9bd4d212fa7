// The engine's resource loading, scene instancing, materials and click
// player, as the HUD relies on them.
#include "hud_fixture.hpp"

#include <godot_cpp/classes/mesh.hpp>
#include <godot_cpp/classes/packed_scene.hpp>

using namespace godot;

TEST_F(HudTest, LoaderCacheModes) {
	ResourceLoader *loader = ResourceLoader::get_singleton();
	const String path = godot_host::HUD_CHARACTER_SCENE;
	Ref<Resource> a = loader->load(path, "", ResourceLoader::CACHE_MODE_REUSE);
	ASSERT_TRUE(a.is_valid());
	EXPECT_TRUE(a->is_class("PackedScene"));
	EXPECT_EQ(a->get_path(), path);
	EXPECT_TRUE(loader->has_cached(path));
	EXPECT_EQ(loader->load(path), a);
	EXPECT_NE(loader->load(path, "", ResourceLoader::CACHE_MODE_IGNORE), a);
	// Replacing refreshes the cached instance in place.
	EXPECT_EQ(loader->load(path, "", ResourceLoader::CACHE_MODE_REPLACE), a);

	// The cache keeps no resource alive.
	a.unref();
	EXPECT_FALSE(loader->has_cached(path));

	EXPECT_TRUE(loader->exists(path));
	EXPECT_TRUE(loader->load(path, "Texture2D").is_null());
	EXPECT_TRUE(loader->load("res://nowhere.tscn").is_null());
	EXPECT_FALSE(loader->exists("res://nowhere.tscn"));
	EXPECT_EQ(godot_host::Log::error_count(), 2);
}

TEST_F(HudTest, GlyphSceneInstancesShareTheirMaterialAndAreOwned) {
	Ref<PackedScene> scene = ResourceLoader::get_singleton()->load(godot_host::HUD_CHARACTER_SCENE);
	ASSERT_TRUE(scene.is_valid());
	ASSERT_TRUE(scene->can_instantiate());
	Node *a = scene->instantiate();
	Node *b = scene->instantiate();
	auto *ma = Object::cast_to<MeshInstance3D>(a);
	auto *mb = Object::cast_to<MeshInstance3D>(b);
	ASSERT_TRUE(ma && mb);
	EXPECT_EQ(ma->get_owner(), nullptr);
	EXPECT_EQ(ma->get_active_material(0), mb->get_active_material(0));
	EXPECT_TRUE(Ref<StandardMaterial3D>(ma->get_active_material(0)).is_valid());

	// Active material: the override, else the surface override, else the mesh's.
	Ref<StandardMaterial3D> surface;
	surface.instantiate();
	ma->set_surface_override_material(0, surface);
	EXPECT_EQ(ma->get_active_material(0), surface);
	EXPECT_TRUE(ma->get_active_material(1).is_null());
	Ref<StandardMaterial3D> whole;
	whole.instantiate();
	ma->set_material_override(whole);
	EXPECT_EQ(ma->get_active_material(0), whole);

	// A shallow copy carries the material's parameters.
	Ref<StandardMaterial3D> source = mb->get_active_material(0);
	Ref<StandardMaterial3D> copy = source->duplicate(false);
	ASSERT_TRUE(copy.is_valid());
	EXPECT_NE(copy, source);
	EXPECT_EQ(copy->get_uv1_scale(), Vector3(0.125f, 0.125f, 1));

	Ref<PackedScene> nested;
	nested.instantiate();
	nested->_host_set_builder([]() -> Node * {
		Node *root = memnew(Node3D);
		Node *child = memnew(Node3D);
		root->add_child(child);
		child->add_child(memnew(Node));
		return root;
	});
	Node *n = nested->instantiate();
	EXPECT_EQ(n->get_child(0)->get_owner(), n);
	EXPECT_EQ(n->get_child(0)->get_child(0)->get_owner(), n);
	memdelete(n);
	memdelete(a);
	memdelete(b);
}

TEST_F(HudTest, ClickPlayerCountsPlaybacksAndFinishes) {
	build();
	EXPECT_FALSE(click->is_playing());
	click->play(0.0);
	click->play(0.0);
	EXPECT_EQ(clicks(), 2);
	EXPECT_TRUE(click->is_playing());
	step(godot_host::TYPING_CLICK_LENGTH + 0.02);
	EXPECT_FALSE(click->is_playing());

	// Without a stream nothing plays.
	AudioStreamPlayer *silent = add_node(root, memnew(AudioStreamPlayer), "Silent", root);
	silent->play();
	EXPECT_FALSE(silent->is_playing());
	EXPECT_EQ(silent->_host_play_count(), 0);
	EXPECT_EQ(godot_host::Log::error_count(), 0);
}
