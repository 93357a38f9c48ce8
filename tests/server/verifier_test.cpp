// The verifier process: the game's own verdict on genuine and forged replays,
// and what the server makes of a verifier that crashes, hangs, floods, prints
// garbage or cannot run.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "server/replay_verifier.h"
#include "server_harness.h"

namespace server_test {
namespace {

// True once the process is gone or a zombie (whoever inherited it may be slow
// to reap it).
bool EndsWithin(pid_t pid, std::chrono::seconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    const auto close = line.rfind(')');
    if (close != std::string::npos && line.size() > close + 2 && line[close + 2] == 'Z') return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

class VerifierTest : public ::testing::Test {
 protected:
  // A stand-in verifier: a shell script in the scratch folder.
  std::string Script(const std::string& name, const std::string& body) {
    const std::string path = folder_.Path() + "/" + name;
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    chmod(path.c_str(), 0755);
    return path;
  }
  VerifierVerdict Verify(const std::string& program, const std::vector<uint8_t>& replay, int seconds = 10) {
    ReplayVerifier verifier(program, scratch_.Path(), seconds);
    return verifier.Verify(replay, Parse(replay).result.steps);
  }
  ScratchFolder folder_, scratch_;
};

TEST_F(VerifierTest, TheGameVerifiesAGenuineReplayAndRefusesAForgedResult) {
  const auto genuine = GenuineReplay(1234, 300);
  const VerifierVerdict verified = Verify(VerifierProgram(), genuine);
  ASSERT_EQ(verified.kind, VerifierVerdict::kVerified) << verified.message;
  EXPECT_TRUE(verified.result == Parse(genuine).result);

  const auto forged = Forge(genuine, [](Replay& r) { r.result.score += 1000; });
  const VerifierVerdict refused = Verify(VerifierProgram(), forged);
  EXPECT_EQ(refused.kind, VerifierVerdict::kRefused);
  // The player reads why, without the server's temporary file name.
  EXPECT_EQ(refused.message.find(scratch_.Path()), std::string::npos) << refused.message;
  EXPECT_FALSE(refused.message.empty());
}

TEST_F(VerifierTest, ACrashGarbageOrAnUnknownEndIsARefusal) {
  const auto replay = GenuineReplay(1234, 300);
  const VerifierVerdict crashed = Verify(Script("crash", "kill -SEGV $$"), replay);
  EXPECT_EQ(crashed.kind, VerifierVerdict::kRefused);
  EXPECT_NE(crashed.message.find("crashed"), std::string::npos) << crashed.message;
  EXPECT_EQ(Verify(Script("garbage", "echo 'all fine'"), replay).kind, VerifierVerdict::kRefused);
  EXPECT_EQ(Verify(Script("two", "echo 'score 1, wave 1, steps 300'; echo 'score 1, wave 1, steps 300'"), replay).kind,
            VerifierVerdict::kRefused);
  EXPECT_EQ(Verify(Script("odd", "exit 3"), replay).kind, VerifierVerdict::kRefused);
  // Megabytes of output are drained, not kept.
  const VerifierVerdict flood = Verify(Script("flood", "head -c 20000000 /dev/zero; exit 65"), replay);
  EXPECT_EQ(flood.kind, VerifierVerdict::kRefused);
  EXPECT_LE(flood.message.size(), 300u);
}

TEST_F(VerifierTest, AVerifierThatHangsIsKilledWithWhatItStarted) {
  const auto replay = GenuineReplay(1234, 300);
  const std::string pidFile = folder_.Path() + "/child.pid";
  const auto start = std::chrono::steady_clock::now();
  const VerifierVerdict slept =
      Verify(Script("sleeper", "sleep 600 & echo $! > " + pidFile + "; wait"), replay, 1);
  EXPECT_EQ(slept.kind, VerifierVerdict::kRefused);
  EXPECT_NE(slept.message.find("too long"), std::string::npos) << slept.message;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  pid_t child = 0;
  std::ifstream(pidFile) >> child;
  ASSERT_GT(child, 0);
  EXPECT_TRUE(EndsWithin(child, std::chrono::seconds(10))) << "the verifier's own child outlived it";

  const VerifierVerdict spun = Verify(Script("spinner", "while :; do :; done"), replay, 1);
  EXPECT_EQ(spun.kind, VerifierVerdict::kRefused);
  EXPECT_NE(spun.message.find("processor time"), std::string::npos) << spun.message;
}

TEST_F(VerifierTest, AVerifierThatCannotRunOrLacksItsDataIsTheServersFault) {
  const auto replay = GenuineReplay(1234, 300);
  EXPECT_EQ(Verify(folder_.Path() + "/missing", replay).kind, VerifierVerdict::kFault);
  EXPECT_EQ(Verify(Script("nodata", "echo 'vevarnholt: cannot load kav.dat' >&2; exit 4"), replay).kind,
            VerifierVerdict::kFault);
  EXPECT_EQ(Verify(Script("cannot-write", "exit 74"), replay).kind, VerifierVerdict::kFault);
}

TEST_F(VerifierTest, VerifiersRunSideBySide) {
  ReplayVerifier verifier(VerifierProgram(), scratch_.Path(), 10);
  std::vector<std::thread> threads;
  std::atomic<int> verified{0};
  for (uint32_t seed = 1; seed <= 4; ++seed)
    threads.emplace_back([&, seed] {
      const auto replay = GenuineReplay(seed, 200);
      if (verifier.Verify(replay, 200).kind == VerifierVerdict::kVerified) ++verified;
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(verified, 4);
}

}  // namespace
}  // namespace server_test
