// A long randomised session: every kind of input the engine may deliver, in
// any order, with the invariants of the player's hands checked as it goes.
#include "session.hpp"

#include <godot_cpp/core/object.hpp>
#include <godot_host/host.hpp>
#include <godot_host/log.hpp>
#include <godot_host/physics_world.hpp>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

using namespace godot;
using godot_host::PhysicsWorld;

namespace {

const char *SESSION_EVENTS[] = { "session_begun", "session_visible", "session_focussed", "session_stopping", "session_loss_pending",
	"instance_exiting", "pose_recentered" };
const char *BUTTONS[] = { "ax_button", "by_button", "menu_button", "trigger_click" };
const char *FLOATS[] = { "trigger", "grip", "grip_force", "unknown" };
const char *VECTORS[] = { "primary", "secondary", "unknown" };

struct Touch {
	uint64_t body;
	int32_t shape;
};

} // namespace

int play_soak(Session &r_session, double p_seconds, unsigned p_seed) {
	DemoScene &s = r_session.scene();
	std::mt19937 rng(p_seed);
	auto chance = [&](double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(rng) < p; };
	auto pick = [&](int n) { return (int)(rng() % (unsigned)n); };
	auto value = [&]() -> float {
		switch (pick(6)) {
			case 0:
				return std::numeric_limits<float>::quiet_NaN();
			case 1:
				return (float)std::uniform_real_distribution<double>(-5.0, 5.0)(rng);
			case 2:
				return 0.0f;
			case 3:
				return 1.0f;
			default:
				return (float)std::uniform_real_distribution<double>(0.0, 1.0)(rng);
		}
	};

	index_hand_shapes(s);
	std::vector<int32_t> shapes;
	for (const auto &e : s.hand_shapes) {
		shapes.push_back(e.second);
	}
	const float base_mass = s.player ? s.player->get_mass() : 0.0f;
	const int objects_at_start = ObjectDB::_host_instance_count();
	std::vector<Touch> touches;
	int violations = 0;
	int frees = 0, events = 0, grabs_seen = 0;
	int settle_frames = 0;
	double end = r_session.time() + p_seconds;

	auto alive = [](uint64_t id) { return ObjectDB::get_instance(id) != nullptr; };
	auto report = [&](const char *p_what) {
		violations++;
		std::printf("[%6.2fs] INVARIANT: %s\n", r_session.time(), p_what);
	};

	while (r_session.time() < end) {
		if (chance(0.01)) {
			r_session.emit_session(SESSION_EVENTS[pick(7)]);
			events++;
		}
		for (int hand = 0; hand < 2; hand++) {
			XRController3D *c = s.controllers[hand];
			if (!c) {
				continue;
			}
			if (chance(0.03)) {
				c->_host_press_button(BUTTONS[pick(4)]);
				events++;
			}
			if (chance(0.03)) {
				c->_host_release_button(BUTTONS[pick(4)]);
				events++;
			}
			if (chance(0.08)) {
				c->_host_set_float(FLOATS[pick(4)], value());
				events++;
			}
			if (chance(0.05)) {
				c->_host_set_vector2(VECTORS[pick(3)], Vector2(value(), value()));
				events++;
			}
		}
		if (s.camera && chance(0.02)) {
			s.camera->set_position(Vector3(value() * 0.2f, 1.6f, value() * 0.2f));
		}
		// Contacts on every hand shape with crates, and wall contacts.
		if (s.player && !shapes.empty() && !s.crates.empty() && chance(0.15)) {
			RigidBody3D *crate = s.crates[(size_t)pick((int)s.crates.size())];
			if (alive(crate->get_instance_id())) {
				Touch t = { crate->get_instance_id(), shapes[(size_t)pick((int)shapes.size())] };
				PhysicsWorld::begin_shape_contact(s.player, crate, 0, t.shape);
				touches.push_back(t);
			}
		}
		if (!touches.empty() && chance(0.12)) {
			size_t i = (size_t)pick((int)touches.size());
			Object *o = ObjectDB::get_instance(touches[i].body);
			if (o) {
				PhysicsWorld::end_shape_contact(s.player, Object::cast_to<CollisionObject3D>(o), 0, touches[i].shape);
			}
			touches.erase(touches.begin() + (long)i);
		}
		if (s.player && !shapes.empty() && chance(0.03)) {
			PhysicsWorld::Contact contact;
			contact.local_shape = shapes[(size_t)pick((int)shapes.size())];
			contact.collider = chance(0.5) ? (Object *)s.wall : (s.crates.empty() ? nullptr : (Object *)s.crates[(size_t)pick((int)s.crates.size())]);
			contact.local_normal = Vector3(value(), value(), value());
			contact.local_position = Vector3(value(), value(), value());
			if (!contact.collider || alive(contact.collider->get_instance_id())) {
				PhysicsWorld::add_contact(s.player, contact);
			}
		}
		if (s.player && chance(0.05)) {
			PhysicsWorld::clear_contacts(s.player);
		}
		if (s.trackers[0].is_valid() && chance(0.02)) {
			s.trackers[pick(2)]->set_pose("default", Transform3D(), Vector3(value(), value(), value()), Vector3(), XRPose::XR_TRACKING_CONFIDENCE_HIGH);
		}
		// Bodies freed while touched or held, and new ones. The player learns
		// of a freed body in its next frame it processes, so the mass check
		// waits for that.
		bool freeing = false;
		if (!s.crates.empty() && chance(0.004)) {
			freeing = true;
			size_t i = (size_t)pick((int)s.crates.size());
			if (alive(s.crates[i]->get_instance_id())) {
				s.crates[i]->queue_free();
				frees++;
			}
			s.crates.erase(s.crates.begin() + (long)i);
		}
		if (s.crates.size() < 4 && chance(0.01)) {
			spawn_crate(s, Vector3(value(), 1.0f + value() * 0.2f, -0.5f));
		}

		r_session.frame();

		// Invariants.
		int held = r_session.held_count();
		grabs_seen += held;
		if (held > 2) {
			report("more bodies held than hands");
		}
		// A paused player doesn't process, so it settles only once the game runs.
		if (freeing || r_session.paused()) {
			settle_frames = 2;
		}
		if (settle_frames > 0) {
			settle_frames--;
		} else if (s.player && alive(s.player->get_instance_id())) {
			float expected = base_mass;
			for (RigidBody3D *crate : s.crates) {
				if (alive(crate->get_instance_id()) && crate->get_process_mode() == Node::PROCESS_MODE_DISABLED) {
					expected += crate->get_mass();
				}
			}
			// Each held crate has one shape, carried as one collider on the player.
			int carried = 0;
			for (int i = 0; i < s.player->get_child_count(); i++) {
				Node *child = s.player->get_child(i);
				carried += (!child->is_queued_for_deletion() && String(child->get_name()).contains("__hand_")) ? 1 : 0;
			}
			if (carried != held) {
				report("a held body's colliders are not on the player's hands");
			}
			if (std::fabs(s.player->get_mass() - expected) > 1e-3f * expected) {
				report("the player's mass is not its base plus what it holds");
			}
		}
		if (ObjectDB::_host_instance_count() > objects_at_start + 2000) {
			report("objects keep piling up");
		}
	}
	std::printf("soak: %.0f s, seed %u, %d input events, %d bodies freed, %d held-body frames, %d engine errors, %d violations\n", p_seconds, p_seed,
			events, frees, grabs_seen, godot_host::Log::error_count(), violations);
	return violations;
}
