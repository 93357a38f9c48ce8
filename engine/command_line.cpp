#include "engine/command_line.h"

#include <cstring>

#include "engine/settings.h"

namespace {

CommandLine UsageError(const std::string& error) {
  CommandLine line;
  line.action = CommandLine::kUsageError;
  line.error = error;
  return line;
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  CommandLine line;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
      return UsageError("unexpected argument '" + argument + "'");
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    // --name=value and --name value are the same.
    std::string name = argument, value;
    bool hasValue = false;
    const std::string::size_type equals = argument.find('=');
    if (argument.compare(0, 2, "--") == 0 && equals != std::string::npos) {
      name = argument.substr(0, equals);
      value = argument.substr(equals + 1);
      hasValue = true;
    }
    const bool wantsValue = name == "--scale" || name == "--refresh" || name == "--replay" || name == "--verify" ||
                            name == "--server";
    if (wantsValue && !hasValue) {
      // "--verify --stats FILE" reads as it is meant.
      if (name == "--verify" && i + 1 < argc && std::strcmp(argv[i + 1], "--stats") == 0) {
        line.stats = true;
        ++i;
      }
      if (i + 1 >= argc) return UsageError("option '" + name + "' needs a value");
      value = argv[++i];
      hasValue = true;
    } else if (!wantsValue && hasValue) {
      return UsageError("option '" + name + "' takes no value");
    }

    if (name == "--help" || name == "-h") {
      line.action = CommandLine::kHelp;
      return line;
    } else if (name == "--version") {
      line.action = CommandLine::kVersion;
      return line;
    } else if (name == "--window") {
      line.fullscreen = 0;
    } else if (name == "--fullscreen") {
      line.fullscreen = 1;
    } else if (name == "--scale") {
      if (value == "fit")
        line.scale = kScaleFit;
      else if (value.size() == 1 && value[0] >= '1' && value[0] <= '0' + kLargestScale)
        line.scale = value[0] - '0';
      else
        return UsageError("the scale must be fit or 1 to " + std::to_string(kLargestScale) + ", not '" + value + "'");
    } else if (name == "--refresh") {
      if (value == "display")
        line.refresh = RefreshMode::kDisplay;
      else if (value == "step")
        line.refresh = RefreshMode::kStep;
      else
        return UsageError("the refresh must be display or step, not '" + value + "'");
    } else if (name == "--replay" || name == "--verify") {
      if (line.action != CommandLine::kPlay) return UsageError("only one of --replay and --verify, once");
      if (value.empty()) return UsageError("option '" + name + "' needs a file");
      line.action = name == "--replay" ? CommandLine::kReplay : CommandLine::kVerify;
      line.file = value;
    } else if (name == "--stats") {
      line.stats = true;
    } else if (name == "--server") {
      if (!IsServerUrl(value))
        return UsageError("the server must be an http:// or https:// address, not '" + value + "'");
      line.server = value;
    } else {
      return UsageError("unknown option '" + name + "'");
    }
  }
  if (line.stats && line.action != CommandLine::kVerify) return UsageError("option '--stats' goes with --verify");
  return line;
}

void PrintUsage(std::FILE* out) {
  std::fputs(
      "Usage: vevarnholt [OPTION]...\n"
      "Ve Varn Holt - The Game: fly over a wrapping world, shoot twenty waves of aliens\n"
      "and rescue the humans.\n"
      "\n"
      "  --window         play in a window\n"
      "  --fullscreen     play on the full screen (the default)\n"
      "  --scale fit|1|2|3|4\n"
      "                   fit: the picture as large as the screen allows (the\n"
      "                   default); a number: every pixel shown that many times\n"
      "  --refresh display|step\n"
      "                   display: a new frame at every refresh of the display\n"
      "                   (the default); step: one frame a step, 50 a second\n"
      "  --replay FILE    watch a recorded game (Escape stops, the right arrow\n"
      "                   held plays it four times as fast)\n"
      "  --verify FILE    check a recorded game without showing it; prints\n"
      "                   \"score N, wave W, steps S\" (\", from wave F\" after it for\n"
      "                   a practice game) and exits 0 when it matches\n"
      "  --stats          with --verify: the game's numbers follow as one line of\n"
      "                   JSON (shots, hits, enemies by kind, humans, bombs, lives)\n"
      "  --server URL     send this run's games to the score server at URL\n"
      "                   (http://HOST:PORT) instead of the one in the settings\n"
      "  --help           show this help and exit\n"
      "  --version        show the version and exit\n"
      "\n"
      "Keys: arrows fly, Z fires, space detonates a smart bomb, P pauses, F11 or\n"
      "Alt+Enter switches between window and full screen, - and = set the music\n"
      "volume, [ and ] the effects volume, M mutes, Escape quits.\n",
      out);
}

void PrintVersion(std::FILE* out) { std::fprintf(out, "vevarnholt %s\n", KAV_VERSION); }
