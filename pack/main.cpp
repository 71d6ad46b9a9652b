// tilewalk-pack: make, check and preview tilewalk datapacks. This file reads
// the command line and hands each command to its own unit; every command
// reads .mem files through the runtime's text-file service, as the game does.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "pack/check.h"
#include "pack/convert.h"
#include "pack/preview.h"
#include "pack/version.h"

namespace {

constexpr int EXIT_USAGE = 2;
constexpr int32_t MAX_SCALE = 64;
constexpr int32_t MAX_WIDTH = 320;  // a picture the game loads fits its page
constexpr int32_t MAX_HEIGHT = 200;
constexpr int32_t LAST_INDEX = 255;

constexpr const char* USAGE =
    "usage: tilewalk-pack check [DIR] [--flat] [--strict]\n"
    "       tilewalk-pack to-png IN.mem OUT.png [--size WxH] [--scale N] [--transparent INDEX]\n"
    "       tilewalk-pack from-png IN.png OUT.mem [--nearest | --keep-indices]\n"
    "       tilewalk-pack preview [DIR] OUT.png [--at X,Y] [--flat] [--map]\n"
    "       tilewalk-pack --help | --version\n";

constexpr const char* HELP =
    "Makes, checks and previews tilewalk datapacks: the five 16 x 16 pictures and\n"
    "the 64 x 32 map the game reads as .mem text, read here exactly as the game\n"
    "reads them.\n"
    "\n"
    "check [DIR] [--flat] [--strict]\n"
    "    Reads the six files where tilewalk looks when started in DIR (default .),\n"
    "    under datapack/graphics/ and datapack/maps/; with --flat, where\n"
    "    tilewalk-flat looks: by their bare names in DIR. Prints one line per\n"
    "    finding, PATH:LINE:COLUMN: message, then a summary.\n"
    "    Errors: a file missing or unreadable; fewer items than the picture takes\n"
    "    (the rest is blank); more (they are ignored); an item that is no number.\n"
    "    Warnings: an empty item (a blank line, two commas, a comma at a line end),\n"
    "    which moves every later pixel; a picture value outside 0 to 15; a map code\n"
    "    outside 0 to 5 (5 and up all draw a white box). What spoils play, found\n"
    "    by the game's own collision rule: an open edge (the player can walk out\n"
    "    of the map picture, over black floor, to the page's edge), a start cell\n"
    "    (2, 2) that blocks or is boxed in. --strict makes these errors and makes\n"
    "    warnings fail the check too.\n"
    "\n"
    "to-png IN.mem OUT.png [--size WxH] [--scale N] [--transparent INDEX]\n"
    "    The picture as the game reads it, as an 8-bit indexed PNG whose palette is\n"
    "    the screen's (0 to 15 the game's colours, 16 to 255 black), so indices\n"
    "    survive. The size comes from the file name when it is one of the six the\n"
    "    game loads, else from --size (up to 320x200). --scale N enlarges N times\n"
    "    (1 to 64) with square pixels; --transparent INDEX makes that palette index\n"
    "    (0 to 255) fully transparent in the PNG.\n"
    "\n"
    "from-png IN.png OUT.mem [--nearest | --keep-indices]\n"
    "    Each pixel becomes the index of its colour among the 16 of\n"
    "    datapack/palette.gpl, whatever the PNG's type (RGB, RGBA, grey, paletted in\n"
    "    any colour order); a fully transparent pixel becomes 0. Pixels of any other\n"
    "    colour, or half transparent, are counted and the first few named with\n"
    "    their nearest colour, and nothing is written; --nearest snaps each to its\n"
    "    nearest colour instead. --keep-indices takes a paletted PNG's indices as\n"
    "    they are, whatever colours its palette shows; a PNG whose palette is the\n"
    "    screen's, as to-png writes it, keeps them anyway (16 to 255 too). Writes\n"
    "    one picture row per line, items separated by commas. When OUT is named\n"
    "    like one of the six files, the PNG must have that file's size.\n"
    "\n"
    "preview [DIR] OUT.png [--at X,Y] [--flat] [--map]\n"
    "    The frame the game shows with the player at (X, Y) (default 2,2), drawn by\n"
    "    the game's own code: flame phase 0 on the left, phase 1 on the right\n"
    "    (640 x 200), the position readout included for tilewalk (not with --flat,\n"
    "    and not where the player cannot stand). --map draws the whole map instead\n"
    "    (1024 x 512), each cell that blocks framed in light magenta, the player at\n"
    "    (X, Y).\n"
    "\n"
    "Exit status: 0 fine, 1 findings or refused input, 2 usage error.\n";

struct Arguments {
  std::string command;
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;  // name, value ("" for flags)
};

int usage_error(const std::string& message) {
  std::fprintf(stderr, "tilewalk-pack: %s\n%s", message.c_str(), USAGE);
  return EXIT_USAGE;
}

bool takes_value(std::string_view name) {
  return name == "--size" || name == "--scale" || name == "--transparent" || name == "--at";
}

// Splits the words after the command into positional arguments and options;
// an option's value follows it or is joined with "=". False (with a message)
// when a value is missing.
bool split(int argc, char** argv, Arguments& arguments, std::string& error) {
  for (int i = 2; i < argc; ++i) {
    const std::string word = argv[i];
    if (word.size() < 2 || word.compare(0, 2, "--") != 0) {
      arguments.positional.push_back(word);
      continue;
    }
    const size_t equals = word.find('=');
    std::string name = word.substr(0, equals);
    std::string value;
    if (equals != std::string::npos) {
      value = word.substr(equals + 1);
    } else if (takes_value(name)) {
      if (i + 1 >= argc) {
        error = name + " needs a value";
        return false;
      }
      value = argv[++i];
    }
    arguments.options.emplace_back(name, value);
  }
  return true;
}

// A whole decimal number, nothing before or after it.
bool parse_number(std::string_view text, int32_t& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return result.ec == std::errc() && result.ptr == end && !text.empty();
}

bool parse_pair(std::string_view text, char separator, int32_t& a, int32_t& b) {
  const size_t at = text.find(separator);
  return at != std::string_view::npos && parse_number(text.substr(0, at), a) &&
         parse_number(text.substr(at + 1), b);
}

// Checks that every option is one the command takes, and a positional count.
bool accept(const Arguments& arguments, std::initializer_list<std::string_view> allowed,
            size_t fewest, size_t most, std::string& error) {
  for (const auto& [name, value] : arguments.options) {
    bool known = false;
    for (std::string_view a : allowed) known = known || name == a;
    if (!known) {
      error = arguments.command + ": unknown option " + name;
      return false;
    }
    if (!takes_value(name) && !value.empty()) {
      error = arguments.command + ": " + name + " takes no value";
      return false;
    }
  }
  const size_t count = arguments.positional.size();
  if (count < fewest || count > most) {
    error = arguments.command + ": wrong number of arguments";
    return false;
  }
  return true;
}

bool has(const Arguments& arguments, std::string_view name) {
  for (const auto& option : arguments.options) {
    if (option.first == name) return true;
  }
  return false;
}

int run_check(const Arguments& arguments) {
  std::string error;
  if (!accept(arguments, {"--flat", "--strict"}, 0, 1, error)) return usage_error(error);
  pack::CheckOptions options;
  if (!arguments.positional.empty()) options.dir = arguments.positional[0];
  options.flat = has(arguments, "--flat");
  options.strict = has(arguments, "--strict");
  const pack::CheckReport report = pack::check_pack(options);
  for (const pack::CheckFinding& finding : report.findings) {
    std::fprintf(stderr, "%s:%llu:%llu: %s: %s\n", finding.path.c_str(),
                 static_cast<unsigned long long>(finding.line),
                 static_cast<unsigned long long>(finding.column),
                 finding.severity == pack::Severity::ERROR ? "error" : "warning",
                 finding.message.c_str());
  }
  std::fprintf(stderr, "tilewalk-pack check: %s\n", report.summary.c_str());
  return report.failed ? 1 : 0;
}

int run_to_png(const Arguments& arguments) {
  std::string error;
  if (!accept(arguments, {"--size", "--scale", "--transparent"}, 2, 2, error)) {
    return usage_error(error);
  }
  pack::ToPngOptions options;
  options.in = arguments.positional[0];
  options.out = arguments.positional[1];
  for (const auto& [name, value] : arguments.options) {
    if (name == "--size" &&
        (!parse_pair(value, 'x', options.width, options.height) || options.width < 1 ||
         options.height < 1 || options.width > MAX_WIDTH || options.height > MAX_HEIGHT)) {
      return usage_error("to-png: --size takes WxH, from 1x1 to 320x200: " + value);
    }
    if (name == "--scale" &&
        (!parse_number(value, options.scale) || options.scale < 1 || options.scale > MAX_SCALE)) {
      return usage_error("to-png: --scale takes a whole number from 1 to 64: " + value);
    }
    if (name == "--transparent" && (!parse_number(value, options.transparent) ||
                                    options.transparent < 0 || options.transparent > LAST_INDEX)) {
      return usage_error("to-png: --transparent takes a palette index from 0 to 255: " + value);
    }
  }
  return pack::to_png_run(options);
}

int run_from_png(const Arguments& arguments) {
  std::string error;
  if (!accept(arguments, {"--nearest", "--keep-indices"}, 2, 2, error)) return usage_error(error);
  pack::FromPngOptions options;
  options.in = arguments.positional[0];
  options.out = arguments.positional[1];
  options.nearest = has(arguments, "--nearest");
  options.keep_indices = has(arguments, "--keep-indices");
  if (options.nearest && options.keep_indices) {
    return usage_error("from-png: --nearest and --keep-indices exclude each other");
  }
  return pack::from_png_run(options);
}

int run_preview(const Arguments& arguments) {
  std::string error;
  if (!accept(arguments, {"--at", "--flat", "--map"}, 1, 2, error)) return usage_error(error);
  pack::PreviewOptions options;
  if (arguments.positional.size() == 2) options.dir = arguments.positional[0];
  options.out = arguments.positional.back();
  options.flat = has(arguments, "--flat");
  options.map = has(arguments, "--map");
  for (const auto& [name, value] : arguments.options) {
    // The player can stand on any cell of the page, and only there.
    if (name == "--at" && (!parse_pair(value, ',', options.x, options.y) || options.x < 0 ||
                           options.y < 0 || options.x >= MAX_WIDTH || options.y >= MAX_HEIGHT)) {
      return usage_error("preview: --at takes X,Y within 0,0 to 319,199: " + value);
    }
  }
  return pack::preview_run(options);
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::printf("%s\n%s", USAGE, HELP);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("tilewalk-pack %s\n", pack::PACK_VERSION);
      return 0;
    }
  }
  if (argc < 2) return usage_error("no command given");
  Arguments arguments;
  arguments.command = argv[1];
  std::string error;
  if (!split(argc, argv, arguments, error)) return usage_error(arguments.command + ": " + error);
  if (arguments.command == "check") return run_check(arguments);
  if (arguments.command == "to-png") return run_to_png(arguments);
  if (arguments.command == "from-png") return run_from_png(arguments);
  if (arguments.command == "preview") return run_preview(arguments);
  return usage_error("unknown command " + arguments.command);
}
