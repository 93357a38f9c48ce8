// The server's command line:
//   vevarnholt-server [--listen ADDR:PORT] [--database URL] [--verifier PATH]
//                     [--verifiers N] [--queue N] [--verify-seconds N] [--behind-proxy]
// Defaults: 127.0.0.1:8470, sqlite:$XDG_DATA_HOME/vevarnholt-server/scores.sqlite
// and the game installed beside the server.
#pragma once

#include <cstdio>
#include <string>

// sysexits.h: a wrong command line.
constexpr int kExitUsage = 64;
// Anything that keeps the server from starting: the database, the port, the
// verifier.
constexpr int kExitCannotStart = 1;

constexpr int kDefaultPort = 8470;
constexpr int kDefaultVerifySeconds = 10;

struct ServerOptions {
  enum Action { kServe, kHelp, kVersion, kUsageError };
  Action action = kServe;
  std::string error;  // for kUsageError

  std::string host = "127.0.0.1";
  int port = kDefaultPort;  // 0: any free port, logged once bound
  std::string database;     // empty: the default
  std::string verifier;     // empty: the default
  int verifiers = 0;        // 0: one a processor core
  int queue = -1;           // -1: four a verifier
  int verifySeconds = kDefaultVerifySeconds;
  // Requests come through a proxy on this machine, which tells the client's
  // address in X-Forwarded-For.
  bool behindProxy = false;
};

ServerOptions ParseServerOptions(int argc, const char* const* argv);

// "HOST:PORT", "[IPv6]:PORT"; false when it is neither.
bool ParseListenAddress(const std::string& text, std::string& host, int& port);

// sqlite:$XDG_DATA_HOME/vevarnholt-server/scores.sqlite, or under
// $HOME/.local/share when XDG_DATA_HOME is unset, empty or relative; empty
// when there is no usable home either.
std::string DefaultDatabaseUrl(const char* xdgDataHome, const char* home);

// The game beside the server: <prefix>/games/vevarnholt for an installed
// server in <prefix>/bin, else the build's game (<build>/game/kav beside
// <build>/server). Empty when neither is there.
std::string DefaultVerifier(const std::string& serverExecutable);

void PrintServerUsage(std::FILE* out);
