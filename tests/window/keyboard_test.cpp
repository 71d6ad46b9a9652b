// Key events against tables of the keys they post: SDL's (keys.txt and every
// key in every_key_sdl.txt, through the SDL back ends' keyboard side; SDL's
// event queue only, no window) and the page's (page_keys.txt and
// every_key_page.txt, the browser back end's); and the names the window
// side reads: its title, the video drivers asked for.
#include <SDL.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/input/key_poll.h"
#include "runtime/window/sdl_back_end.h"
#include "runtime/window/sdl_keyboard.h"
#include "runtime/window/web_keyboard.h"

namespace {

using namespace runtime;

// A quoted field with \xHH escapes, or "" for "-".
std::string field(std::istringstream& line) {
  std::string word;
  line >> std::ws;
  if (line.peek() != '"') return line >> word, "";
  std::getline(line.ignore(), word, '"');
  for (size_t at; (at = word.find("\\x")) != std::string::npos;) {
    word.replace(at, 4, 1, static_cast<char>(std::stoi(word.substr(at + 2, 2), nullptr, 16)));
  }
  return word;
}

// Runs `press` (key name, modifier letters, text) for every line of a table
// and compares what reaches the key ring with the line's expectation.
template <typename Press>
int check_table(const char* path, Press press) {
  std::ifstream table(path);
  int cases = 0;
  for (std::string text; std::getline(table, text); ++cases) {
    if (text.empty() || text[0] == '#') continue;
    SCOPED_TRACE(text);
    std::istringstream line(text);
    const std::string key = field(line);
    std::string mods, token;
    line >> mods;
    const std::string typed = field(line);
    key_buffer() = KeyBuffer{};
    press(key, mods, typed);
    std::vector<KeyCode> want, got;
    for (line >> token; line >> token && token != "-";) {
      want.push_back(token[0] == '\''  ? static_cast<uint8_t>(token[1])
                     : token[0] == 'x' ? std::stoi(token.substr(1), nullptr, 16) * 256 + 255
                                       : std::stoi(token));
    }
    for (KeyCode code; (code = key_take(key_buffer())) != 0;) got.push_back(code);
    EXPECT_EQ(got, want);
  }
  return cases;
}

TEST(Keyboard, SdlEventsPostWhatTheTablesSay) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
  for (const char* path : {"tests/window/keys.txt", "tests/window/every_key_sdl.txt"}) {
    EXPECT_GT(
        check_table(path,
                    [](const std::string& key, const std::string& mods, const std::string& typed) {
                      SDL_Event event{};
                      if (!key.empty()) {
                        event.type = SDL_KEYDOWN;
                        event.key.keysym.scancode = SDL_GetScancodeFromName(key.c_str());
                        event.key.keysym.sym = SDL_GetKeyFromName(key.c_str());
                        for (const char m : mods) {
                          const SDL_Keymod BITS[] = {KMOD_LSHIFT, KMOD_LCTRL, KMOD_LALT,
                                                     KMOD_RALT,   KMOD_NUM,   KMOD_NONE};
                          event.key.keysym.mod = static_cast<Uint16>(
                              event.key.keysym.mod | BITS[std::string("scarn-").find(m)]);
                        }
                        ASSERT_NE(event.key.keysym.scancode, SDL_SCANCODE_UNKNOWN);
                        SDL_PushEvent(&event);
                      }
                      if (!typed.empty()) {
                        event = SDL_Event{};
                        event.type = SDL_TEXTINPUT;
                        typed.copy(event.text.text, sizeof event.text.text - 1);
                        SDL_PushEvent(&event);
                      }
                      while (SDL_PollEvent(&event) != 0) sdl_keyboard_handle(event);
                    }),
        40);
  }
  SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

TEST(Keyboard, PageKeyDownsPostWhatTheTablesSay) {
  for (const char* path : {"tests/window/page_keys.txt", "tests/window/every_key_page.txt"}) {
    EXPECT_GT(
        check_table(path,
                    [](const std::string& code, const std::string& mods, const std::string& key) {
                      const auto has = [&](char m) { return mods.find(m) != std::string::npos; };
                      const bool toggle = web_keyboard_handle(
                          {code, key, has('s'), has('c'), has('a'), has('g'), has('n'), has('r')});
                      EXPECT_EQ(toggle, has('t')) << "full-screen switch";
                    }),
        10);
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
