// The fixed, ordered list of back ends window_open tries: SDL at 1:1 in
// software first (the quickest start), then SDL with its best renderer, which
// also serves full screen.
#include "runtime/window/back_end_list.h"

#include <array>

#include "runtime/window/sdl_back_end.h"

namespace runtime {
namespace {

const std::array<const DisplayBackEnd*, 2> BUILT_IN = {&SDL_SOFTWARE_BACK_END,
                                                       &SDL_SCALED_BACK_END};

}  // namespace

std::span<const DisplayBackEnd* const> window_back_ends_built_in() { return BUILT_IN; }

}  // namespace runtime
