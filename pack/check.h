// `tilewalk-pack check`: reads the six files of a datapack where tilewalk (or
// tilewalk-flat) would, item by item as the loader does, and reports what
// would make the game show something other than what the author meant.
// Game's thread only (it reads through the text-file service).
#pragma once

#include <string>

namespace pack {

struct CheckOptions {
  std::string dir = ".";
  bool flat = false;    // the files by their bare names, as tilewalk-flat reads them
  bool strict = false;  // warnings fail the check too
};

// Prints one line per finding, PATH:LINE:COLUMN: message, and a summary on
// standard error. Returns the exit status: 1 when there are errors (or, when
// strict, warnings), else 0.
int check_run(const CheckOptions& options);

}  // namespace pack
