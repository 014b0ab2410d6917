// The program is built without exceptions: every failure the C++ runtime
// could still report (no memory, a length past max_size, an index out of
// range caught by the library's assertions) is fatal here. The
// library's own versions of these functions throw, which drags the whole
// exception machinery, and with it the threads library, into a statically
// linked executable. These replacements end the process at once instead.
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void Fatal() { std::abort(); }

void* Allocate(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) Fatal();
  return p;
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace std {
void __throw_bad_alloc() { Fatal(); }
void __throw_bad_array_new_length() { Fatal(); }
void __throw_length_error(const char*) { Fatal(); }
void __throw_logic_error(const char*) { Fatal(); }
void __throw_out_of_range(const char*) { Fatal(); }
void __throw_out_of_range_fmt(const char*, ...) { Fatal(); }
void __throw_invalid_argument(const char*) { Fatal(); }
// A failed library assertion (an index out of range, say).
void __glibcxx_assert_fail(const char*, int, const char*, const char*) noexcept { Fatal(); }
}  // namespace std

namespace __gnu_cxx {
void __verbose_terminate_handler() { Fatal(); }
}  // namespace __gnu_cxx
