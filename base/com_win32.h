// Owning wrappers for COM interface pointers and BSTRs, so every reference
// is given back on every path. Windows builds only.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "base/win32_handles.h"

template <typename Interface>
struct ComInterfaceTraits {
  using Handle = Interface*;
  static Handle None() { return nullptr; }
  static bool Valid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { handle->Release(); }
};
template <typename Interface>
using ComRef = UniqueResource<ComInterfaceTraits<Interface>>;

struct BstrTraits {
  using Handle = BSTR;
  static Handle None() { return nullptr; }
  static bool Valid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { SysFreeString(handle); }
};
using UniqueBstr = UniqueResource<BstrTraits>;

// COM on the calling thread for one scope, in its own apartment.
class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  bool Ready() const { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
};
