// The clock that paces the game: seconds on the system's monotonic
// high-resolution counter. Keeps no shared state; any thread.
#pragma once

namespace runtime {

// Seconds since the counter's origin (system start, not program start), so
// values are large and only differences mean anything. Never goes backwards.
double clock_seconds();

}  // namespace runtime
