// The command line: argument string, mode letter, preview handle.
#include <cstdint>
#include <string>

#include "check.h"
#include "platform/cp932.h"
#include "platform/program_paths.h"
#include "reference_numbers.h"
#include "startup/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  const std::string commandLine(reinterpret_cast<const char*>(data), size);

  const std::string args = qb::ArgumentString(commandLine);
  QB_FUZZ_CHECK(args.size() <= commandLine.size());
  QB_FUZZ_CHECK(commandLine.compare(commandLine.size() - args.size(), args.size(), args) == 0);
  QB_FUZZ_CHECK(args.empty() || (args[0] != ' ' && args[0] != '\t'));

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
