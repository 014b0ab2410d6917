// The program is built without exceptions, so the only way the C++ runtime
// can fail is a fatal one (out of memory). The library's own terminate
// handler prints a demangled type name and drags the whole demangler into a
// statically linked executable; ending the process at once is all we need.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
