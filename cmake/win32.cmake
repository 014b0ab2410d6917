# Flags and targets of the Windows build: a statically linked 32-bit GUI
# program that needs nothing beyond the system's own DLLs.
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX WIN32_LEAN_AND_MEAN _GLIBCXX_ASSERTIONS)
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions> $<$<COMPILE_LANGUAGE:CXX>:-fno-rtti>
                    $<$<COMPILE_LANGUAGE:CXX>:-fno-threadsafe-statics>
                    -ffunction-sections -fdata-sections)
add_link_options(-static -Wl,--gc-sections -s)

# qb_core was declared before these flags applied to it.
target_compile_options(qb_core PRIVATE -fno-exceptions -fno-rtti -ffunction-sections -fdata-sections)

# The Windows side of the ports; the integration tests' probes link it too.
add_library(qb_win32 STATIC src/platform/win32/system_ports.cpp)
target_link_libraries(qb_win32 PUBLIC qb_core winmm)
target_compile_options(qb_win32 PRIVATE ${QB_WARNINGS})

add_executable(Quillbright WIN32
  src/startup/main_win32.cpp
  src/startup/preview_win32.cpp
  src/settings_dialog/settings_dialog_win32.cpp
  src/saver/saver_window.cpp
  src/platform/win32/lean_runtime.cpp
  src/resources/quillbright.rc
)
set_target_properties(Quillbright PROPERTIES SUFFIX ".scr")
target_compile_options(Quillbright PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${QB_WARNINGS}>)
target_link_libraries(Quillbright PRIVATE qb_win32)
