#include <windows.h>

#include "tests/update/update_policy.h"

namespace update_test {

namespace {

constexpr char kPolicyKey[] = "SOFTWARE\\Policies\\Vantrel";

void SetText(const char* name, const std::string& value) {
  if (value.empty()) return;
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, kPolicyKey, name, REG_SZ, value.c_str(),
                  static_cast<DWORD>(value.size() + 1));
}

}  // namespace

void SetUpdatePolicy(const std::string& baseUrl, const std::string& caFile,
                     const std::string& publicKey) {
  for (const char* name : {"UpdateBaseUrl", "UpdateCaFile", "UpdatePublicKey"}) {
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kPolicyKey, name);
  }
  SetText("UpdateBaseUrl", baseUrl);
  SetText("UpdateCaFile", caFile);
  SetText("UpdatePublicKey", publicKey);
}

void RemoveUpdatePolicy() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPolicyKey); }

void AllowUnprotectedFolder() {
  const DWORD allow = 1;
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, kPolicyKey, "AllowUnprotectedFolder", REG_DWORD, &allow,
                  sizeof(allow));
}

}  // namespace update_test
