// The pad mapping: directions from the d-pad and the stick, the step, delay
// and repeat of a held direction, and Escape from Back with Start.
#include "runtime/input/pad_keys.h"

#include <cmath>
#include <limits>

namespace runtime {
namespace {

constexpr KeyCode ESCAPE = 27;
constexpr int32_t MS_PER_SECOND = 1000;

// The step keys laid out as the player moves: [dy + 1][dx + 1], y down.
constexpr std::array<std::array<KeyCode, 3>, 3> STEP_KEYS = {{
    {'7', '8', '9'},
    {'4', 0, '6'},
    {'1', '2', '3'},
}};

// The stick's eight sectors counter-clockwise from the right, 45 degrees each.
constexpr std::array<KeyCode, 8> SECTOR_KEYS = {'6', '9', '8', '7', '4', '1', '2', '3'};
constexpr float SECTOR_DEGREES = 45;
constexpr float HALF_TURN_DEGREES = 180;

struct Offset {
  int32_t dx = 0;
  int32_t dy = 0;
};

Offset offset_of(KeyCode key) {
  for (int32_t row = 0; row < 3; ++row) {
    for (int32_t column = 0; column < 3; ++column) {
      if (STEP_KEYS[static_cast<size_t>(row)][static_cast<size_t>(column)] == key) {
        return {column - 1, row - 1};
      }
    }
  }
  return {};
}

bool is_diagonal(KeyCode key) {
  const Offset offset = offset_of(key);
  return offset.dx != 0 && offset.dy != 0;
}

// Whether `key` is one of the two directions that make up `diagonal`.
bool is_half_of(KeyCode key, KeyCode diagonal) {
  const Offset part = offset_of(key);
  const Offset whole = offset_of(diagonal);
  if (!is_diagonal(diagonal) || is_diagonal(key)) return false;
  // `key` moves along one axis at most, and `diagonal` along both.
  return part.dx == whole.dx || part.dy == whole.dy;
}

// A stick axis as a finite value in -1..1 (a pad may report anything).
float axis(float value) {
  if (!std::isfinite(value)) return 0;
  return value < -1 ? -1 : value > 1 ? 1 : value;
}

float degrees_between(float a, float b) {
  const float difference = std::fabs(a - b);
  return difference > HALF_TURN_DEGREES ? 2 * HALF_TURN_DEGREES - difference : difference;
}

// The stick's direction, 0 inside the dead zone. A held stick direction
// keeps a larger zone and a wider sector (see PAD_STICK_SECTOR_SLACK).
KeyCode stick_direction(const PadSample& sample, const PadTrack& track) {
  const float x = axis(sample.stick_x);
  const float y = axis(sample.stick_y);
  const bool holding = track.from_stick && track.held != 0;
  if (std::hypot(x, y) < (holding ? PAD_STICK_RELEASE : PAD_STICK_PRESS)) return 0;
  constexpr float DEGREES_PER_RADIAN = HALF_TURN_DEGREES / 3.14159265f;
  const float angle = std::atan2(-y, x) * DEGREES_PER_RADIAN;  // counter-clockwise, y up
  if (holding) {
    for (size_t sector = 0; sector < SECTOR_KEYS.size(); ++sector) {
      if (SECTOR_KEYS[sector] == track.held &&
          degrees_between(angle, static_cast<float>(sector) * SECTOR_DEGREES) <=
              SECTOR_DEGREES / 2 + PAD_STICK_SECTOR_SLACK) {
        return track.held;
      }
    }
  }
  const auto sector = static_cast<int32_t>(std::lround(angle / SECTOR_DEGREES));
  return SECTOR_KEYS[static_cast<size_t>((sector + 8) % 8)];
}

// The d-pad's direction (opposite directions cancel), 0 when it gives none.
KeyCode dpad_direction(const PadSample& sample) {
  // Indices 0..2 of STEP_KEYS: 1 is no movement on that axis.
  const size_t column = size_t{1} + (sample.right ? 1 : 0) - (sample.left ? 1 : 0);
  const size_t row = size_t{1} + (sample.down ? 1 : 0) - (sample.up ? 1 : 0);
  return STEP_KEYS[row][column];
}

int64_t later(int64_t time_ms, int64_t by_ms) {
  return time_ms > std::numeric_limits<int64_t>::max() - by_ms ? std::numeric_limits<int64_t>::max()
                                                               : time_ms + by_ms;
}

// The gap before repeat number `count` + 1 of a second's worth: whole
// milliseconds that add up to exactly one second per PAD_REPEATS_PER_SECOND.
int64_t repeat_gap(int32_t count) {
  const auto at = [](int64_t n) { return n * MS_PER_SECOND / PAD_REPEATS_PER_SECOND; };
  return at(count + 1) - at(count);
}

void push(PadKeys& keys, KeyCode code) {
  keys.codes[static_cast<size_t>(keys.count)] = code;
  ++keys.count;
}

// `direction` posts its step now; it repeats after the delay.
void step(PadTrack& track, PadKeys& keys, KeyCode direction, int64_t now_ms) {
  push(keys, direction);
  track.held = direction;
  track.stepped = true;
  track.next_ms = later(now_ms, PAD_REPEAT_DELAY_MS);
  track.repeats = 0;
}

void repeat(PadTrack& track, PadKeys& keys, int64_t now_ms) {
  if (now_ms < track.next_ms) return;
  push(keys, track.held);
  track.next_ms = later(track.next_ms, repeat_gap(track.repeats));
  track.repeats = (track.repeats + 1) % static_cast<int32_t>(PAD_REPEATS_PER_SECOND);
  // A late sample (a stalled tick, a hidden page) posts one repeat, not the
  // ones it missed: a burst would walk the player on after the pad let go.
  if (track.next_ms <= now_ms) track.next_ms = later(now_ms, repeat_gap(0));
}

}  // namespace

PadKeys pad_keys(PadTrack& track, const PadSample& sample, int64_t now_ms) {
  PadKeys keys;
  KeyCode direction = dpad_direction(sample);
  const bool from_stick = direction == 0;
  if (from_stick) direction = stick_direction(sample, track);

  if (direction == 0) {
    // A tap shorter than the settling time still steps.
    if (track.held != 0 && !track.stepped) push(keys, track.held);
    track.held = 0;
    track.stepped = false;
  } else if (direction == track.held) {
    if (track.stepped) {
      repeat(track, keys, now_ms);
    } else if (now_ms >= later(track.since_ms, PAD_SETTLE_MS)) {
      step(track, keys, direction, now_ms);
    }
  } else if (track.stepped && is_half_of(direction, track.held)) {
    // Letting go of half a diagonal (two contacts rarely open together):
    // no step of its own; the rest walks on after the delay.
    track.held = direction;
    track.next_ms = later(now_ms, PAD_REPEAT_DELAY_MS);
    track.repeats = 0;
  } else if (!track.stepped && !from_stick && !is_diagonal(direction)) {
    // One d-pad direction from rest: wait a moment for a second one.
    track.held = direction;
    track.since_ms = now_ms;
  } else {
    step(track, keys, direction, now_ms);
  }
  track.from_stick = from_stick;

  const bool exit_held = sample.back && sample.start;
  if (exit_held && !track.exit_held) push(keys, ESCAPE);
  track.exit_held = exit_held;
  return keys;
}

}  // namespace runtime
