// The one lock the game's thread and the window side's thread share.
//
// The game's thread nests screen_lock/screen_unlock freely; only the outermost
// pair touches the underlying lock. The window side's tick takes the
// underlying lock directly (screen_lock_acquire_raw). The underlying lock hands
// over in arrival order, so a game loop that unlocks and relocks at once still
// lets a waiting tick in first.
#pragma once

#include <cstdint>

namespace runtime {

// Game thread only.
void screen_lock();
void screen_unlock();
int32_t screen_lock_count();

// Window side only: the underlying lock, not nestable.
void screen_lock_acquire_raw();
void screen_lock_release_raw();

// Used by window_close: if the game's thread still holds the lock, drop all of
// its holds so the window side can finish its tick. Game thread only.
void screen_lock_release_all();

}  // namespace runtime
