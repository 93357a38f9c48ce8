#include "engine/http_client.h"

#include <curl/curl.h>

#include <cstdio>

namespace {

// libcurl's global set-up is not thread-safe, so it is done on the main
// thread when the first client is made. It is never undone: the program's
// end may still send a game after other static objects are gone.
bool CurlReady() {
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ready;
}

// Answers larger than this are cut off: a table of scores is a few kilobytes.
constexpr size_t kMaxAnswerBytes = 1u << 20;

size_t Collect(char* data, size_t size, size_t count, void* target) {
  std::string* body = static_cast<std::string*>(target);
  const size_t bytes = size * count;
  if (body->size() + bytes > kMaxAnswerBytes) return 0;  // ends the transfer with an error
  body->append(data, bytes);
  return bytes;
}

// Non-zero ends the transfer.
int GoOn(void* cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<const std::atomic<bool>*>(cancel)->load() ? 1 : 0;
}

}  // namespace

HttpClient::~HttpClient() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
  // Whoever still holds a future of an abandoned request gets "no answer".
  for (Job& job : queue_) {
    HttpResponse gone;
    gone.error = "the game is closing";
    job.answer.set_value(gone);
  }
}

HttpClient::HttpClient() { CurlReady(); }

std::future<HttpResponse> HttpClient::Send(HttpRequest request) {
  std::lock_guard<std::mutex> lock(mutex_);
  queue_.push_back(Job{std::move(request), {}});
  std::future<HttpResponse> future = queue_.back().answer.get_future();
  if (!worker_.joinable()) worker_ = std::thread([this] { Serve(); });
  wake_.notify_all();
  return future;
}

void HttpClient::Serve() {
  for (;;) {
    Job job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      job = std::move(queue_.front());
      queue_.pop_front();
    }
    job.answer.set_value(Perform(job.request, &stopping_));
  }
}

HttpResponse HttpClient::Perform(const HttpRequest& request, const std::atomic<bool>* cancel) {
  HttpResponse response;
  if (!CurlReady()) {
    response.error = "the network library could not start";
    return response;
  }
  CURL* curl = curl_easy_init();
  if (!curl) {
    response.error = "the network library could not start";
    return response;
  }
  char errorText[CURL_ERROR_SIZE] = "";
  curl_slist* headers = nullptr;
  curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // no SIGALRM from a worker thread
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, request.connectTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, request.totalTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "vevarnholt/" KAV_VERSION);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &response.body);
  if (cancel) {
    // libcurl asks at least once a second, also while it connects.
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, GoOn);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, cancel);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  }
  if (request.method == HttpRequest::kPost) {
    headers = curl_slist_append(headers, "Content-Type: application/octet-stream");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    const char* body = request.body.empty() ? "" : reinterpret_cast<const char*>(request.body.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
  }
  const CURLcode result = curl_easy_perform(curl);
  if (result == CURLE_OK) {
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &response.status);
  } else {
    response.body.clear();
    response.error = errorText[0] ? errorText : curl_easy_strerror(result);
  }
  curl_slist_free_all(headers);
  curl_easy_cleanup(curl);
  return response;
}

std::string HttpClient::Escape(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '_' || c == '.' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}
