#include "server/replay_verifier.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "server/submission_rules.h"

namespace {

using Clock = std::chrono::steady_clock;

// Kept of each output stream; a verifier that floods is drained, not kept.
constexpr size_t kMaxOutput = 4096;
constexpr int kPollMs = 100;

std::string Folder(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// The first line of the verifier's complaint, without the temporary file's
// name, which means nothing to the player.
std::string Complaint(std::string text, const std::string& file) {
  const std::string prefix = file + ": ";
  if (text.compare(0, prefix.size(), prefix) == 0) text.erase(0, prefix.size());
  for (size_t at; (at = text.find(file)) != std::string::npos;) text.replace(at, file.size(), "the replay");
  text = text.substr(0, text.find('\n'));
  if (text.size() > 300) text.resize(300);
  return text;
}

struct Pipe {
  int read = -1, write = -1;
  bool Open() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    read = fds[0];
    write = fds[1];
    return true;
  }
  void CloseRead() { CloseFd(read); }
  void CloseWrite() { CloseFd(write); }
  static void CloseFd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
  ~Pipe() {
    CloseRead();
    CloseWrite();
  }
};

// Between fork and exec only async-signal-safe calls: everything is prepared
// before. The status pipe, kept open on fd 3 and closed by a successful exec,
// carries errno back when anything fails.
[[noreturn]] void RunChild(const char* program, char* const argv[], const char* folder, int seconds, int in, int out,
                           int err, int status, pid_t server) {
  setpgid(0, 0);
  // A verifier never outlives the server that waits for it.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != server) _exit(127);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  signal(SIGPIPE, SIG_DFL);
  if (dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || dup2(status, 3) < 0) _exit(127);
  fcntl(3, F_SETFD, FD_CLOEXEC);
  // The server's sockets and files are none of the verifier's business.
  if (syscall(SYS_close_range, 4u, ~0u, 0) != 0)
    for (int fd = 4; fd < 65536; ++fd) close(fd);
  const rlimit cpu = {static_cast<rlim_t>(seconds), static_cast<rlim_t>(seconds) + 1};
  const rlimit noCore = {0, 0};
  if (chdir(folder) == 0 && setrlimit(RLIMIT_CPU, &cpu) == 0 && setrlimit(RLIMIT_CORE, &noCore) == 0)
    execv(program, argv);
  const int error = errno;
  ssize_t ignored = write(3, &error, sizeof error);
  (void)ignored;
  _exit(127);
}

}  // namespace

ReplayVerifier::ReplayVerifier(std::string program, std::string scratchFolder, int baseSeconds)
    : program_(std::move(program)), folder_(Folder(program_)), scratch_(std::move(scratchFolder)),
      baseSeconds_(baseSeconds) {}

int ReplayVerifier::SecondsFor(uint32_t steps) const {
  return baseSeconds_ + static_cast<int>(steps / kStepsPerLimitSecond);
}

VerifierVerdict ReplayVerifier::Verify(const std::vector<uint8_t>& replay, uint32_t steps) {
  VerifierVerdict verdict;
  std::string file = scratch_ + "/replay-" + std::to_string(++fileNumber_) + "-XXXXXX";
  const int fd = mkstemp(&file[0]);
  if (fd < 0) {
    verdict.message = "cannot make a temporary file in " + scratch_ + ": " + std::strerror(errno);
    return verdict;
  }
  const bool written = WriteAll(fd, replay.data(), replay.size());
  const int writeError = errno;
  close(fd);
  if (written)
    verdict = Run(file, steps);
  else
    verdict.message = "cannot write " + file + ": " + std::strerror(writeError);
  unlink(file.c_str());
  return verdict;
}

VerifierVerdict ReplayVerifier::Run(const std::string& file, uint32_t steps) {
  VerifierVerdict verdict;
  if (stopping_) {
    verdict.message = "the server is stopping";
    return verdict;
  }
  const int seconds = SecondsFor(steps);
  // Real time beyond the processor time: a busy machine, a verifier that
  // sleeps.
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(seconds * 1500 + 2000);

  Pipe out, err, status;
  const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (devNull < 0 || !out.Open() || !err.Open() || !status.Open()) {
    if (devNull >= 0) close(devNull);
    verdict.message = std::string("cannot make the verifier's pipes: ") + std::strerror(errno);
    return verdict;
  }
  std::string verifyOption = "--verify";
  std::vector<char*> argv = {&program_[0], &verifyOption[0], const_cast<char*>(file.c_str()), nullptr};
  const pid_t server = getpid();
  const pid_t pid = fork();
  if (pid == 0) RunChild(program_.c_str(), argv.data(), folder_.c_str(), seconds, devNull, out.write, err.write,
                         status.write, server);
  // Also here, so that the group exists before the parent may kill it.
  if (pid > 0) setpgid(pid, pid);
  close(devNull);
  out.CloseWrite();
  err.CloseWrite();
  status.CloseWrite();
  if (pid < 0) {
    verdict.message = std::string("cannot start the verifier: ") + std::strerror(errno);
    return verdict;
  }

  int startError = 0;
  ssize_t got;
  do got = read(status.read, &startError, sizeof startError);
  while (got < 0 && errno == EINTR);
  if (got == static_cast<ssize_t>(sizeof startError)) {
    waitpid(pid, nullptr, 0);
    verdict.message = "cannot start the verifier " + program_ + ": " + std::strerror(startError);
    return verdict;
  }

  std::string output[2];
  pollfd streams[2] = {{out.read, POLLIN, 0}, {err.read, POLLIN, 0}};
  int open = 2;
  bool overran = false;
  while (open > 0) {
    if (Clock::now() >= deadline || stopping_) {
      overran = true;
      break;
    }
    if (poll(streams, 2, kPollMs) < 0 && errno != EINTR) break;
    for (int i = 0; i < 2; ++i) {
      if (streams[i].fd < 0 || !(streams[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[4096];
      const ssize_t n = read(streams[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        output[i].append(buffer, std::min(static_cast<size_t>(n), kMaxOutput - std::min(kMaxOutput, output[i].size())));
      } else if (n == 0 || errno != EINTR) {
        streams[i].fd = -1;
        --open;
      }
    }
  }
  // Its output closed: wait for the end, still within the deadline. The
  // process group is killed before the verifier is reaped, which takes any
  // process it left behind with it.
  siginfo_t info;
  for (;;) {
    info.si_pid = 0;
    if (!overran && waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
        info.si_pid == pid)
      break;
    if (overran || Clock::now() >= deadline || stopping_) {
      overran = true;
      break;
    }
    usleep(5000);
  }
  kill(-pid, SIGKILL);
  int code = 0;
  while (waitpid(pid, &code, 0) < 0 && errno == EINTR) {
  }

  if (stopping_) {
    verdict.message = "the server is stopping";
    return verdict;
  }
  verdict.kind = VerifierVerdict::kRefused;
  if (overran) {
    verdict.message = "the verifier took too long over the replay";
    return verdict;
  }
  if (WIFSIGNALED(code)) {
    const int signal = WTERMSIG(code);
    verdict.message = signal == SIGXCPU || signal == SIGKILL
                          ? "the verifier ran out of processor time (" + std::to_string(seconds) + " s) on the replay"
                          : "the verifier crashed on the replay (" + std::string(strsignal(signal)) + ")";
    return verdict;
  }
  const int exitCode = WEXITSTATUS(code);
  const std::string complaint = Complaint(output[1], file);
  switch (exitCode) {
    case 0:
      if (const auto result = ParseVerifiedLine(output[0])) {
        verdict.kind = VerifierVerdict::kVerified;
        verdict.result = *result;
      } else {
        verdict.message = "the verifier gave no result for the replay";
      }
      return verdict;
    case kVerifierBadData:
      verdict.message = complaint.empty() ? "the replay does not verify" : complaint;
      return verdict;
    case kVerifierMissingData:
    case kVerifierCannotWrite:
    case 64:   // it does not understand how it is called: another program
    case 126:  // a wrapper could not start it
    case 127:
      verdict.kind = VerifierVerdict::kFault;
      verdict.message = "the verifier " + program_ + " failed (exit code " + std::to_string(exitCode) + ")" +
                        (complaint.empty() ? "" : ": " + complaint);
      return verdict;
    default:
      verdict.message = "the verifier failed on the replay (exit code " + std::to_string(exitCode) + ")";
      return verdict;
  }
}
