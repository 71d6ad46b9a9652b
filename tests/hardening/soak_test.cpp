// The soak: the game's frame loop flat out on the headless back end, with the
// live window tick, while a third thread posts 1,000 random keys a second
// (half through the window side, half straight into the ring under the lock).
// Every presented picture must be a frame the game finished (no torn frame),
// the ring must never hold more than 15 keys, the game must take only posted
// keys, and resident memory must stay within 8 MB of where it was after the
// first sixth of the run. TILEWALK_SOAK_SECONDS sets the length (3 s here;
// ./soak.sh runs it for minutes under ThreadSanitizer).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "game/frame_loop.h"
#include "runtime/screen/screen_lock.h"
#include "tests/support/screen_fixture.h"

namespace {

using namespace runtime;

std::mutex shown_mutex;
std::vector<uint64_t> shown;  // hashes of the presented pictures

uint64_t hash(uint64_t h, uint32_t argb) { return (h ^ argb) * 1099511628211ull; }
constexpr uint64_t START = 1469598103934665603ull;

// A page as the window would show it through the default palette.
uint64_t page_hash(int32_t page) {
  uint64_t h = START;
  for (int32_t i = 0; i < 64000; ++i) {
    const uint8_t index = support::page(page)[i];
    const uint32_t c = index < 16 ? DEFAULT_PALETTE[index] : 0;
    h = hash(h, 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
  }
  return h;
}

void on_present(const std::vector<uint32_t>& argb) {
  uint64_t h = START;
  for (uint32_t pixel : argb) h = hash(h, pixel);
  std::lock_guard guard(shown_mutex);
  shown.push_back(h);
}

int64_t resident_kb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key && key != "VmRSS:") status.ignore(1 << 12, '\n');
  int64_t kb = 0;
  status >> kb;
  return kb;
}

TEST(Threads, Soak) {
  const char* length = std::getenv("TILEWALK_SOAK_SECONDS");
  const auto seconds = std::chrono::duration<double>(length ? std::atof(length) : 3);
  headless_install();
  window_set_tick_observer(support::count_tick);
  static game::GameState state;
  ASSERT_TRUE(game::start_up(state, game::TILEWALK_SETTINGS));
  std::set<uint64_t> finished = {page_hash(2)};  // black, shown before the first frame
  headless_on_present(on_present);
  for (const uint8_t colour : {uint8_t{9}, uint8_t{0}}) {  // the check must be able to fail
    screen_lock();
    std::fill_n(support::page(0), 32000, colour);
    screen_mark_all_rows();
    screen_unlock();
    support::wait_ticks(2);
    std::lock_guard guard(shown_mutex);
    const bool torn =
        std::any_of(shown.begin(), shown.end(), [&](uint64_t h) { return !finished.count(h); });
    EXPECT_EQ(torn, colour == 9) << "half a page of colour 9 is no frame";
    shown.clear();
  }
  game::enter_play(state);
  std::atomic<bool> stop{false};
  std::thread poster([&] {
    const KeyCode KEYS[] = {'1', '3', '4', '6', '7', '9', '0', ' ', 13, 0x48FF, 0x3BFF, KEY_CLOSE};
    std::mt19937 random(12345);
    for (auto next = std::chrono::steady_clock::now(); !stop;
         next += std::chrono::milliseconds(1)) {
      std::this_thread::sleep_until(next);  // the pace, not a wait for anything
      const KeyCode key = KEYS[random() % std::size(KEYS)];
      if (random() % 2) {
        headless_inject_key(key);
        continue;
      }
      screen_lock_acquire_raw();  // as the window side takes it
      key_post(key);
      const KeyBuffer& ring = key_buffer();
      EXPECT_EQ(ring.slots[static_cast<size_t>((ring.write_index + 15) % 16)], key);
      EXPECT_LE((ring.write_index - ring.read_index + 16) % 16, 15);
      screen_lock_release_raw();
    }
  });
  const std::set<std::string> posted = {" ", "1", "3",  "4",     "6",     "7",
                                        "9", "0", "\r", "\xffH", "\xff;", "\xffk"};
  const auto start = std::chrono::steady_clock::now();
  int64_t warm_kb = 0, most_kb = 0, checked = 0;
  for (auto check = start; std::chrono::steady_clock::now() - start < seconds && !HasFailure();) {
    game::frame_step(state);
    finished.insert(page_hash(game::WORK_PAGE));
    EXPECT_TRUE(posted.count(state.key)) << "the game took a key nobody posted";
    EXPECT_EQ(screen_lock_count(), 0) << "a frame kept the screen lock";
    if (std::chrono::steady_clock::now() < check) continue;
    check += std::chrono::milliseconds(250);
    std::lock_guard guard(shown_mutex);
    for (uint64_t h : shown)
      EXPECT_TRUE(finished.count(h)) << "a presented picture is no finished frame";
    checked += static_cast<int64_t>(shown.size());
    shown.clear();
    most_kb = std::max(most_kb, resident_kb());
    if (warm_kb == 0 && std::chrono::steady_clock::now() - start > seconds / 6) warm_kb = most_kb;
  }
  stop = true;
  screen_lock_release_all();  // a frame that kept the lock must not hold up the poster
  poster.join();
  headless_on_present({});
  screen_release();
  EXPECT_GT(checked, 0);
  EXPECT_LT(most_kb - warm_kb, 8 * 1024) << "resident memory grew";
  std::printf("soak: %lld presentations checked, %lld kB resident at most\n",
              static_cast<long long>(checked), static_cast<long long>(most_kb));
}

}  // namespace
