// The local HTTPS download server of the update tests (update_server.py),
// started for one test and stopped when the test lets go of it. Files put
// below Root() are served under https://localhost:PORT/.
#pragma once

#include <string>

namespace update_test {

class TestServer {
 public:
  // Starts a server of its own for the running test; `name` keeps the
  // served folders of different tests apart.
  explicit TestServer(const std::string& name);
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  bool started() const { return started_; }
  // "https://localhost:PORT" for the trusted server, and the same files
  // behind a certificate from a CA that nobody trusts.
  std::string Url() const;
  std::string StrangerUrl() const;
  // A server that accepts the connection and then sends nothing at all.
  std::string SilentUrl() const;
  // The same files over plain http.
  std::string PlainUrl() const;
  // The test CA's certificate, as the program under test names the file.
  std::string CaFile() const;
  // The test publisher's private key (a host path), the same key's public
  // half as the UpdatePublicKey policy names it, and a key nobody trusts.
  std::string SigningKey() const;
  std::string PublicKeyHex() const;
  std::string StrangerSigningKey() const;
  // The paths of the requests that reached any of the server's ports.
  std::string Requests() const;

  // Files served: `path` is relative to the root ("dl/vtrel.ver").
  void Put(const std::string& path, const std::string& bytes) const;
  // Serves "dl/vtrel.ver": the four `fields`, signed by `key` (default:
  // SigningKey()) with the release tool's signer.
  void PutVersionFile(const std::string& fields, const std::string& key = "") const;
  // Answers `path` with `status` (and a Location) instead of the file.
  void AnswerWith(const std::string& path, int status, const std::string& location = "") const;
  // Sends the headers and `bytes` of the body, then goes silent.
  void StallAfter(const std::string& path, int bytes) const;
  // Sends the headers, then one byte of the body every `milliseconds`.
  void Trickle(const std::string& path, int milliseconds) const;

 private:
  std::string ReadState(const std::string& name) const;
  bool started_ = false;
  std::string stateFolder_;  // host paths
  std::string root_;
  std::string port_;
  std::string strangerPort_;
  std::string silentPort_;
  std::string plainPort_;
};

}  // namespace update_test
