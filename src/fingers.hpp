#ifndef MOSSGLIMMER_FINGERS_HPP
#define MOSSGLIMMER_FINGERS_HPP

#include <string>
#include <vector>

namespace godot {

// Finger names in the order of every per-finger value of the player.
const std::vector<std::string> FINGERS = { "thumb", "index", "middle", "ring", "pinky" };

} // namespace godot

#endif // MOSSGLIMMER_FINGERS_HPP
