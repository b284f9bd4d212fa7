#ifndef MOSSGLIMMER_TESTS_HUD_FIXTURE_HPP
#define MOSSGLIMMER_TESTS_HUD_FIXTURE_HPP

#include "hud.hpp"
#include "support/game_fixture.hpp"

#include <godot_cpp/classes/audio_stream.hpp>
#include <godot_cpp/classes/audio_stream_player.hpp>
#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/resource_loader.hpp>
#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/classes/standard_material3d.hpp>
#include <godot_cpp/classes/timer.hpp>
#include <godot_host/project_resources.hpp>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

// Counts "finished_typing" and remembers when it came.
struct TypingProbe : public godot::Object {
	const double *clock = nullptr;
	int finished = 0;
	double finished_at = -1.0;
	void on_finished() {
		finished++;
		finished_at = clock ? *clock : 0.0;
	}
};

// A glyph as the player sees it: its atlas cell and where it sits.
struct Glyph {
	godot::MeshInstance3D *node = nullptr;
	int cell = -1;
	godot::Vector3 uv;
	godot::Vector3 origin;
	bool visible = false;
};

class HudTest : public GameTest {
protected:
	godot::Node3D *root = nullptr;
	godot::HUD *hud = nullptr;
	godot::AudioStreamPlayer *click = nullptr;
	TypingProbe *probe = nullptr;
	double now = 0.0;

	void TearDown() override {
		if (probe) {
			godot::memdelete(probe);
			probe = nullptr;
		}
		GameTest::TearDown();
		// Tests may have replaced project data.
		godot_host::register_project_resources();
	}

	// The part of the game's scene that the HUD needs: the HUD with its click
	// player, saved in the scene and running while the tree is paused.
	void build(bool p_with_click = true, double p_scene_delay = -1.0) {
		if (probe) {
			godot::memdelete(probe);
		}
		root = memnew(godot::Node3D);
		root->set_name("Main");
		hud = add_node(root, memnew(godot::HUD), "HUD", root);
		hud->set_process_mode(godot::Node::PROCESS_MODE_ALWAYS);
		if (p_scene_delay > 0) {
			hud->set("m_typing_delay", p_scene_delay);
		}
		if (p_with_click) {
			click = add_node(hud, memnew(godot::AudioStreamPlayer), "AudioStreamPlayer", root);
			click->set_stream(godot::ResourceLoader::get_singleton()->load(godot_host::TYPING_CLICK_SOUND));
		}
		godot_host::Host::set_current_scene(root);
		probe = memnew(TypingProbe);
		probe->clock = &now;
		hud->connect("finished_typing", callable_mp(probe, &TypingProbe::on_finished));
	}

	void type(const std::vector<godot::String> &p_lines) {
		hud->set_text(p_lines);
		hud->play_text();
	}

	void step(double p_seconds, double p_frame = 0.01) {
		int64_t frames = (int64_t)std::llround(p_seconds / p_frame);
		for (int64_t i = 0; i < frames; i++) {
			godot_host::Host::iteration(p_frame);
			now += p_frame;
		}
	}

	int clicks() const { return click ? (int)click->_host_play_count() : 0; }

	godot::Timer *typing_timer() const {
		for (int32_t i = 0; i < hud->get_child_count(); i++) {
			if (godot::Timer *timer = godot::Object::cast_to<godot::Timer>(hud->get_child(i))) {
				return timer;
			}
		}
		return nullptr;
	}

	static int errors_saying(const char *p_text) {
		int n = 0;
		for (const godot_host::LogEntry &e : godot_host::Log::errors()) {
			n += e.text.find(p_text) != std::string::npos ? 1 : 0;
		}
		return n;
	}

	// The glyphs of the current text, in child order (which is typing order).
	std::vector<Glyph> glyphs() const {
		std::vector<Glyph> out;
		for (int32_t i = 0; i < hud->get_child_count(); i++) {
			auto *mi = godot::Object::cast_to<godot::MeshInstance3D>(hud->get_child(i));
			if (!mi || mi->is_queued_for_deletion()) {
				continue;
			}
			Glyph g;
			g.node = mi;
			godot::Ref<godot::StandardMaterial3D> m = mi->get_surface_override_material(0);
			if (m.is_valid()) {
				g.uv = m->get_uv1_offset();
				g.cell = (int)std::lround(g.uv.x / 0.125) + 8 * (int)std::lround(g.uv.y / 0.125);
			}
			g.origin = mi->get_transform().origin;
			g.visible = mi->is_visible();
			out.push_back(g);
		}
		return out;
	}

	// Reads the shown text back from the glyphs: rows from their heights
	// (0.05 apart, the top one at rows x 0.025), characters from their cells.
	std::vector<std::string> read_lines(bool p_visible_only = true) const {
		std::vector<Glyph> all = glyphs();
		float top = -1e9f;
		for (const Glyph &g : all) {
			top = std::max(top, g.origin.y);
		}
		std::map<int, std::map<int, char>> rows;
		int row_count = 0;
		if (!all.empty()) {
			row_count = (int)std::lround(top / 0.025);
		}
		for (const Glyph &g : all) {
			if (p_visible_only && !g.visible) {
				continue;
			}
			int row = (int)std::lround((top - g.origin.y) / 0.05);
			int col = (int)std::lround(g.origin.x / 0.05 * 1000.0); // ordered by x
			rows[row][col] = (char)(g.cell + 32);
		}
		std::vector<std::string> out((size_t)std::max(row_count, (int)rows.size()));
		for (auto &r : rows) {
			for (auto &c : r.second) {
				out[(size_t)r.first] += c.second;
			}
		}
		return out;
	}
};

#endif // MOSSGLIMMER_TESTS_HUD_FIXTURE_HPP
