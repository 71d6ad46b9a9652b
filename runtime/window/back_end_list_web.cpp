// The browser's list of back ends: the page's canvas is the only window.
#include <array>

#include "runtime/window/back_end_list.h"
#include "runtime/window/web_back_end.h"

namespace runtime {
namespace {

const std::array<const DisplayBackEnd*, 1> BUILT_IN = {&WEB_BACK_END};

}  // namespace

std::span<const DisplayBackEnd* const> window_back_ends_built_in() { return BUILT_IN; }

}  // namespace runtime
