// The score server's life on one screen: the command line, the database, a
// private folder for replays being verified, the listening socket, serving
// until SIGTERM or SIGINT, and a clean stop.
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <ftw.h>
#include <thread>

#include "server/replay_verifier.h"
#include "server/score_server.h"
#include "server/server_log.h"
#include "server/server_options.h"
#include "server/storage.h"

namespace {

// One line, whatever the libraries said: their messages may span several.
int CannotStart(const std::string& why) {
  std::string line;
  for (const char c : why) {
    const bool space = c == '\n' || c == '\t' || c == '\r' || c == ' ';
    if (!space)
      line += c;
    else if (!line.empty() && line.back() != ' ')
      line += ' ';
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  std::fprintf(stderr, "vevarnholt-server: %s\n", line.c_str());
  return kExitCannotStart;
}

std::string OwnExecutable() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<size_t>(length)) : "";
}

// A folder only this process uses, for the replays being verified.
std::string MakeScratchFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/vevarnholt-server.XXXXXX";
  return mkdtemp(&folder[0]) ? folder : "";
}

void RemoveFolder(const std::string& folder) {
  nftw(folder.c_str(), [](const char* path, const struct stat*, int, FTW*) { return remove(path); }, 8,
       FTW_DEPTH | FTW_PHYS);
}

}  // namespace

int main(int argc, char** argv) {
  const ServerOptions options = ParseServerOptions(argc, argv);
  switch (options.action) {
    case ServerOptions::kHelp:
      PrintServerUsage(stdout);
      return 0;
    case ServerOptions::kVersion:
      std::printf("vevarnholt-server %s (replays of rules version %u)\n", KAV_VERSION, kRulesVersion);
      return 0;
    case ServerOptions::kUsageError:
      std::fprintf(stderr, "vevarnholt-server: %s\n", options.error.c_str());
      std::fputs("Try 'vevarnholt-server --help' for more information.\n", stderr);
      return kExitUsage;
    case ServerOptions::kServe:
      break;
  }

  const std::string database =
      options.database.empty() ? DefaultDatabaseUrl(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"))
                               : options.database;
  if (database.empty()) return CannotStart("no folder for the database: set HOME or XDG_DATA_HOME, or give --database");
  const std::string verifierProgram = options.verifier.empty() ? DefaultVerifier(OwnExecutable()) : options.verifier;
  if (verifierProgram.empty())
    return CannotStart("the game, which verifies replays, is not installed beside the server: give --verifier");
  if (access(verifierProgram.c_str(), X_OK) != 0)
    return CannotStart("cannot run the verifier " + verifierProgram + ": " + std::strerror(errno));

  // Signals are taken by one thread with sigwait; every thread made from here
  // on inherits the mask. A client gone away is an error on its socket, not
  // a signal.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  std::unique_ptr<Storage> storage;
  try {
    storage = OpenStorage(database);
  } catch (const StorageError& e) {
    return CannotStart("cannot open the database " + DatabaseUrlForLog(database) + ": " + e.what());
  }
  const std::string scratch = MakeScratchFolder();
  if (scratch.empty()) return CannotStart(std::string("cannot make a temporary folder: ") + std::strerror(errno));

  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  ScoreServerSettings settings;
  settings.host = options.host;
  settings.port = options.port;
  settings.behindProxy = options.behindProxy;
  settings.verifiers = options.verifiers > 0 ? options.verifiers : cores;
  settings.queue = options.queue >= 0 ? options.queue : 4 * settings.verifiers;
  ReplayVerifier verifier(verifierProgram, scratch, options.verifySeconds);
  ScoreServer server(*storage, verifier, settings);
  std::string error;
  if (!server.Bind(error)) {
    RemoveFolder(scratch);
    const bool v6 = options.host.find(':') != std::string::npos;
    return CannotStart("cannot listen on " + (v6 ? "[" + options.host + "]" : options.host) + ":" +
                       std::to_string(options.port) + ": " + error);
  }
  const std::string host = options.host.find(':') != std::string::npos ? "[" + options.host + "]" : options.host;
  LogLine("listening on http://" + host + ":" + std::to_string(server.Port()) + "/ (database " +
          DatabaseUrlForLog(database) + ", verifier " + verifierProgram + ", " + std::to_string(settings.verifiers) +
          " at once, " + std::to_string(settings.queue) + " waiting)");

  std::thread stopper([&] {
    int received = 0;
    sigwait(&stopSignals, &received);
    LogLine(std::string("stopping on ") + strsignal(received));
    server.Stop();
  });
  const bool served = server.Run();
  // Run also returns on its own error; the stopper is then woken by hand.
  pthread_kill(stopper.native_handle(), SIGTERM);
  stopper.join();
  RemoveFolder(scratch);
  LogLine("stopped");
  return served ? 0 : kExitCannotStart;
}
