// The game's project data that the library loads by path: the HUD's glyph
// scene and the typing click.
#include <godot_host/project_resources.hpp>

#include <godot_cpp/classes/audio_stream.hpp>
#include <godot_cpp/classes/mesh.hpp>
#include <godot_cpp/classes/mesh_instance3d.hpp>
#include <godot_cpp/classes/packed_scene.hpp>
#include <godot_cpp/classes/resource_loader.hpp>
#include <godot_cpp/classes/standard_material3d.hpp>

namespace godot_host {

using namespace godot;

namespace {

// One glyph: a quad filling its 0.05 cell to the right of and below its
// origin, drawn with one cell of the 8 by 8 glyph atlas. The mesh and its
// material are sub-resources of the scene, shared by all its instances.
Ref<Resource> load_hud_character() {
	Ref<StandardMaterial3D> atlas;
	atlas.instantiate();
	atlas->set_albedo(Color(1, 1, 1, 1));
	// At offset (0, 0, 0) the material shows the top-left cell, the blank.
	atlas->set_uv1_scale(Vector3(0.125f, 0.125f, 1.0f));
	atlas->set_uv1_offset(Vector3(0, 0, 0));

	Ref<Mesh> quad;
	quad.instantiate();
	quad->_host_add_surface(atlas);

	Ref<PackedScene> scene;
	scene.instantiate();
	scene->_host_set_builder([quad]() -> Node * {
		MeshInstance3D *glyph = memnew(MeshInstance3D);
		glyph->set_name("HudCharacter");
		glyph->set_mesh(quad);
		return glyph;
	});
	return scene;
}

Ref<Resource> load_typing_click() {
	Ref<AudioStream> click;
	click.instantiate();
	click->_host_set_length(TYPING_CLICK_LENGTH);
	return click;
}

struct Registrar {
	Registrar() { register_project_resources(); }
};
const Registrar registrar;

} // namespace

void register_project_resources() {
	ResourceLoader *loader = ResourceLoader::get_singleton();
	loader->_host_register(HUD_CHARACTER_SCENE, load_hud_character);
	loader->_host_register(TYPING_CLICK_SOUND, load_typing_click);
}

} // namespace godot_host
