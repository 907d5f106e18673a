// How the test server's helper reaches the Linux side: natively on the
// host, through Wine's Unix calls in Wine tests (one implementation each).
#pragma once

#include <string>
#include <vector>

#include "update_test_paths.h"  // generated: kServerScript, kServerWorkFolder

namespace update_test {

// Runs a Linux program and waits for it; its exit status, -1 if it could
// not run.
int RunHostCommand(const std::vector<std::string>& argv);

// A Linux path as the test's own file functions open it.
std::string HostToLocalPath(const std::string& path);

// Sets a variable of the test's own environment, which the code under test
// and the programs it starts read.
void SetEnvironment(const std::string& name, const std::string& value);

// Different for every test process.
std::string UniqueSuffix();

}  // namespace update_test
