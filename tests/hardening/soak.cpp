// hardening_soak SECONDS: the game's frame loop on the headless back end,
// flat out, with the live window tick, while a third thread posts random keys
// at 1,000 a second (half straight into the key ring under the screen lock,
// half through the window side's own posting at its tick). It fails, with a
// line on standard error, when
//  - a presented picture is not one of the frames the game finished (a torn
//    frame), checked for every presentation;
//  - the key ring holds more than 15 keys, or a post does not land as the
//    ring's newest key;
//  - the game takes a key that nobody posted;
//  - resident memory grows by more than 8 MB after the first sixth of the run;
// and a sanitizer build stops it on any report. Escape is never posted.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "game/frame_loop.h"
#include "runtime/input/key_buffer.h"
#include "runtime/screen/paged_screen.h"
#include "runtime/screen/screen_lock.h"
#include "runtime/screen/screen_open.h"
#include "runtime/window/headless_back_end.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr runtime::KeyCode KEYS[] = {
    '1', '2', '3', '4', '5', '6',    '7',    '8',    '9',    '0',    'a',    'Z',
    ' ', 13,  8,   9,   255, 0x48FF, 0x50FF, 0x4BFF, 0x4DFF, 0x47FF, 0x3BFF, runtime::KEY_CLOSE};

std::atomic<bool> failed{false};

void fail(const std::string& what) {
  std::fprintf(stderr, "soak: FAIL: %s\n", what.c_str());
  failed = true;
}

int64_t resident_kb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      int64_t kb = 0;
      status >> kb;
      return kb;
    }
    status.ignore(1 << 12, '\n');
  }
  return -1;
}

// FNV-1a over a picture as palette indices; what the window shows for 16 to
// 255 is black, the same as colour 0, so those read as 0.
struct FrameHash {
  uint64_t h = 1469598103934665603ull;
  void add(uint8_t index) { h = (h ^ (index > 15 ? 0u : index)) * 1099511628211ull; }
};

uint64_t hash_page(const uint8_t* page, size_t size) {
  FrameHash hash;
  for (size_t i = 0; i < size; ++i) hash.add(page[i]);
  return hash.h;
}

// Presented pictures, hashed on the window thread as they are shown.
std::mutex presented_mutex;
std::vector<uint64_t> presented;
std::unordered_map<uint32_t, uint8_t> argb_to_index;

void on_present(const std::vector<uint32_t>& shown) {
  FrameHash hash;
  for (uint32_t argb : shown) {
    const auto found = argb_to_index.find(argb);
    // A colour outside the palette cannot be a finished frame: hash it apart.
    hash.add(found == argb_to_index.end() ? 0xEEu : found->second);
    if (found == argb_to_index.end()) hash.h ^= argb;
  }
  std::lock_guard guard(presented_mutex);
  presented.push_back(hash.h);
}

struct KeyStats {
  std::atomic<int64_t> posted{0};
  std::atomic<int32_t> most_held{0};
};

int32_t held(const runtime::KeyBuffer& ring) {
  return static_cast<int32_t>(static_cast<uint32_t>(ring.write_index - ring.read_index) % 16u);
}

void post_keys(std::atomic<bool>& stop, KeyStats& stats) {
  std::mt19937 random(12345);
  auto next = Clock::now();
  for (int64_t n = 0; !stop; ++n) {
    next += std::chrono::microseconds(1000);
    std::this_thread::sleep_until(next);
    const runtime::KeyCode code = KEYS[random() % std::size(KEYS)];
    if (n % 2 == 0) {
      runtime::headless_inject_key(code);
    } else {
      // A third thread takes the underlying lock as the window side does: the
      // nestable screen_lock belongs to the game's thread.
      runtime::screen_lock_acquire_raw();
      runtime::KeyBuffer& ring = runtime::key_buffer();
      const int32_t before = held(ring);
      runtime::key_post(code);
      const int32_t after = held(ring);
      const runtime::KeyCode newest = ring.slots[static_cast<size_t>((ring.write_index + 15) % 16)];
      runtime::screen_lock_release_raw();
      if (before > 15 || after != std::min(before + 1, 15) || newest != code) {
        fail("ring held " + std::to_string(before) + " then " + std::to_string(after) +
             " keys after a post");
      }
      int32_t most = stats.most_held;
      while (after > most && !stats.most_held.compare_exchange_weak(most, after)) {
      }
    }
    ++stats.posted;
  }
}

bool posted_key(const std::string& key) {
  if (key == " ") return true;  // the key step's stand-in for no key
  for (runtime::KeyCode code : KEYS) {
    const auto bits = static_cast<uint32_t>(code);
    const std::string expected = code > 255 ? std::string{static_cast<char>(bits & 0xFF),
                                                          static_cast<char>(bits >> 8 & 0xFF)}
                                            : std::string(1, static_cast<char>(bits));
    if (key == expected) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  if (!(seconds > 0)) {
    std::fprintf(stderr, "usage: %s SECONDS\n", argv[0]);
    return 2;
  }
  for (size_t i = 0; i < runtime::DEFAULT_PALETTE.size(); ++i) {
    const uint32_t rgb = runtime::DEFAULT_PALETTE[i];
    const uint32_t argb = 0xFF000000u | (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
    argb_to_index[argb] = static_cast<uint8_t>(i);
  }

  runtime::headless_install();
  static const game::GameSettings settings = {
      "tilewalk",
      {"datapack/graphics/brick03.mem", "datapack/graphics/flame01.mem",
       "datapack/graphics/flame02.mem", "datapack/graphics/skull01.mem",
       "datapack/graphics/morvek1.mem", "datapack/maps/map002.mem"},
      true};
  static game::GameState state;
  if (!game::start_up(state, settings)) {
    std::fprintf(stderr, "soak: no headless window\n");
    return 1;
  }
  runtime::PagedScreen& screen = *runtime::screen_current();
  const size_t page_size = static_cast<size_t>(screen.pitch) * static_cast<size_t>(screen.height);

  // Finished frames by hash, with the number of the last frame that made each;
  // the black page shown before the first frame counts as finished.
  std::unordered_map<uint64_t, int64_t> finished;
  {
    const std::vector<uint8_t> black(page_size, 0);
    finished[hash_page(black.data(), page_size)] = INT64_MAX;
  }
  runtime::headless_on_present(on_present);

  // The check must be able to fail: a picture no frame made, put on the shown
  // page by hand, has to be caught as one unknown presentation.
  runtime::screen_lock();
  std::fill_n(runtime::screen_page(screen, 0), page_size / 2, uint8_t{9});
  runtime::screen_mark_all_rows();
  runtime::screen_unlock();
  runtime::headless_wait_ticks(3);
  {
    std::lock_guard guard(presented_mutex);
    int64_t unknown = 0;
    for (uint64_t h : presented) unknown += finished.count(h) == 0;
    if (unknown < 1) fail("a torn picture put on the shown page was not told apart");
  }
  runtime::screen_lock();
  std::fill_n(runtime::screen_page(screen, 0), page_size, uint8_t{0});
  runtime::screen_mark_all_rows();
  runtime::screen_unlock();
  runtime::headless_wait_ticks(3);
  {
    std::lock_guard guard(presented_mutex);
    presented.clear();
  }

  game::enter_play(state);
  std::atomic<bool> stop{false};
  KeyStats stats;
  std::thread poster(post_keys, std::ref(stop), std::ref(stats));

  const auto start = Clock::now();
  const auto end = start + std::chrono::duration<double>(seconds);
  const auto warm = start + std::chrono::duration<double>(seconds / 6);
  int64_t frames = 0, presentations_checked = 0, rss_warm = -1, rss_last = -1, rss_most = -1;
  auto next_memory_check = start;
  std::vector<uint64_t> batch;
  while (!failed) {
    game::frame_step(state);
    ++frames;
    if (!posted_key(state.key)) fail("the game took a key nobody posted");
    finished[hash_page(runtime::screen_page(screen, game::WORK_PAGE), page_size)] = frames;

    if (frames % 64 != 0) continue;
    {
      std::lock_guard guard(presented_mutex);
      batch.swap(presented);
    }
    for (uint64_t h : batch) {
      if (finished.count(h) == 0) fail("a presented picture is no finished frame");
    }
    presentations_checked += static_cast<int64_t>(batch.size());
    batch.clear();
    // Frames are many but not endless (positions x phases); forget the ones
    // not made for a while, so the check itself keeps memory flat.
    if (finished.size() > 20000) {
      std::erase_if(finished, [&](const auto& entry) { return entry.second < frames - 5000; });
    }
    const auto now = Clock::now();
    if (now >= next_memory_check) {
      next_memory_check = now + std::chrono::seconds(1);
      rss_last = resident_kb();
      if (now >= warm && rss_warm < 0) rss_warm = rss_last;
      rss_most = std::max(rss_most, rss_last);
    }
    if (now >= end) break;
  }
  stop = true;
  poster.join();
  runtime::headless_on_present({});
  runtime::screen_release();

  if (rss_warm >= 0 && rss_most - rss_warm > 8 * 1024) {
    fail("resident memory grew from " + std::to_string(rss_warm) + " kB to " +
         std::to_string(rss_most) + " kB");
  }
  if (presentations_checked == 0) fail("nothing was presented");
  std::printf(
      "soak: %.0f s, %lld frames, %lld keys posted, %lld presentations checked, at most %d keys "
      "held, resident %lld kB after warm-up, %lld kB at most, %lld kB at the end: %s\n",
      seconds, static_cast<long long>(frames), static_cast<long long>(stats.posted.load()),
      static_cast<long long>(presentations_checked), stats.most_held.load(),
      static_cast<long long>(rss_warm), static_cast<long long>(rss_most),
      static_cast<long long>(rss_last), failed ? "FAILED" : "ok");
  return failed ? 1 : 0;
}
