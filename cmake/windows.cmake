# Targets of the Windows build: Quillbright.scr, statically linked, needing
# nothing beyond the system's own DLLs; 32-bit or 64-bit by the toolchain.

# The manifests name the architecture they are built for: a 64-bit program
# whose manifest says x86 cannot load its side-by-side assemblies.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(QB_MANIFEST_ARCH amd64)
else()
  set(QB_MANIFEST_ARCH x86)
endif()
set(QB_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)

# Writes SOURCE (a manifest template) into the generated folder as NAME.
function(qb_manifest source name)
  configure_file(${source} ${QB_GENERATED_DIR}/${name} @ONLY)
endfunction()

# The build does not see the files a resource script names (icons,
# manifests); RC_SOURCE is compiled again whenever one of them changes.
function(qb_resource_files rc_source)
  set_source_files_properties(${rc_source} PROPERTIES OBJECT_DEPENDS "${ARGN}")
endfunction()

# Every program we ship replaces the C++ library's throwing paths; without
# this the unwinder and winpthread come into the static executable.
add_library(qb_lean_runtime OBJECT src/platform/win32/lean_runtime.cpp)
target_link_libraries(qb_lean_runtime PRIVATE qb_warnings qb_windows_runtime)

# winmm and msimg32 from System32 only, resolved at run time (both programs;
# nothing links their import libraries).
add_library(qb_system_dlls STATIC src/platform/win32/system_dlls.cpp)
target_include_directories(qb_system_dlls PUBLIC src)
target_link_libraries(qb_system_dlls PUBLIC qb_windows_runtime PRIVATE qb_warnings)

# Window dpi, frames and pictures drawn for it (the dialog and the button).
add_library(qb_dpi STATIC src/platform/win32/dpi.cpp)
target_link_libraries(qb_dpi PUBLIC qb_core qb_system_dlls PRIVATE qb_warnings)

# The Windows side of the ports; the integration tests' probes link it too.
add_library(qb_win32 STATIC src/platform/win32/system_ports.cpp src/platform/win32/music_share.cpp)
target_link_libraries(qb_win32 PUBLIC qb_core qb_system_dlls shell32 PRIVATE qb_warnings)

# The skinned button's window side; its Wine test host links it too.
add_library(qb_command STATIC src/controls/command/command_win32.cpp)
target_link_libraries(qb_command PUBLIC qb_core qb_dpi PRIVATE qb_warnings)
set(QB_COMMAND_PICTURES)
foreach(state normal highlight pressed selected highlightselect disable)
  list(APPEND QB_COMMAND_PICTURES ${CMAKE_SOURCE_DIR}/src/resources/command_${state}.bmp
    ${CMAKE_SOURCE_DIR}/src/resources/command_${state}_2x.bmp)
endforeach()

# The settings dialog's pictures (tools/make_dialog_pictures.py).
set(QB_DIALOG_PICTURES)
foreach(picture dialog_texture.bmp dialog_mark_off.bmp dialog_mark_on.bmp dialog_mark_off_2x.bmp
                dialog_mark_on_2x.bmp dialog_link.cur)
  list(APPEND QB_DIALOG_PICTURES ${CMAKE_SOURCE_DIR}/src/resources/${picture})
endforeach()

qb_manifest(${CMAKE_SOURCE_DIR}/src/resources/quillbright.manifest.in quillbright.manifest)
add_executable(Quillbright WIN32
  src/app/main_win32.cpp
  src/preview/preview_win32.cpp
  src/settings_dialog/zoom_win32.cpp
  src/settings_dialog/dialog_drawing_win32.cpp
  src/settings_dialog/panel_win32.cpp
  src/settings_dialog/file_chooser_win32.cpp
  src/settings_dialog/repeat_box_win32.cpp
  src/settings_dialog/settings_dialog_win32.cpp
  src/saver/saver_window.cpp
  src/resources/quillbright.rc
)
qb_resource_files(src/resources/quillbright.rc
  ${QB_GENERATED_DIR}/quillbright.manifest ${CMAKE_SOURCE_DIR}/src/resources/quillbright.ico
  ${CMAKE_SOURCE_DIR}/src/resources/preview_still.bmp ${CMAKE_SOURCE_DIR}/src/resources/resource_ids.h
  ${CMAKE_SOURCE_DIR}/src/resources/version.h
  ${QB_COMMAND_PICTURES} ${QB_DIALOG_PICTURES})
set_target_properties(Quillbright PROPERTIES SUFFIX ".scr")
# windres looks for the manifest named in the .rc along the include path.
target_include_directories(Quillbright PRIVATE ${QB_GENERATED_DIR})
target_link_libraries(Quillbright PRIVATE qb_win32 qb_command qb_dpi qb_lean_runtime qb_warnings
  comdlg32 shell32)
