#include "server/server_options.h"

#include <unistd.h>

#include "server/storage.h"
#include "server/submission_rules.h"

namespace {

ServerOptions UsageError(const std::string& error) {
  ServerOptions options;
  options.action = ServerOptions::kUsageError;
  options.error = error;
  return options;
}

std::string Parent(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool Usable(const char* folder) { return folder && folder[0] == '/'; }

}  // namespace

bool ParseListenAddress(const std::string& text, std::string& host, int& port) {
  const auto colon = text.find_last_of(':');
  if (colon == std::string::npos || colon == 0) return false;
  std::string name = text.substr(0, colon);
  if (name.front() == '[') {
    if (name.size() < 3 || name.back() != ']') return false;
    name = name.substr(1, name.size() - 2);
  } else if (name.find(':') != std::string::npos) {
    return false;  // an IPv6 address needs its brackets
  }
  const auto number = ParseBoundedNumber(text.substr(colon + 1), 0, 65535, -1);
  if (!number || *number < 0) return false;
  host = name;
  port = *number;
  return true;
}

std::string DefaultDatabaseUrl(const char* xdgDataHome, const char* home) {
  std::string folder;
  if (Usable(xdgDataHome))
    folder = xdgDataHome;
  else if (Usable(home))
    folder = std::string(home) + "/.local/share";
  else
    return "";
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return "sqlite:" + folder + "/vevarnholt-server/scores.sqlite";
}

std::string DefaultVerifier(const std::string& serverExecutable) {
  const std::string prefix = Parent(Parent(serverExecutable));
  for (const std::string& candidate : {prefix + "/games/vevarnholt", prefix + "/game/kav"})
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  return "";
}

ServerOptions ParseServerOptions(int argc, const char* const* argv) {
  ServerOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    // --name=value and --name value are the same.
    std::string name = argument, value;
    bool hasValue = false;
    const auto equals = argument.find('=');
    if (argument.compare(0, 2, "--") == 0 && equals != std::string::npos) {
      name = argument.substr(0, equals);
      value = argument.substr(equals + 1);
      hasValue = true;
    }
    const bool wantsValue = name == "--listen" || name == "--database" || name == "--verifier" ||
                            name == "--verifiers" || name == "--queue" || name == "--verify-seconds";
    if (wantsValue && !hasValue) {
      if (i + 1 >= argc) return UsageError("option '" + name + "' needs a value");
      value = argv[++i];
    } else if (!wantsValue && hasValue) {
      return UsageError("option '" + name + "' takes no value");
    }

    if (name == "--help" || name == "-h") {
      options.action = ServerOptions::kHelp;
      return options;
    } else if (name == "--version") {
      options.action = ServerOptions::kVersion;
      return options;
    } else if (name == "--listen") {
      if (!ParseListenAddress(value, options.host, options.port))
        return UsageError("'" + value + "' is not an address to listen on, such as 127.0.0.1:8470 or [::1]:8470");
    } else if (name == "--database") {
      if (!IsDatabaseUrl(value))
        return UsageError("'" + value + "' is not a database: use sqlite:PATH or postgresql://USER@HOST/DATABASE");
      options.database = value;
    } else if (name == "--verifier") {
      if (value.empty()) return UsageError("option '--verifier' needs the game's program");
      options.verifier = value;
    } else if (name == "--verifiers" || name == "--queue" || name == "--verify-seconds") {
      const int low = name == "--queue" ? 0 : 1;
      const auto number = ParseBoundedNumber(value, low, 1000, -1);
      if (!number || *number < low)
        return UsageError("option '" + name + "' needs a number from " + std::to_string(low) + " to 1000");
      (name == "--verifiers" ? options.verifiers : name == "--queue" ? options.queue : options.verifySeconds) =
          *number;
    } else if (name == "--behind-proxy") {
      options.behindProxy = true;
    } else {
      return UsageError("unknown " + std::string(argument[0] == '-' ? "option" : "argument") + " '" + name + "'");
    }
  }
  return options;
}

void PrintServerUsage(std::FILE* out) {
  std::fputs(
      "Usage: vevarnholt-server [OPTION]...\n"
      "The score server of Ve Varn Holt: hands out seeds, plays every submitted game\n"
      "again with the game's own verifier and lists the verified scores on a web page.\n"
      "\n"
      "  --listen ADDR:PORT    listen there (default 127.0.0.1:8470; port 0 takes\n"
      "                        any free port and logs it)\n"
      "  --database URL        sqlite:PATH or postgresql://USER@HOST/DATABASE\n"
      "                        (default sqlite:$XDG_DATA_HOME/vevarnholt-server/scores.sqlite)\n"
      "  --verifier PATH       the game's program that verifies replays (default:\n"
      "                        the game installed beside the server)\n"
      "  --verifiers N         replays verified at once (default: one a processor core)\n"
      "  --queue N             replays waiting for a verifier before the server answers\n"
      "                        503 busy (default: four a verifier)\n"
      "  --verify-seconds N    processor seconds a replay may take, plus one for every\n"
      "                        90 s of play it holds (default 10)\n"
      "  --behind-proxy        a proxy on this machine forwards the requests: take the\n"
      "                        client's address from X-Forwarded-For\n"
      "  --help                show this help and exit\n"
      "  --version             show the version and exit\n"
      "\n"
      "The API and how to run a public server: see the manual page vevarnholt-server(1).\n",
      out);
}
