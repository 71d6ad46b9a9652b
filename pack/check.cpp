#include "pack/check.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "game/collision.h"
#include "pack/assets.h"
#include "pack/mem_file.h"
#include "runtime/files/item_reader.h"

namespace pack {
namespace {

constexpr int32_t COLOUR_COUNT = 16;
constexpr int32_t START_X = 2;  // where the game puts the player
constexpr int32_t START_Y = 2;
constexpr int32_t LAST_KNOWN_CODE = 5;  // 5 and every code above it draw a white box
constexpr size_t SHOWN_TEXT = 20;       // characters of a bad item quoted in its message

enum class Severity { WARNING, ERROR };

struct Finding {
  uint64_t offset = 0;
  Severity severity = Severity::WARNING;
  std::string message;
  int empty_item_end = 0;  // for an empty item: what ended it (its message depends on the line)
};

struct Totals {
  int errors = 0;
  int warnings = 0;
};

const char* code_meaning(int32_t code) {
  switch (code) {
    case 0:
      return "floor";
    case 1:
      return "brick, which blocks";
    case 2:
      return "flame, which blocks";
    case 3:
      return "flame, walkable";
    case 4:
      return "skull, which blocks";
    default:
      return "a white box, walkable";
  }
}

// The item's text as it can be shown on one line.
std::string quoted(const std::string& text) {
  std::string shown = "\"";
  for (size_t i = 0; i < text.size() && i < SHOWN_TEXT; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      shown += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
      shown += escaped;
    }
  }
  return shown + (text.size() > SHOWN_TEXT ? "...\"" : "\"");
}

std::string empty_item_message(int end, const TextPosition& where) {
  std::string made_by;
  if (end == ',') {
    made_by =
        where.blank_before ? "a comma at the start of a line" : "two commas with nothing between";
  } else if (end == '"') {
    made_by = "empty quotes";
  } else {
    made_by = where.blank_before ? "a blank line" : "a comma at the end of the line";
  }
  return "warning: empty item made by " + made_by +
         ": it reads as 0 and moves every later pixel one place on";
}

void check_value(const MemItem& item, bool map, std::vector<Finding>& findings) {
  const int32_t stored = item.value & 0xFF;  // what pixel_set keeps
  const std::string value = std::to_string(item.value);
  if (!map && (item.value < 0 || item.value >= COLOUR_COUNT)) {
    findings.push_back({item.start, Severity::WARNING,
                        "warning: value " + value + " is not a colour (0 to 15): the game stores " +
                            std::to_string(stored) +
                            (stored >= COLOUR_COUNT ? ", which shows black" : "")});
  } else if (map && (item.value != stored || stored > LAST_KNOWN_CODE)) {
    const std::string stored_as =
        item.value != stored
            ? "is outside 0 to 255: the game stores " + std::to_string(stored) + ", "
            : "is not a code the game knows (0 to 5): it draws ";
    findings.push_back({item.start, Severity::WARNING,
                        "warning: map code " + value + " " + stored_as + code_meaning(stored)});
  }
}

std::vector<Finding> check_file(const std::string& path, size_t slot) {
  const game::AssetSize size = game::ASSET_SIZES[slot];
  const bool map = slot == game::MAP;
  const int64_t count = int64_t{size.width} * size.height;
  const std::string role = ASSET_ROLES[slot];
  std::vector<Finding> findings;
  MemFile file;
  if (!mem_read(path, count, file)) {
    std::error_code ignored;
    const auto status = std::filesystem::status(path, ignored);
    const char* why = !std::filesystem::exists(status)        ? "no such file"
                      : std::filesystem::is_directory(status) ? "a directory, not a file"
                                                              : "not a readable regular file";
    findings.push_back({0, Severity::ERROR,
                        std::string("error: ") + why + ": the game shows the " + role +
                            (map ? " as all floor" : " blank")});
    return findings;
  }
  for (const MemItem& item : file.items) {
    if (item.empty) {
      findings.push_back({item.start, Severity::WARNING, "", item.first});
    } else if (!item.number) {
      const bool mark = item.text.rfind("\xEF\xBB\xBF", 0) == 0;
      findings.push_back({item.start, Severity::ERROR,
                          "error: " + quoted(item.text) + " is no number: the game reads it as " +
                              std::to_string(item.value) +
                              (mark ? " (a byte-order mark: save the file without one)" : "")});
    }
    check_value(item, map, findings);
  }
  const auto start = static_cast<size_t>(START_Y) * static_cast<size_t>(size.width) + START_X;
  if (map && start < file.items.size() && game::tile_blocks(file.items[start].value & 0xFF)) {
    findings.push_back({file.items[start].start, Severity::WARNING,
                        "warning: the start cell (2, 2) holds code " +
                            std::to_string(file.items[start].value) + ", " +
                            code_meaning(file.items[start].value & 0xFF) +
                            ": the player starts inside it"});
  }
  const auto read = static_cast<int32_t>(file.items.size());
  if (read < count) {
    findings.push_back({file.end, Severity::ERROR,
                        "error: the file ends after " + std::to_string(read) + " of the " +
                            std::to_string(count) + " items the " + role + " takes (" +
                            std::to_string(size.width) + " x " + std::to_string(size.height) +
                            "): it is " + (map ? "floor" : "blank") + " from " +
                            (map ? "cell (" : "pixel (") + std::to_string(read % size.width) +
                            ", " + std::to_string(read / size.width) + ") on"});
  }
  if (file.has_extra) {
    findings.push_back({file.extra.start, Severity::ERROR,
                        "error: more items than the " + std::to_string(count) + " the " + role +
                            " takes (" + std::to_string(size.width) + " x " +
                            std::to_string(size.height) +
                            "): this one and all after it are ignored"});
  }
  return findings;
}

void report(const std::string& path, std::vector<Finding>& findings, Totals& totals) {
  std::stable_sort(findings.begin(), findings.end(),
                   [](const Finding& a, const Finding& b) { return a.offset < b.offset; });
  std::vector<uint64_t> offsets;
  offsets.reserve(findings.size());
  for (const Finding& finding : findings) offsets.push_back(finding.offset);
  const std::vector<TextPosition> positions = mem_positions(path, offsets);
  for (size_t i = 0; i < findings.size(); ++i) {
    Finding& finding = findings[i];
    if (finding.message.empty())
      finding.message = empty_item_message(finding.empty_item_end, positions[i]);
    std::fprintf(stderr, "%s:%llu:%llu: %s\n", path.c_str(),
                 static_cast<unsigned long long>(positions[i].line),
                 static_cast<unsigned long long>(positions[i].column), finding.message.c_str());
    (finding.severity == Severity::ERROR ? totals.errors : totals.warnings) += 1;
  }
}

std::string counted(int n, const char* what) {
  return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

}  // namespace

int check_run(const CheckOptions& options) {
  Totals totals;
  for (size_t slot = 0; slot < ASSET_COUNT; ++slot) {
    const std::string path = asset_path(options.dir, options.flat, slot);
    std::vector<Finding> findings = check_file(path, slot);
    report(path, findings, totals);
  }
  std::fprintf(stderr, "tilewalk-pack check: %s for %s in %s: %s, %s\n",
               counted(static_cast<int>(ASSET_COUNT), "file").c_str(),
               program_settings(options.flat).program_name, options.dir.c_str(),
               counted(totals.errors, "error").c_str(),
               counted(totals.warnings, "warning").c_str());
  const bool failed = totals.errors > 0 || (options.strict && totals.warnings > 0);
  return failed ? 1 : 0;
}

}  // namespace pack
