// A name lookup that hangs, on the host: libcurl resolves in a thread of
// its own, and the time bound of a request must hold while that thread
// still waits for the system's resolver. Windows' resolver can wait on
// unanswered DNS servers for many seconds before it gives up.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <netdb.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include "update/http.h"

namespace {

constexpr char kHangingName[] = "hanging-lookup.invalid";
constexpr unsigned kLookupSeconds = 15;

bool Ignore(const char*, std::size_t, void*) { return true; }

}  // namespace

// Defined in the test program, this one comes before the C library's for
// libcurl's lookups too.
extern "C" int getaddrinfo(const char* node, const char* service, const struct addrinfo* hints,
                           struct addrinfo** result) {
  if (node != nullptr && std::strcmp(node, kHangingName) == 0) {
    sleep(kLookupSeconds);
    return EAI_NONAME;
  }
  using Lookup = int (*)(const char*, const char*, const struct addrinfo*, struct addrinfo**);
  static const auto system = reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "getaddrinfo"));
  return system(node, service, hints, result);
}

TEST(HttpResolver, HangingLookupEndsAtTheTimeBound) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(HttpGetStreamed(std::string("https://") + kHangingName + "/dl/update.zip",
                               {~0ull, 3}, Ignore, nullptr));
  EXPECT_LE(std::chrono::steady_clock::now() - start, std::chrono::seconds(kLookupSeconds - 5));
}
