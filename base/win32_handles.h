// Owning wrappers for Win32 handles, one per kind of release call, so every
// handle is released on every path. Windows builds only.
//
// A new kind needs only a traits struct: the handle type, what counts as
// "no handle", and the call that releases it.
#pragma once

#include <windows.h>

template <typename Traits>
class UniqueResource {
 public:
  using Handle = typename Traits::Handle;

  UniqueResource() = default;
  explicit UniqueResource(Handle handle) : handle_(handle) {}
  ~UniqueResource() { Reset(); }

  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  UniqueResource(UniqueResource&& other) noexcept : handle_(other.Release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  explicit operator bool() const { return Traits::Valid(handle_); }
  Handle Get() const { return handle_; }

  // Gives up ownership without releasing.
  Handle Release() {
    Handle handle = handle_;
    handle_ = Traits::None();
    return handle;
  }

  void Reset(Handle handle = Traits::None()) {
    if (Traits::Valid(handle_)) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::None();
};

// Kernel objects released with CloseHandle: processes, threads, snapshots,
// files, events, semaphores. Win32 reports failure either as NULL
// (OpenProcess, CreateEvent) or as INVALID_HANDLE_VALUE (CreateFileW,
// CreateToolhelp32Snapshot), so both count as "no handle".
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle None() { return nullptr; }
  static bool Valid(Handle handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { CloseHandle(handle); }
};
using UniqueHandle = UniqueResource<KernelHandleTraits>;

// Libraries loaded with LoadLibraryW, released with FreeLibrary.
struct ModuleTraits {
  using Handle = HMODULE;
  static Handle None() { return nullptr; }
  static bool Valid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { FreeLibrary(handle); }
};
using UniqueModule = UniqueResource<ModuleTraits>;

// Registry keys, closed with RegCloseKey.
struct RegistryKeyTraits {
  using Handle = HKEY;
  static Handle None() { return nullptr; }
  static bool Valid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { RegCloseKey(handle); }
};
using UniqueKey = UniqueResource<RegistryKeyTraits>;

// GDI objects (brushes, fonts), released with DeleteObject.
template <typename GdiHandle>
struct GdiObjectTraits {
  using Handle = GdiHandle;
  static Handle None() { return nullptr; }
  static bool Valid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { DeleteObject(handle); }
};
using UniqueBrush = UniqueResource<GdiObjectTraits<HBRUSH>>;
using UniqueFont = UniqueResource<GdiObjectTraits<HFONT>>;
