// Runs the game's way out: a graphics screen with text on it (on the
// headless back end), then the exit sequence. Its terminal and exit status
// are what the calling script checks.
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/results.h"
#include "runtime/screen/screen_open.h"
#include "runtime/text/program_end.h"
#include "runtime/text/text_output.h"
#include "runtime/window/headless_back_end.h"

int main() {
  runtime::headless_install();
  if (runtime::screen_open(320, 200, 4, 8, 0, 0) != runtime::RESULT_OK) return 3;
  runtime::screen_set_pages(1, 0);
  runtime::text_view(1, 25);
  runtime::text_colour(15, 0, 0);
  runtime::text_locate(20, 1, -1, 0, 0);
  runtime::print_int(0, 12, 0);
  runtime::print_text(0, ",", 0);
  runtime::print_int(0, 34, 0);
  runtime::screen_copy_page(1, 0);
  runtime::console_restore();
}
