// SDL's game controllers in and out, and their state at each tick as
// PadSamples.
#include "runtime/window/sdl_pads.h"

#include <SDL.h>

#include <algorithm>
#include <vector>

#include "runtime/input/key_buffer.h"
#include "runtime/input/pad_keys.h"
#include "runtime/window/sdl_handles.h"

namespace runtime {
namespace {

struct Pad {
  SDL_JoystickID id = -1;
  SdlGameController controller;
  PadTrack track;
};

// Window side's thread only.
bool pads_up = false;
std::vector<Pad> pads;

bool held(SDL_GameController* controller, SDL_GameControllerButton button) {
  return SDL_GameControllerGetButton(controller, button) != 0;
}

float axis(SDL_GameController* controller, SDL_GameControllerAxis which) {
  constexpr float FULL = 32767;
  return static_cast<float>(SDL_GameControllerGetAxis(controller, which)) / FULL;
}

PadSample sample_of(SDL_GameController* controller) {
  PadSample sample;
  sample.up = held(controller, SDL_CONTROLLER_BUTTON_DPAD_UP);
  sample.down = held(controller, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  sample.left = held(controller, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
  sample.right = held(controller, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
  sample.stick_x = axis(controller, SDL_CONTROLLER_AXIS_LEFTX);
  sample.stick_y = axis(controller, SDL_CONTROLLER_AXIS_LEFTY);
  sample.back = held(controller, SDL_CONTROLLER_BUTTON_BACK);
  sample.start = held(controller, SDL_CONTROLLER_BUTTON_START);
  return sample;
}

void add_pad(int device_index) {
  if (!SDL_IsGameController(device_index)) return;
  const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device_index);
  const bool known =
      std::any_of(pads.begin(), pads.end(), [id](const Pad& pad) { return pad.id == id; });
  if (id < 0 || known) return;
  SdlGameController controller(SDL_GameControllerOpen(device_index));
  if (controller) pads.push_back({id, std::move(controller), {}});
}

}  // namespace

void sdl_pads_open() {
  if (pads_up) return;
  pads_up = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

void sdl_pads_handle(const SDL_Event& event) {
  if (!pads_up) return;
  if (event.type == SDL_CONTROLLERDEVICEADDED) {
    add_pad(event.cdevice.which);
  } else if (event.type == SDL_CONTROLLERDEVICEREMOVED) {
    std::erase_if(pads, [&](const Pad& pad) { return pad.id == event.cdevice.which; });
  }
}

void sdl_pads_sample(bool active, int64_t now_ms) {
  for (Pad& pad : pads) {
    if (!active) {
      pad.track = PadTrack{};
      continue;
    }
    const PadKeys keys = pad_keys(pad.track, sample_of(pad.controller.get()), now_ms);
    for (int32_t i = 0; i < keys.count; ++i) key_post(keys.codes[static_cast<size_t>(i)]);
  }
}

void sdl_pads_close() {
  pads.clear();
  if (pads_up) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  pads_up = false;
}

}  // namespace runtime
