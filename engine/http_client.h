// Plain HTTP requests on a worker thread of their own, so that nothing in the
// 50 Hz loop ever waits on the network: a request is handed over at once and
// its answer is picked up later from a future, polled without blocking.
// Requests are served one at a time in the order given, each with its own
// time limits. The only other thread the game runs besides the library's
// timer; nothing is shared with it but the queue.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct HttpRequest {
  enum Method { kGet, kPost };
  Method method = kGet;
  std::string url;
  // Sent as application/octet-stream with a POST (may be empty).
  std::vector<uint8_t> body;
  // Connecting, then the whole exchange.
  long connectTimeoutMs = 3000;
  long totalTimeoutMs = 8000;
};

struct HttpResponse {
  // The server's status code; 0 when no answer came (no network, refused,
  // timed out), with `error` saying why.
  long status = 0;
  std::string body;
  std::string error;
  bool Answered() const { return status != 0; }
};

class HttpClient {
 public:
  HttpClient();
  // Abandons what is still queued and cuts the request in flight short
  // (within about a second), so the program's end never waits out a slow
  // server.
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // Queues a request; the thread starts with the first one.
  std::future<HttpResponse> Send(HttpRequest request);

  // Runs one request on the calling thread (the worker's own body; tests);
  // `cancel`, when given and set, ends it early.
  static HttpResponse Perform(const HttpRequest& request, const std::atomic<bool>* cancel = nullptr);

  // `text` with every byte that may not stand in a URL's query written as %XX.
  static std::string Escape(const std::string& text);

 private:
  struct Job {
    HttpRequest request;
    std::promise<HttpResponse> answer;
  };
  void Serve();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> queue_;
  std::atomic<bool> stopping_{false};
  std::thread worker_;
};

// True when the future's answer has come (never waits).
template <typename T>
bool Ready(const std::future<T>& future) {
  return future.valid() && future.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}
