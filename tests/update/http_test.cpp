// The HTTP layer against a local HTTPS server: the same cases run natively
// (OpenSSL) and under Wine (Schannel).
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "tests/update/test_server.h"
#include "tests/update/test_server_paths.h"
#include "update/http.h"

namespace {

using update_test::TestServer;

constexpr StreamLimits kUnbounded{~0ull, 0};

bool AppendTo(const char* data, std::size_t size, void* context) {
  static_cast<std::string*>(context)->append(data, size);
  return true;
}

class Http : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.started());
    SetHttpCaFile(server.CaFile());
  }
  TestServer server{"http"};
};

TEST_F(Http, TextComesBackWithItsStatus) {
  server.Put("dl/vtrel.ver", "Vantrel 2|2030.1.2.3|v.zip|abc");
  HttpReply reply;
  ASSERT_TRUE(HttpGetText(server.Url() + "/dl/vtrel.ver", reply));
  EXPECT_EQ(reply.status, 200);
  EXPECT_EQ(reply.body, "Vantrel 2|2030.1.2.3|v.zip|abc");
}

TEST_F(Http, MissingFileIsA404WithItsPage) {
  HttpReply reply;
  ASSERT_TRUE(HttpGetText(server.Url() + "/dl/none", reply));
  EXPECT_EQ(reply.status, 404);
  EXPECT_NE(reply.body.find("404"), std::string::npos);
}

TEST_F(Http, RedirectsAreNotFollowed) {
  server.Put("dl/target.ver", "followed");
  for (int status : {301, 302}) {
    server.AnswerWith("dl/vtrel.ver", status, server.Url() + "/dl/target.ver");
    HttpReply reply;
    ASSERT_TRUE(HttpGetText(server.Url() + "/dl/vtrel.ver", reply));
    EXPECT_EQ(reply.status, status);
    EXPECT_NE(reply.body, "followed");
  }
}

TEST_F(Http, CertificateFromAnotherCaIsRefused) {
  server.Put("dl/vtrel.ver", "secret");
  HttpReply reply;
  ASSERT_TRUE(HttpGetText(server.StrangerUrl() + "/dl/vtrel.ver", reply));
  EXPECT_EQ(reply.status, 0);
  EXPECT_EQ(reply.body, "");
  std::string streamed;
  EXPECT_FALSE(
      HttpGetStreamed(server.StrangerUrl() + "/dl/vtrel.ver", kUnbounded, AppendTo, &streamed));
  EXPECT_EQ(streamed, "");
}

// Refused before any connection is made: nothing reaches the server.
TEST_F(Http, PlainHttpIsRefused) {
  server.Put("dl/vtrel.ver", "plain");
  HttpReply reply;
  ASSERT_TRUE(HttpGetText(server.PlainUrl() + "/dl/vtrel.ver", reply));
  EXPECT_EQ(reply.status, 0);
  std::string streamed;
  EXPECT_FALSE(
      HttpGetStreamed(server.PlainUrl() + "/dl/vtrel.ver", kUnbounded, AppendTo, &streamed));
  EXPECT_EQ(server.Requests(), "");
}

TEST_F(Http, NoServerGivesStatusZero) {
  // The server's own port once it is stopped is free; port 1 never listens.
  HttpReply reply;
  ASSERT_TRUE(HttpGetText("https://localhost:1/dl/vtrel.ver", reply));
  EXPECT_EQ(reply.status, 0);
  std::string streamed;
  EXPECT_FALSE(
      HttpGetStreamed("https://localhost:1/dl/update.zip", kUnbounded, AppendTo, &streamed));
}

TEST_F(Http, LargeBodyStreamsByteForByte) {
  std::string archive(2 << 20, '\0');
  for (size_t i = 0; i < archive.size(); ++i) archive[i] = static_cast<char>((i * 7919) >> 5);
  server.Put("dl/update.zip", archive);
  std::string streamed;
  ASSERT_TRUE(HttpGetStreamed(server.Url() + "/dl/update.zip", kUnbounded, AppendTo, &streamed));
  EXPECT_TRUE(streamed == archive);
}

TEST_F(Http, ErrorPageStillCountsAsATransfer) {
  std::string streamed;
  EXPECT_TRUE(HttpGetStreamed(server.Url() + "/dl/missing.zip", kUnbounded, AppendTo, &streamed));
  EXPECT_NE(streamed.find("404"), std::string::npos);
}

TEST_F(Http, SinkCanStopTheTransfer) {
  server.Put("dl/update.zip", std::string(100000, 'x'));
  auto refuse = [](const char*, std::size_t, void*) { return false; };
  EXPECT_FALSE(HttpGetStreamed(server.Url() + "/dl/update.zip", kUnbounded, refuse, nullptr));
}

TEST_F(Http, StreamedTransferIsCutAtItsLimits) {
  server.Put("dl/update.zip", std::string(300000, 'z'));
  std::string streamed;
  EXPECT_FALSE(HttpGetStreamed(server.Url() + "/dl/update.zip", {200000, 0}, AppendTo, &streamed));
  EXPECT_LE(streamed.size(), 200000u);
  streamed.clear();
  EXPECT_TRUE(HttpGetStreamed(server.Url() + "/dl/update.zip", {300000, 0}, AppendTo, &streamed));
  // A transfer that would stall for the 30 s stall bound ends at its own
  // time bound.
  server.StallAfter("dl/update.zip", 100);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(HttpGetStreamed(server.Url() + "/dl/update.zip", {~0ull, 3}, AppendTo, &streamed));
  EXPECT_LE(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

// A server that sends part of its answer and then nothing: the transfer is
// given up after the stall bound (30 s below 1 byte/s), not waited on for
// ever. Streamed, without a time bound of its own: a text request's 30 s in
// all would end it just as soon and hide a missing stall bound.
TEST_F(Http, StalledTransferEndsWithinTheBound) {
  server.Put("dl/update.zip", std::string(5000, 'z'));
  server.StallAfter("dl/update.zip", 100);
  const auto start = std::chrono::steady_clock::now();
  std::string streamed;
  EXPECT_FALSE(HttpGetStreamed(server.Url() + "/dl/update.zip", kUnbounded, AppendTo, &streamed));
  const auto seconds =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
          .count();
  EXPECT_GE(seconds, 29);
  EXPECT_LE(seconds, 45);
}

// Two bytes a second never trip the stall bound; the version file or change
// log that takes longer than 30 s in all is given up all the same, as a
// network failure, rather than holding the start-up check for the 50 s the
// whole body would take.
TEST_F(Http, TricklingTextEndsAtItsTimeBound) {
  server.Put("dl/vtrel.ver", std::string(100, 'v'));
  server.Trickle("dl/vtrel.ver", 500);
  const auto start = std::chrono::steady_clock::now();
  HttpReply reply;
  ASSERT_TRUE(HttpGetText(server.Url() + "/dl/vtrel.ver", reply));
  const auto seconds =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
          .count();
  EXPECT_EQ(reply.status, 0);
  EXPECT_EQ(reply.body, "");
  EXPECT_GE(seconds, 29);
  EXPECT_LE(seconds, 40);
}

// The version file and the change log are small: a body of up to 1 MiB
// comes back whole, a larger one is no answer at all.
TEST_F(Http, TextAboveOneMebibyteIsANetworkFailure) {
  server.Put("dl/change.log", std::string(1 << 20, 'c'));
  HttpReply reply;
  ASSERT_TRUE(HttpGetText(server.Url() + "/dl/change.log", reply));
  EXPECT_EQ(reply.status, 200);
  EXPECT_EQ(reply.body.size(), 1u << 20);
  server.Put("dl/change.log", std::string((1 << 20) + 1, 'c'));
  ASSERT_TRUE(HttpGetText(server.Url() + "/dl/change.log", reply));
  EXPECT_EQ(reply.status, 0);
  EXPECT_EQ(reply.body, "");
}

// The elevated program must not let the user's environment choose a relay
// for its requests. Port 1 never listens: a request sent through it would
// fail.
TEST_F(Http, ProxyVariablesOfTheEnvironmentAreIgnored) {
  server.Put("dl/vtrel.ver", "direct");
  update_test::SetEnvironment("NO_PROXY", "");
  update_test::SetEnvironment("no_proxy", "");
  for (const char* variable : {"HTTPS_PROXY", "ALL_PROXY"}) {
    update_test::SetEnvironment(variable, "http://127.0.0.1:1");
    HttpReply reply;
    ASSERT_TRUE(HttpGetText(server.Url() + "/dl/vtrel.ver", reply));
    EXPECT_EQ(reply.status, 200) << variable;
    EXPECT_EQ(reply.body, "direct") << variable;
    std::string streamed;
    EXPECT_TRUE(HttpGetStreamed(server.Url() + "/dl/vtrel.ver", kUnbounded, AppendTo, &streamed))
        << variable;
    update_test::SetEnvironment(variable, "");
  }
}

// A server that accepts the connection and then stays silent, before any
// TLS handshake: the connection bound (20 s) gives up on it. Streamed, with
// a time bound far beyond it: a text request's 30 s in all would end it
// nearly as soon and hide a missing connection bound.
TEST_F(Http, SilentServerEndsWithinTheConnectionBound) {
  const auto start = std::chrono::steady_clock::now();
  std::string streamed;
  EXPECT_FALSE(
      HttpGetStreamed(server.SilentUrl() + "/dl/update.zip", {~0ull, 60}, AppendTo, &streamed));
  const auto seconds =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
          .count();
  EXPECT_EQ(streamed, "");
  EXPECT_GE(seconds, 19);
  EXPECT_LE(seconds, 35);
}

}  // namespace
