// Owning handles for the SDL objects the window side makes: the window, its
// renderer, the texture the picture is streamed through, and the game pads. Window side's
// thread only, like every SDL call in the runtime.
#pragma once

#include <SDL.h>

#include <memory>

namespace runtime {

struct SdlWindowDeleter {
  void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};
struct SdlRendererDeleter {
  void operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
};
struct SdlTextureDeleter {
  void operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
};

struct SdlGameControllerDeleter {
  void operator()(SDL_GameController* controller) const { SDL_GameControllerClose(controller); }
};

using SdlWindow = std::unique_ptr<SDL_Window, SdlWindowDeleter>;
using SdlRenderer = std::unique_ptr<SDL_Renderer, SdlRendererDeleter>;
using SdlTexture = std::unique_ptr<SDL_Texture, SdlTextureDeleter>;
using SdlGameController = std::unique_ptr<SDL_GameController, SdlGameControllerDeleter>;

}  // namespace runtime
