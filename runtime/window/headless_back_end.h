// The headless back end: an in-memory window, as SDL's dummy driver is one.
// It runs the real window thread and tick, records what each presentation
// showed, and posts the keys it is handed. Not in the built-in list: tests,
// benchmarks, fuzz targets and the datapack tool install it with
// headless_install(), which makes it the only back end. Game's thread, unless
// a function says otherwise.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "runtime/input/key_buffer.h"

namespace runtime {

struct HeadlessStartAttempt {
  int32_t refresh;
  int32_t flags;
};

void headless_install();
// The next `count` starts fail (to exercise window_open's retries).
void headless_fail_next_starts(int32_t count);
const std::vector<HeadlessStartAttempt>& headless_start_attempts();

// Posted from the window thread at its next tick.
void headless_inject_key(KeyCode code);
// At its next tick the window thread finds the window gone, as when someone
// else takes it away.
void headless_take_window_away();

// Blocks until the window thread has finished `count` more ticks.
void headless_wait_ticks(int32_t count);

// What the window shows now: width x height ARGB8888 (copied under the lock).
std::vector<uint32_t> headless_shown();
// The shown picture turned back into palette indices of the open screen's
// default palette (0..15); a colour outside it reads as -1.
std::vector<int32_t> headless_shown_indices();

// Presentations (ticks that found dirty rows) so far.
int64_t headless_presentation_count();

bool headless_window_open();

// Called on the window thread after every presentation with the whole shown
// picture (screen lock held). Pass an empty function to stop.
void headless_on_present(std::function<void(const std::vector<uint32_t>& shown)> observer);

}  // namespace runtime
