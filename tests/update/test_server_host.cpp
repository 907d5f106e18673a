#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/update/test_server_paths.h"

namespace update_test {

int RunHostCommand(const std::vector<std::string>& argv) {
  std::vector<char*> arguments;
  for (const std::string& argument : argv) arguments.push_back(const_cast<char*>(argument.c_str()));
  arguments.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    execv(arguments[0], arguments.data());
    _exit(127);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string HostToLocalPath(const std::string& path) { return path; }

void SetEnvironment(const std::string& name, const std::string& value) {
  setenv(name.c_str(), value.c_str(), 1);
}

std::string UniqueSuffix() { return std::to_string(getpid()); }

}  // namespace update_test
