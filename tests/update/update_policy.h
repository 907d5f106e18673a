// The administrator's update policy in the test prefix's registry: which
// server the program asks and which CA it trusts. Tests that set it run one
// at a time, as the prefix has one registry.
#pragma once

#include <string>

namespace update_test {

// Writes UpdateBaseUrl, UpdateCaFile and UpdatePublicKey (each only when not
// empty) as REG_SZ values below HKLM\SOFTWARE\Policies\Vantrel, after
// removing those an earlier test left there.
void SetUpdatePolicy(const std::string& baseUrl, const std::string& caFile,
                     const std::string& publicKey = "");
// Removes the whole key, the folder policy too.
void RemoveUpdatePolicy();

// AllowUnprotectedFolder = 1 (a DWORD) in the same key: every folder under
// Wine is the user's own, and without it the program neither updates nor
// creates its log-on task.
void AllowUnprotectedFolder();

}  // namespace update_test
