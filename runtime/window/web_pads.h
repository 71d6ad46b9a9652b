// The browser back end's game pads: the Gamepad API's pads in the standard
// layout, read at every tick and turned into keys by the pad mapping
// (pad_keys.h), the same as the desktop's. Its page-side half, web_pads.js,
// reads navigator.getGamepads().
//
// Page's main thread only (the window side there), inside a tick with the
// screen lock held, since it posts with key_post.
#pragma once

#include <cstdint>

namespace runtime {

// Samples the page's pads at `now_ms` (a monotonic millisecond count) and
// posts the keys they give. While the page is not `active`, and for a pad
// that is gone, posts nothing and forgets what was held.
void web_pads_sample(bool active, int64_t now_ms);

}  // namespace runtime
