// The datapack checker of the page: tilewalk-pack's own check library, built
// as a small module of its own beside the game, so a pack the player gives
// the page is judged by the very reader and rules the game uses before the
// game is started with it. datapack.js writes the files into this module's
// in-memory file system and calls pack_check; the game's module is not
// touched until the pack is found good.
// One thread: the page's main thread.
#include <emscripten/emscripten.h>

#include <string>

#include "pack/check.h"

namespace {

// A field of one finding line: tabs and line ends would split it.
std::string field(std::string text) {
  for (char& c : text) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

}  // namespace

// Checks the pack laid out for tilewalk under `dir`. The answer, valid until
// the next call: a first line "ok" or "failed", then one line per finding,
// SEVERITY TAB PATH TAB LINE TAB COLUMN TAB MESSAGE.
extern "C" EMSCRIPTEN_KEEPALIVE const char* pack_check(const char* dir) {
  static std::string answer;
  pack::CheckOptions options;
  options.dir = dir;
  const pack::CheckReport report = pack::check_pack(options);
  answer = report.failed ? "failed\n" : "ok\n";
  for (const pack::CheckFinding& finding : report.findings) {
    answer += finding.severity == pack::Severity::ERROR ? "error\t" : "warning\t";
    answer += field(finding.path) + '\t' + std::to_string(finding.line) + '\t' +
              std::to_string(finding.column) + '\t' + field(finding.message) + '\n';
  }
  return answer.c_str();
}

int main() { return 0; }
