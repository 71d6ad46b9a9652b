#include "pack/check.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "game/collision_rule.h"
#include "pack/assets.h"
#include "pack/mem_file.h"
#include "pack/reach.h"
#include "runtime/files/item_reader.h"

namespace pack {
namespace {

constexpr int32_t COLOUR_COUNT = 16;
constexpr int32_t LAST_KNOWN_CODE = 5;  // 5 and every code above it draw a white box
constexpr size_t SHOWN_TEXT = 20;       // characters of a bad item quoted in its message

struct Finding {
  uint64_t offset = 0;
  Severity severity = Severity::WARNING;
  std::string message;
  int empty_item_end = 0;    // for an empty item: what ended it (its message depends on the line)
  bool spoils_play = false;  // an error when strict
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
  return "empty item made by " + made_by +
         ": it reads as 0 and moves every later pixel one place on";
}

// The item as written, and what it reads as when that is not the same text.
std::string as_written(const MemItem& item) {
  const std::string value = std::to_string(item.value);
  size_t first = item.text.find_first_not_of(" \t");
  const std::string text = first == std::string::npos ? "" : item.text.substr(first);
  return text == value ? value : quoted(text) + " (read as " + value + ")";
}

void check_value(const MemItem& item, bool map, std::vector<Finding>& findings) {
  const int32_t stored = item.value & 0xFF;  // what pixel_set keeps
  if (!map && (item.value < 0 || item.value >= COLOUR_COUNT)) {
    findings.push_back(
        {item.start, Severity::WARNING,
         "value " + as_written(item) + " is not a colour (0 to 15): the game stores " +
             std::to_string(stored) + (stored >= COLOUR_COUNT ? ", which shows black" : "")});
  } else if (map && (item.value != stored || stored > LAST_KNOWN_CODE)) {
    const std::string stored_as =
        item.value != stored
            ? "is outside 0 to 255: the game stores " + std::to_string(stored) + ", "
            : "is not a code the game knows (0 to 5): it draws ";
    findings.push_back({item.start, Severity::WARNING,
                        "map code " + as_written(item) + " " + stored_as + code_meaning(stored)});
  }
}

std::string cell(Cell c) { return "(" + std::to_string(c.x) + ", " + std::to_string(c.y) + ")"; }

// Where the player can walk, on the map as the loader plots it.
void check_reach(const MemFile& file, std::vector<Finding>& findings) {
  const std::vector<uint8_t> codes = mem_pixels(file, int64_t{game::MAP_WIDTH} * game::MAP_HEIGHT);
  const Cell start{game::START_X, game::START_Y};
  const Reach reach = reach_from(codes, game::MAP_WIDTH, game::MAP_HEIGHT, start);
  // Offsets of cells the file has; a cell past a short file's end is at its end.
  const auto offset_of = [&](Cell c) {
    const auto k = static_cast<size_t>(c.y) * game::MAP_WIDTH + static_cast<size_t>(c.x);
    return k < file.items.size() ? file.items[k].start : file.end;
  };
  const auto start_code = static_cast<int32_t>(
      codes[static_cast<size_t>(start.y) * game::MAP_WIDTH + static_cast<size_t>(start.x)]);
  if (reach.start_blocks) {
    findings.push_back({offset_of(start), Severity::WARNING,
                        "the start cell " + cell(start) + " holds code " +
                            std::to_string(start_code) + ", " + code_meaning(start_code) +
                            ": the player starts inside it",
                        0, true});
  }
  if (reach.boxed_in) {
    findings.push_back({offset_of(start), Severity::WARNING,
                        "the start cell " + cell(start) +
                            " is boxed in: every cell around it blocks, so the player cannot move",
                        0, true});
  }
  if (reach.leaks) {
    findings.push_back({offset_of(reach.leak_from), Severity::WARNING,
                        "open edge: from cell " + cell(reach.leak_from) +
                            " the player walks out of the map to " + cell(reach.leak_to) +
                            " and on over black floor to the page's edge (319, 199); "
                            "close the map with cells that block (1 brick, 2 flame, 4 skull)",
                        0, true});
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
    findings.push_back(
        {0, Severity::ERROR,
         std::string(why) + ": the game shows the " + role + (map ? " as all floor" : " blank")});
    return findings;
  }
  for (const MemItem& item : file.items) {
    if (item.empty) {
      findings.push_back({item.start, Severity::WARNING, "", item.first});
    } else if (!item.number) {
      const bool mark = item.text.rfind("\xEF\xBB\xBF", 0) == 0;
      findings.push_back({item.start, Severity::ERROR,
                          quoted(item.text) + " is no number: the game reads it as " +
                              std::to_string(item.value) +
                              (mark ? " (a byte-order mark: save the file without one)" : "")});
    }
    check_value(item, map, findings);
  }
  if (map) check_reach(file, findings);
  const auto read = static_cast<int32_t>(file.items.size());
  if (read < count) {
    findings.push_back({file.end, Severity::ERROR,
                        "the file ends after " + std::to_string(read) + " of the " +
                            std::to_string(count) + " items the " + role + " takes (" +
                            std::to_string(size.width) + " x " + std::to_string(size.height) +
                            "): it is " + (map ? "floor" : "blank") + " from " +
                            (map ? "cell (" : "pixel (") + std::to_string(read % size.width) +
                            ", " + std::to_string(read / size.width) + ") on"});
  }
  if (file.has_extra) {
    findings.push_back({file.extra.start, Severity::ERROR,
                        "more items than the " + std::to_string(count) + " the " + role +
                            " takes (" + std::to_string(size.width) + " x " +
                            std::to_string(size.height) +
                            "): this one and all after it are ignored"});
  }
  return findings;
}

void report(const std::string& path, std::vector<Finding>& findings, bool strict,
            CheckReport& out) {
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
    if (strict && finding.spoils_play) finding.severity = Severity::ERROR;
    out.findings.push_back(
        {path, positions[i].line, positions[i].column, finding.severity, finding.message});
    (finding.severity == Severity::ERROR ? out.errors : out.warnings) += 1;
  }
}

std::string counted(int n, const char* what) {
  return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

}  // namespace

CheckReport check_pack(const CheckOptions& options) {
  CheckReport out;
  for (size_t slot = 0; slot < ASSET_COUNT; ++slot) {
    const std::string path = asset_path(options.dir, options.flat, slot);
    std::vector<Finding> findings = check_file(path, slot);
    report(path, findings, options.strict, out);
  }
  out.summary = counted(static_cast<int>(ASSET_COUNT), "file") + " for " +
                program_settings(options.flat).program_name + " in " + options.dir + ": " +
                counted(out.errors, "error") + ", " + counted(out.warnings, "warning");
  out.failed = out.errors > 0 || (options.strict && out.warnings > 0);
  return out;
}

}  // namespace pack
