# Compiler and linker options as interface targets: each target links the
# ones it needs, so a flag reaches exactly the code it is meant for.
#
#   qb_warnings         the warning set of our own code
#   qb_host_checks      AddressSanitizer and UBSan for the host build (QB_SANITIZE)
#   qb_windows_runtime  the lean, statically linked Windows runtime

set(qb_gnu_like "$<OR:$<CXX_COMPILER_ID:GNU>,$<CXX_COMPILER_ID:Clang>>")
set(qb_cxx "$<COMPILE_LANGUAGE:CXX>")

add_library(qb_warnings INTERFACE)
target_compile_options(qb_warnings INTERFACE
  "$<$<AND:${qb_cxx},${qb_gnu_like}>:-Wall;-Wextra;-Wshadow;-Wformat=2;-Werror>"
  "$<$<AND:${qb_cxx},$<CXX_COMPILER_ID:MSVC>>:/W4;/WX>")

add_library(qb_host_checks INTERFACE)
if(NOT WIN32)
  option(QB_SANITIZE "Build the host tests with AddressSanitizer and UBSan" ON)
  option(QB_FUZZ "Build the fuzz targets for libFuzzer (clang)" OFF)
  if(QB_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
      message(FATAL_ERROR "QB_FUZZ needs clang (use the fuzz preset)")
    endif()
    # Coverage for the fuzzer in everything, and the sanitizers it reports.
    target_compile_options(qb_host_checks INTERFACE
      -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(qb_host_checks INTERFACE -fsanitize=address,undefined)
  elseif(QB_SANITIZE AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    set(qb_sanitizers -fsanitize=address,undefined)
    target_compile_options(qb_host_checks INTERFACE
      ${qb_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(qb_host_checks INTERFACE ${qb_sanitizers})
  endif()
endif()

add_library(qb_windows_runtime INTERFACE)
if(WIN32)
  target_compile_definitions(qb_windows_runtime INTERFACE
    _WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX WIN32_LEAN_AND_MEAN UNICODE _UNICODE)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    # No exceptions, RTTI or thread-safe statics: the program has one thread
    # and replaces the library's throwing paths (lean_runtime.cpp), which
    # keeps the unwinder and winpthread out of the static executable.
    # _GLIBCXX_ASSERTIONS turns library misuse into an abort instead of
    # silent corruption.
    target_compile_definitions(qb_windows_runtime INTERFACE _GLIBCXX_ASSERTIONS)
    target_compile_options(qb_windows_runtime INTERFACE
      "$<${qb_cxx}:-fno-exceptions;-fno-rtti;-fno-threadsafe-statics>"
      -ffunction-sections -fdata-sections)
    target_link_options(qb_windows_runtime INTERFACE
      -static -Wl,--gc-sections "$<$<CONFIG:Release,MinSizeRel>:-s>")
    # Programs that two builds of one commit make alike, byte for byte:
    # the PE time stamp (and the checksum over it) is SOURCE_DATE_EPOCH, as
    # configured (scripts/package gives the commit's time), or else zero.
    if(DEFINED ENV{SOURCE_DATE_EPOCH})
      set(qb_stamp ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=$ENV{SOURCE_DATE_EPOCH})
      set(CMAKE_C_LINKER_LAUNCHER ${qb_stamp})
      set(CMAKE_CXX_LINKER_LAUNCHER ${qb_stamp})
    else()
      target_link_options(qb_windows_runtime INTERFACE -Wl,--no-insert-timestamp)
    endif()
  endif()
endif()
