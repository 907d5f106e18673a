// Who may change the program's folder. The program runs elevated, so
// whoever can replace its files there can run code as administrator.
#pragma once

#include <string>

// Whether the folder's access list lets Users, Authenticated Users or
// Everyone write into it or delete from it (or has no list at all, which
// lets everyone do everything). False when the list cannot be read.
bool OrdinaryUsersCanChangeFolder(const std::wstring& folder);
