// Game pads as keys: turns what a pad holds at one moment, and the time, into
// the key codes the keyboard would post, so that the game cannot tell a pad
// step from a key step. The d-pad and the left stick give the eight steps as
// the top-row digits 7 8 9 4 6 1 2 3 (a diagonal from two d-pad directions
// together, or from the stick's angle); a held direction repeats like a held
// key; Back and Start held together give Escape, either alone nothing.
//
// Pure functions over one PadTrack per pad; no platform calls. Each back end
// samples its pads in the window side's tick and posts what these return.
#pragma once

#include <array>
#include <cstdint>

#include "runtime/input/key_buffer.h"

namespace runtime {

// One pad at one moment, in the layout SDL's game controllers and the
// browser's standard gamepad share.
struct PadSample {
  bool up = false;  // the d-pad
  bool down = false;
  bool left = false;
  bool right = false;
  float stick_x = 0;  // the left stick: -1 full left .. 1 full right
  float stick_y = 0;  // -1 full up .. 1 full down
  bool back = false;  // Back / Select
  bool start = false;
};

// What the mapping remembers of one pad between samples. A fresh track is a
// pad with nothing held; resetting it (a pad unplugged) leaves nothing held.
struct PadTrack {
  KeyCode held = 0;         // the step key of the direction held now, 0 none
  bool stepped = false;     // whether `held` has posted its step yet
  bool from_stick = false;  // `held` comes from the stick, not the d-pad
  int64_t since_ms = 0;     // when `held` was first seen, while it waits to step
  int64_t next_ms = 0;      // when `held` repeats next
  int32_t repeats = 0;      // repeats since the last whole second of them
  bool exit_held = false;   // Back and Start were both held at the last sample
};

// Up to two codes: a step and Escape.
struct PadKeys {
  std::array<KeyCode, 2> codes{};
  int32_t count = 0;
};

// Timing of a held direction, in milliseconds.
constexpr int64_t PAD_REPEAT_DELAY_MS = 500;
constexpr int64_t PAD_REPEATS_PER_SECOND = 30;
// How long a single d-pad direction pressed from rest waits for a second one
// (a diagonal pressed on a rocker closes its two contacts a few ms apart).
constexpr int64_t PAD_SETTLE_MS = 20;
// The stick's dead zone, as a fraction of full deflection: a direction starts
// at PAD_STICK_PRESS and ends inside PAD_STICK_RELEASE, and a held stick
// direction survives PAD_STICK_SECTOR_SLACK degrees past its sector's edge,
// so a stick resting on a boundary does not chatter.
constexpr float PAD_STICK_PRESS = 0.5f;
constexpr float PAD_STICK_RELEASE = 0.4f;
constexpr float PAD_STICK_SECTOR_SLACK = 7.5f;

// Advances `track` to the sample taken at `now_ms` (a monotonic millisecond
// count) and returns the codes to post, in order.
PadKeys pad_keys(PadTrack& track, const PadSample& sample, int64_t now_ms);

}  // namespace runtime
