#include "pack/assets.h"

#include <filesystem>

namespace pack {

const game::GameSettings& program_settings(bool flat) {
  return flat ? game::FLAT_SETTINGS : game::TILEWALK_SETTINGS;
}

std::string asset_path(const std::string& dir, bool flat, size_t slot) {
  const std::filesystem::path path =
      std::filesystem::path(dir) / program_settings(flat).asset_paths[slot];
  return path.lexically_normal().string();
}

size_t asset_slot_of(const std::string& path) {
  const std::string name = std::filesystem::path(path).filename().string();
  for (size_t slot = 0; slot < ASSET_COUNT; ++slot) {
    if (name == game::FLAT_SETTINGS.asset_paths[slot]) return slot;
  }
  return ASSET_COUNT;
}

}  // namespace pack
