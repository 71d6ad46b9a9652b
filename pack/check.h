// `tilewalk-pack check`: reads the six files of a datapack where tilewalk (or
// tilewalk-flat) would, item by item as the loader does, and finds what would
// make the game show something other than what the author meant, or let the
// player walk off the map. A library with no printing and no PNG, so the tool
// prints its findings and the page lists them.
// Game's thread only (it reads through the text-file service).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pack {

struct CheckOptions {
  std::string dir = ".";
  bool flat = false;    // the files by their bare names, as tilewalk-flat reads them
  bool strict = false;  // what spoils play is an error, and warnings fail the check
};

enum class Severity { WARNING, ERROR };

struct CheckFinding {
  std::string path;  // as the program would open it
  uint64_t line = 1;
  uint64_t column = 1;
  Severity severity = Severity::WARNING;
  std::string message;  // plain words, without "error:" or "warning:"
};

struct CheckReport {
  std::vector<CheckFinding> findings;  // file by file in load order, each in file order
  int errors = 0;
  int warnings = 0;
  bool failed = false;  // errors, or (when strict) warnings
  std::string summary;  // e.g. "6 files for tilewalk in DIR: 0 errors, 1 warning"
};

CheckReport check_pack(const CheckOptions& options);

}  // namespace pack
