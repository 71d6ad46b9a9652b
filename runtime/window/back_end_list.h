// The fixed, ordered list of back ends window_open tries on this platform.
// Read by the window side only.
#pragma once

#include <span>

namespace runtime {

struct DisplayBackEnd;

std::span<const DisplayBackEnd* const> window_back_ends_built_in();

}  // namespace runtime
