// The updater is carried inside Vantrel.exe and must stay small. It cannot
// report a failure to anyone, so it has no use for the C++ library's
// exception and diagnostics machinery: the few places where the library
// would throw (an allocation or a string that cannot grow) end the updater
// instead, and Vantrel.exe's next start cleans up.
#include <windows.h>

#include <cstddef>
#include <cstdlib>
#include <new>

namespace {
[[noreturn]] void Fail() { ExitProcess(3); }
}  // namespace

// Replacing the global allocation functions is allowed; these end the
// updater where the library's would throw.
void* operator new(std::size_t size) {
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  Fail();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

namespace std {
void __throw_bad_alloc() { Fail(); }
void __throw_bad_array_new_length() { Fail(); }
void __throw_length_error(const char*) { Fail(); }
void __throw_logic_error(const char*) { Fail(); }
void __throw_out_of_range(const char*) { Fail(); }
void __throw_out_of_range_fmt(const char*, ...) { Fail(); }
void __throw_invalid_argument(const char*) { Fail(); }
}  // namespace std

namespace __gnu_cxx {
void __verbose_terminate_handler() { Fail(); }
}  // namespace __gnu_cxx
