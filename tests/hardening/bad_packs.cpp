#include "tests/hardening/bad_packs.h"

#include <fstream>
#include <system_error>

namespace hardening {
namespace {

namespace fs = std::filesystem;

Drawing blank(size_t slot) {
  return Drawing(static_cast<size_t>(ASSET_HEIGHTS[slot]),
                 std::vector<int64_t>(static_cast<size_t>(ASSET_WIDTHS[slot]), 0));
}

std::array<Drawing, 6> blank_drawings() {
  std::array<Drawing, 6> drawings;
  for (size_t slot = 0; slot < 6; ++slot) drawings[slot] = blank(slot);
  return drawings;
}

AssetFile bytes_file(std::string bytes) {
  AssetFile file;
  file.kind = AssetFile::BYTES;
  file.bytes = std::move(bytes);
  return file;
}

std::array<AssetFile, 6> clean_files() {
  std::array<AssetFile, 6> files;
  const std::array<Drawing, 6> drawings = clean_drawings();
  for (size_t slot = 0; slot < 6; ++slot) files[slot] = bytes_file(mem_text(drawings[slot]));
  return files;
}

// The map with row 3 (on screen right below the start) written as `items`
// (padded with zeros to the map's width) and expected as `values`.
BadPack map_row_case(const char* name, const std::vector<std::string>& items,
                     const std::vector<int64_t>& values) {
  BadPack pack{name, clean_files(), clean_drawings()};
  Drawing& map = pack.expected[MAP];
  std::string text;
  for (size_t y = 0; y < map.size(); ++y) {
    for (size_t x = 0; x < map[y].size(); ++x) {
      if (x > 0) text += ',';
      if (y == 3) {
        if (x < items.size()) {
          text += items[x];
          map[y][x] = values[x];
        } else {
          text += '0';
          map[y][x] = 0;
        }
      } else {
        text += std::to_string(map[y][x]);
      }
    }
    text += '\n';
  }
  pack.files[MAP] = bytes_file(text);
  return pack;
}

std::string with_nul(const char* before, size_t nuls, const char* after) {
  return std::string(before) + std::string(nuls, '\0') + after;
}

bool write_file(const fs::path& path, const AssetFile& file) {
  std::error_code error;
  switch (file.kind) {
    case AssetFile::ABSENT:
      return true;
    case AssetFile::DIRECTORY:
      return fs::create_directory(path, error);
    case AssetFile::BYTES: {
      std::ofstream out(path, std::ios::binary);
      out.write(file.bytes.data(), static_cast<std::streamsize>(file.bytes.size()));
      return static_cast<bool>(out.flush());
    }
    case AssetFile::REPEATED: {
      std::ofstream out(path, std::ios::binary);
      out << file.bytes;
      std::string block;
      while (block.size() < (1u << 20)) block += file.filler;
      uint64_t written = file.bytes.size();
      while (written < file.total_size) {
        const uint64_t n = std::min<uint64_t>(block.size(), file.total_size - written);
        out.write(block.data(), static_cast<std::streamsize>(n));
        written += n;
      }
      return static_cast<bool>(out.flush());
    }
  }
  return false;
}

}  // namespace

std::array<Drawing, 6> clean_drawings() {
  std::array<Drawing, 6> d = blank_drawings();
  // Asymmetric pictures in distinct colours, so a shift or a swap shows.
  for (int64_t y = 0; y < 16; ++y) {
    for (int64_t x = 0; x < 16; ++x) {
      const auto ux = static_cast<size_t>(x);
      const auto uy = static_cast<size_t>(y);
      d[0][uy][ux] = x < 8 ? 4 : (y % 4 == 0 ? 7 : 6);
      d[1][uy][ux] = y < 6 ? 12 : (x == 3 ? 14 : 0);
      d[2][uy][ux] = y >= 10 ? 14 : (x == 12 ? 12 : 0);
      d[3][uy][ux] = (x == y || x == 15 - y) ? 7 : (y == 0 ? 8 : 0);
      d[4][uy][ux] = (x == 7 || y == 9) ? 9 : (x == 1 && y == 1 ? 2 : 0);
    }
  }
  Drawing& map = d[MAP];
  const int64_t around_start[][3] = {{3, 2, 1}, {2, 4, 2},   {1, 2, 3},  {2, 1, 4},
                                     {4, 4, 5}, {0, 0, 200}, {5, 1, 16}, {9, 5, 1}};
  for (const auto& cell : around_start) {
    map[static_cast<size_t>(cell[1])][static_cast<size_t>(cell[0])] = cell[2];
  }
  return d;
}

std::string mem_text(const Drawing& drawing) {
  std::string text;
  for (const auto& row : drawing) {
    for (size_t x = 0; x < row.size(); ++x) {
      if (x > 0) text += ',';
      text += std::to_string(row[x]);
    }
    text += '\n';
  }
  return text;
}

std::vector<BadPack> bad_packs() {
  std::vector<BadPack> packs;
  packs.push_back({"all_missing", {}, blank_drawings()});

  for (size_t slot = 0; slot < 6; ++slot) {
    static const char* const names[] = {"missing_brick", "missing_flame0", "missing_flame1",
                                        "missing_skull", "missing_player", "missing_map"};
    BadPack pack{names[slot], clean_files(), clean_drawings()};
    pack.files[slot] = AssetFile{};
    pack.expected[slot] = blank(slot);
    packs.push_back(pack);
  }

  BadPack directories{"directories", {}, blank_drawings()};
  for (AssetFile& file : directories.files) file.kind = AssetFile::DIRECTORY;
  packs.push_back(directories);

  BadPack empty{"empty_files", {}, blank_drawings()};
  for (AssetFile& file : empty.files) file = bytes_file("");
  packs.push_back(empty);

  // The clean map, then about 100 MB more that must never be read.
  BadPack huge{"huge_map_100mb", clean_files(), clean_drawings()};
  huge.files[MAP].kind = AssetFile::REPEATED;
  huge.files[MAP].filler = "7,";
  huge.files[MAP].total_size = 100u << 20;
  packs.push_back(huge);

  // One 10 MB line of digits: every item is a run of 67 digits, far beyond
  // 32 bits, so every cell reads as all bits set: 255, a walkable box.
  BadPack long_line{"long_line_10mb", clean_files(), clean_drawings()};
  long_line.files[MAP] = AssetFile{AssetFile::REPEATED, "", "1234567890", 10u << 20};
  for (auto& row : long_line.expected[MAP]) row.assign(row.size(), 255);
  packs.push_back(long_line);

  BadPack nul = map_row_case("nul_bytes",
                             {with_nul("1", 1, ""), with_nul("", 1, "4"), with_nul("4", 2, ""),
                              with_nul("", 3, ""), "3", with_nul("2", 1, "9")},
                             {1, 0, 4, 0, 3, 2});
  // A picture of nothing but NUL bytes: items of NULs, none a number.
  nul.files[3] = bytes_file(std::string(300, '\0'));
  nul.expected[3] = blank(3);
  packs.push_back(nul);

  BadPack cr{"cr_only_line_ends", clean_files(), clean_drawings()};
  for (AssetFile& file : cr.files) {
    for (char& c : file.bytes) {
      if (c == '\n') c = '\r';
    }
  }
  packs.push_back(cr);

  packs.push_back(map_row_case("beyond_32_bits",
                               {"4294967296", "4294967297", "-4294967295", "99999999999999999999",
                                "&H100000004", "-4294967296", "18446744073709551617", "2147483648",
                                "4294967295", "-2147483649", "&O40000000003"},
                               {255, 255, 1, 255, 4, 255, 255, 0, 255, 255, 3}));

  packs.push_back(
      map_row_case("not_finite",
                   {"nan", "inf", "1e999", "-1e999", "NaN.0", "inf.5", "1e-999", "2.5e0",
                    "infinity", "1.5e1", "3e9", "-0.5", "4.5", "1d999", "nan(1)", "1.5E0"},
                   {0, 0, 0, 0, 0, 0, 0, 2, 0, 15, 0, 0, 4, 0, 0, 2}));
  return packs;
}

const BadPack* find_bad_pack(const std::string& name) {
  static const std::vector<BadPack> packs = bad_packs();
  for (const BadPack& pack : packs) {
    if (name == pack.name) return &pack;
  }
  return nullptr;
}

bool write_pack(const BadPack& pack, const fs::path& dir) {
  std::error_code error;
  fs::create_directories(dir, error);
  for (size_t slot = 0; slot < 6; ++slot) {
    if (!write_file(dir / ASSET_NAMES[slot], pack.files[slot])) return false;
  }
  return true;
}

bool write_expected(const BadPack& pack, const fs::path& dir) {
  std::error_code error;
  fs::create_directories(dir, error);
  for (size_t slot = 0; slot < 6; ++slot) {
    if (!write_file(dir / ASSET_NAMES[slot], bytes_file(mem_text(pack.expected[slot])))) {
      return false;
    }
  }
  return true;
}

}  // namespace hardening
