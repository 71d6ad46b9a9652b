// Damaged datapacks for the bad-input suite: each case is six asset files
// (or their absence) as a player's hand-edited, truncated or garbage
// datapack might leave them, together with the clean datapack the loader
// must read it as. The same table feeds the in-process frame tests
// and the writer that the end-to-end script runs.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace hardening {

// brick, flame frame 0, flame frame 1, skull, player figure, map
constexpr std::array<const char*, 6> ASSET_NAMES = {"brick03.mem", "flame01.mem", "flame02.mem",
                                                    "skull01.mem", "morvek1.mem", "map002.mem"};
constexpr std::array<int32_t, 6> ASSET_WIDTHS = {16, 16, 16, 16, 16, 64};
constexpr std::array<int32_t, 6> ASSET_HEIGHTS = {16, 16, 16, 16, 16, 32};
constexpr size_t MAP = 5;

// Rows of values, as the file should read.
using Drawing = std::vector<std::vector<int64_t>>;

struct AssetFile {
  enum Kind { ABSENT, DIRECTORY, BYTES, REPEATED } kind = ABSENT;
  std::string bytes;        // BYTES: the whole file; REPEATED: what comes before the filler
  std::string filler;       // REPEATED: written again and again after `bytes`
  uint64_t total_size = 0;  // REPEATED: the file's size
};

struct BadPack {
  const char* name;
  std::array<AssetFile, 6> files;
  // What each asset must load as: low bytes of these values, row by row.
  std::array<Drawing, 6> expected;
};

// The clean pictures and map the cases start from.
std::array<Drawing, 6> clean_drawings();
// A drawing as tidy .mem text: one row per line, comma-separated, LF ends.
std::string mem_text(const Drawing& drawing);

std::vector<BadPack> bad_packs();
const BadPack* find_bad_pack(const std::string& name);

// Writes the six files of `pack` into `dir` under their bare names; false
// when the directory cannot be filled.
bool write_pack(const BadPack& pack, const std::filesystem::path& dir);
// Writes the clean equivalent (`expected`) of `pack` into `dir`.
bool write_expected(const BadPack& pack, const std::filesystem::path& dir);

}  // namespace hardening
