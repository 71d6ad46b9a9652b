// The fixed, ordered list of back ends window_open tries.
#include <array>

#include "runtime/window/display_back_end.h"

namespace runtime {

std::span<const DisplayBackEnd* const> window_back_ends_built_in() { return {}; }

}  // namespace runtime
