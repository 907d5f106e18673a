#include "tests/update/test_server.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "tests/update/test_server_paths.h"

namespace update_test {

namespace {

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(HostToLocalPath(path), std::ios::binary) << bytes;
}

}  // namespace

TestServer::TestServer(const std::string& name) {
  stateFolder_ = std::string(kServerWorkFolder) + "/" + name + "-" + UniqueSuffix();
  root_ = stateFolder_ + "/root";
  const std::vector<std::string> command = {
      "/bin/sh",    kServerScript, "start", std::string(kServerWorkFolder) + "/certificates",
      stateFolder_, root_};
  started_ = RunHostCommand(command) == 0;
  if (!started_) return;
  port_ = ReadState("port");
  strangerPort_ = ReadState("stranger-port");
  silentPort_ = ReadState("silent-port");
  plainPort_ = ReadState("plain-port");
}

TestServer::~TestServer() {
  if (started_) RunHostCommand({"/bin/sh", kServerScript, "stop", stateFolder_});
}

std::string TestServer::ReadState(const std::string& name) const {
  std::ifstream file(HostToLocalPath(stateFolder_ + "/" + name));
  std::string text;
  std::getline(file, text);
  return text;
}

std::string TestServer::Url() const { return "https://localhost:" + port_; }
std::string TestServer::StrangerUrl() const { return "https://localhost:" + strangerPort_; }
std::string TestServer::SilentUrl() const { return "https://localhost:" + silentPort_; }

std::string TestServer::PlainUrl() const { return "http://localhost:" + plainPort_; }

std::string TestServer::Requests() const {
  std::ifstream file(HostToLocalPath(stateFolder_ + "/requests"), std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string TestServer::CaFile() const {
  return HostToLocalPath(std::string(kServerWorkFolder) + "/certificates/ca.pem");
}

void TestServer::Put(const std::string& path, const std::string& bytes) const {
  const std::string full = root_ + "/" + path;
  RunHostCommand({"/bin/mkdir", "-p", full.substr(0, full.find_last_of('/'))});
  WriteFile(full, bytes);
}

std::string TestServer::SigningKey() const {
  return std::string(kServerWorkFolder) + "/certificates/signing-key.pem";
}

std::string TestServer::StrangerSigningKey() const {
  return std::string(kServerWorkFolder) + "/certificates/stranger-signing-key.pem";
}

std::string TestServer::PublicKeyHex() const {
  std::ifstream file(
      HostToLocalPath(std::string(kServerWorkFolder) + "/certificates/signing-key.hex"));
  std::string text;
  std::getline(file, text);
  return text;
}

void TestServer::PutVersionFile(const std::string& fields, const std::string& key) const {
  Put("dl/vtrel.ver", fields);
  RunHostCommand(
      {"/usr/bin/python3", kSignScript, key.empty() ? SigningKey() : key, root_ + "/dl/vtrel.ver"});
}

void TestServer::AnswerWith(const std::string& path, int status,
                            const std::string& location) const {
  Put(path + ".status", std::to_string(status) + (location.empty() ? "" : " " + location));
}

void TestServer::StallAfter(const std::string& path, int bytes) const {
  Put(path + ".stall", std::to_string(bytes));
}

void TestServer::Trickle(const std::string& path, int milliseconds) const {
  Put(path + ".trickle", std::to_string(milliseconds));
}

}  // namespace update_test
