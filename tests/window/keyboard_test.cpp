// Key presses against the table of the keys they post (keys.txt), through
// the SDL back ends' keyboard side (SDL's event queue only, no window) and
// the browser back end's; every physical key the same to both; and the names
// the window side reads: its title, the video drivers asked for.
#include <SDL.h>
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "runtime/input/key_poll.h"
#include "runtime/window/sdl_back_end.h"
#include "runtime/window/sdl_keyboard.h"
#include "runtime/window/web_keyboard.h"

namespace {

using namespace runtime;

// A word, or a quoted field with \xHH escapes; "" for "-".
std::string field(std::istringstream& line) {
  std::string word;
  line >> std::ws;
  if (line.peek() != '"') return line >> word, word == "-" ? "" : word;
  std::getline(line.ignore(), word, '"');
  for (size_t at; (at = word.find("\\x")) != std::string::npos;) {
    word.replace(at, 4, 1, static_cast<char>(std::stoi(word.substr(at + 2, 2), nullptr, 16)));
  }
  return word;
}

// One side's press: its key name ("" for none), modifier letters, text.
// True when it asked for the full-screen switch.
using Press = bool (*)(const std::string& name, const std::string& mods, const std::string& typed);

// Runs every line of keys.txt through one side (`side` 0 SDL, 1 the page)
// and compares what reaches the key ring with the line's expectation.
int check_table(int side, Press press) {
  std::ifstream table("tests/window/keys.txt");
  int cases = 0;
  for (std::string text; std::getline(table, text);) {
    if (text.empty() || text[0] == '#') continue;
    SCOPED_TRACE(text);
    std::istringstream line(text);
    const std::string names[] = {field(line), field(line)};
    std::string mods, token;
    line >> mods;
    const std::string typed = field(line);
    if (side == 1 && names[1].empty()) continue;
    key_buffer() = KeyBuffer{};
    EXPECT_EQ(press(names[side], mods, typed), mods.find('t') != std::string::npos)
        << "full-screen switch";
    std::vector<KeyCode> want, got;
    for (line >> token; line >> token && token != "-";) {
      want.push_back(token[0] == '\''  ? static_cast<uint8_t>(token[1])
                     : token[0] == 'x' ? std::stoi(token.substr(1), nullptr, 16) * 256 + 255
                                       : std::stoi(token));
    }
    // Every key the ring holds, a 0 posted by mistake included.
    for (KeyBuffer& ring = key_buffer(); ring.read_index != ring.write_index;) {
      got.push_back(key_take(ring));
    }
    EXPECT_EQ(got, want);
    ++cases;
  }
  return cases;
}

bool sdl_press(const std::string& key, const std::string& mods, const std::string& typed) {
  SDL_Event event{};
  if (!key.empty()) {
    event.type = SDL_KEYDOWN;
    event.key.keysym.scancode = SDL_GetScancodeFromName(key.c_str());
    event.key.keysym.sym = SDL_GetKeyFromName(key.c_str());
    event.key.repeat = mods.find('h') != std::string::npos ? 1 : 0;
    for (const char m : mods) {
      const SDL_Keymod BITS[] = {KMOD_LSHIFT, KMOD_LCTRL, KMOD_LALT, KMOD_RALT, KMOD_MODE,
                                 KMOD_NUM,    KMOD_NONE,  KMOD_NONE, KMOD_NONE};
      event.key.keysym.mod =
          static_cast<Uint16>(event.key.keysym.mod | BITS[std::string("scargnht-").find(m)]);
    }
    EXPECT_NE(event.key.keysym.scancode, SDL_SCANCODE_UNKNOWN);
    SDL_PushEvent(&event);
  }
  if (!typed.empty()) {
    event = SDL_Event{};
    event.type = SDL_TEXTINPUT;
    typed.copy(event.text.text, sizeof event.text.text - 1);
    SDL_PushEvent(&event);
  }
  // Another event queued behind the press, whose bytes would read as text.
  event = SDL_Event{};
  event.user = {SDL_USEREVENT, 0, 0, 'z', nullptr, nullptr};
  SDL_PushEvent(&event);
  bool toggle = false;
  while (SDL_PollEvent(&event) != 0) {
    toggle |= sdl_keyboard_handle(event) == KeyEventResult::TOGGLE_FULL_SCREEN;
  }
  return toggle;
}

bool page_press(const std::string& code, const std::string& mods, const std::string& typed) {
  const auto has = [&](char m) { return mods.find(m) != std::string::npos; };
  return web_keyboard_handle({code, typed.empty() ? code : typed, has('s'), has('c'),
                              has('a') || has('r'), has('g'), has('n'), has('h')});
}

TEST(Keyboard, DesktopAndPagePostWhatTheTableSays) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
  EXPECT_GT(check_table(0, sdl_press), 70);
  SDL_QuitSubSystem(SDL_INIT_EVENTS);
  EXPECT_GT(check_table(1, page_press), 65);
}

TEST(Keyboard, DesktopAndPageGiveEveryPhysicalKeyTheSameScanCode) {
  std::ifstream table("tests/window/physical_keys.txt");
  std::set<int32_t> listed;
  int known = 0;
  for (std::string text; std::getline(table, text);) {
    if (text.empty() || text[0] == '#') continue;
    std::istringstream line(text);
    int32_t usage = 0;
    std::string code;
    line >> std::hex >> usage >> code;
    const Set1Key sdl = sdl_scancode_to_set1(usage), page = web_code_to_set1(code);
    EXPECT_EQ(std::tie(sdl.known, sdl.scan_code, sdl.dedicated),
              std::tie(page.known, page.scan_code, page.dedicated))
        << text;
    known += sdl.known;
    listed.insert(usage);
  }
  EXPECT_EQ(known, 105);
  for (int32_t usage = 0; usage < SDL_NUM_SCANCODES; ++usage) {
    EXPECT_TRUE(listed.count(usage) == 1 || !sdl_scancode_to_set1(usage).known) << usage;
  }
}

TEST(Keyboard, NamesTheWindowSideReads) {
  EXPECT_EQ(window_title_from_path("./build/tilewalk-flat"), "tilewalk-flat");
  EXPECT_EQ(window_title_from_path("dir.d/tile.walk.exe"), "tile.walk");
  EXPECT_TRUE(sdl_driver_requested("DUMMY ,x11", "dummy"));
  EXPECT_TRUE(sdl_driver_requested("x11, dummy", "dummy"));
  EXPECT_FALSE(sdl_driver_requested(nullptr, "dummy"));
  EXPECT_FALSE(sdl_driver_requested("dummyx,dumm,xummy", "dummy"));
}

}  // namespace
