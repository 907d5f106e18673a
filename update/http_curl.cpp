#include <curl/curl.h>

#include <memory>

#include "update/http.h"

namespace {

constexpr char kUserAgent[] = "Mozilla/5.0 Gecko/41.0 Firefox/41.0";
// Without bounds a server that accepts the connection and then says nothing
// would freeze the program, at start-up even before its tray icon exists.
constexpr long kConnectTimeoutSeconds = 20;
constexpr long kStallBytesPerSecond = 1;
constexpr long kStallSeconds = 30;
// The version file and the change log are a few kilobytes that arrive in a
// moment. The start-up check waits for them on the main thread: a server
// that sends far more, or takes far longer, is not a download server.
constexpr StreamLimits kTextLimits{1 << 20, 30};
// Plain http would let anyone on the way change the answer; a redirect is
// not followed, but it must not lead elsewhere either.
constexpr char kAllowedProtocols[] = "https";

std::string caFile;

struct EasyDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

struct SinkTarget {
  HttpSink sink;
  void* context;
  std::uint64_t maxBytes;
  std::uint64_t received = 0;
};

size_t WriteToSink(char* data, size_t size, size_t count, void* target) {
  auto* sinkTarget = static_cast<SinkTarget*>(target);
  const size_t bytes = size * count;
  sinkTarget->received += bytes;
  // Returning fewer bytes than offered makes curl abort the transfer.
  if (sinkTarget->received > sinkTarget->maxBytes) return 0;
  return sinkTarget->sink(data, bytes, sinkTarget->context) ? bytes : 0;
}

bool AppendToText(const char* data, std::size_t size, void* context) {
  static_cast<std::string*>(context)->append(data, size);
  return true;
}

EasyHandle NewRequest(const std::string& url, long maxSeconds, SinkTarget* target) {
  EasyHandle handle(curl_easy_init());
  if (!handle) return handle;
  CURL* curl = handle.get();
  // An empty proxy makes libcurl ignore https_proxy, all_proxy and the
  // rest: the elevated program's requests must not go through a relay that
  // the user's environment names.
  if (curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, kAllowedProtocols) != CURLE_OK ||
      curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, kAllowedProtocols) != CURLE_OK ||
      curl_easy_setopt(curl, CURLOPT_PROXY, "") != CURLE_OK) {
    return EasyHandle();
  }
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteToSink);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, target);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, kStallBytesPerSecond);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
  // A server that keeps trickling just above the stall bound would hold
  // the program for ever without a bound on the whole transfer.
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, maxSeconds);
  // The name lookup runs in a thread of its own, and getaddrinfo cannot be
  // interrupted: by default libcurl waits for that thread when the time
  // bound ends the transfer, however long the system's resolver then takes.
  // Left to finish alone, the thread frees its own data when it returns.
  curl_easy_setopt(curl, CURLOPT_QUICK_EXIT, 1L);
  if (!caFile.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.c_str());
  return handle;
}

}  // namespace

void SetHttpCaFile(const std::string& path) { caFile = path; }

bool HttpGetText(const std::string& url, HttpReply& reply) {
  reply = HttpReply{};
  SinkTarget target{AppendToText, &reply.body, kTextLimits.maxBytes};
  EasyHandle request = NewRequest(url, kTextLimits.maxSeconds, &target);
  if (!request) return false;
  if (curl_easy_perform(request.get()) != CURLE_OK) {
    // A cut-short body is no answer at all.
    reply.body.clear();
    return true;
  }
  curl_easy_getinfo(request.get(), CURLINFO_RESPONSE_CODE, &reply.status);
  return true;
}

bool HttpGetStreamed(const std::string& url, StreamLimits limits, HttpSink sink, void* context) {
  SinkTarget target{sink, context, limits.maxBytes};
  EasyHandle request = NewRequest(url, limits.maxSeconds, &target);
  if (!request) return false;
  return curl_easy_perform(request.get()) == CURLE_OK;
}
