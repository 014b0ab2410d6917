// The command line: argument string, mode letter, preview handle.
#include <cstdint>
#include <string>

#include "check.h"
#include "platform/cp932.h"
#include "platform/program_paths.h"
#include "reference_numbers.h"
#include "app/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  // The command line as the system gives it, UTF-16; the arguments after
  // the program's name, as the program reads them, in code page 932.
  std::u16string commandLine;
  for (size_t i = 0; i + 1 < size; i += 2) commandLine += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  const std::u16string wideArgs = qb::ArgumentString(commandLine);
  QB_FUZZ_CHECK(wideArgs.size() <= commandLine.size());
  QB_FUZZ_CHECK(commandLine.compare(commandLine.size() - wideArgs.size(), wideArgs.size(), wideArgs) == 0);
  QB_FUZZ_CHECK(wideArgs.empty() || (wideArgs[0] != u' ' && wideArgs[0] != u'\t'));

  const std::string args(reinterpret_cast<const char*>(data), size);

  const std::string mode = qb::ModeLetter(args);
  QB_FUZZ_CHECK(mode.size() <= 2);
  QB_FUZZ_CHECK(mode == qb::AsciiUpper(qb::Cp932CharAt(args, 1)));

  const int32_t handle = qb::PreviewHostHandle(args);
  QB_FUZZ_CHECK(handle == qb::ParseLeadingNumber(qb::Cp932Tail(args, 3)));
  if (const auto expected = qb::fuzz::ReferenceLeadingNumber(qb::Cp932Tail(args, 3))) {
    QB_FUZZ_CHECK(handle == *expected);
  }
  return 0;
}
