// `tilewalk-pack preview`: starts the game on the headless back end with a
// datapack and keeps what it draws, through the game's own start-up, frame
// and view code: the frame the window shows with the player at a chosen
// cell, in both flame phases, or the whole map drawn with its tiles.
// Game's thread only (the thread that calls it is the game's).
#pragma once

#include <cstdint>
#include <string>

namespace pack {

struct PreviewOptions {
  std::string dir = ".";
  std::string out;  // the PNG to write
  int32_t x = 2;    // the player's cell
  int32_t y = 2;
  bool flat = false;  // tilewalk-flat's files and frame (no readout)
  bool map = false;   // the whole map instead of the frame
};

// Writes the picture; messages on standard error. Returns the exit status:
// 0, or 1 when DIR is no directory, the screen cannot start or the PNG
// cannot be written.
int preview_run(const PreviewOptions& options);

}  // namespace pack
