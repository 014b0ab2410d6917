// Reads back the resources of a program file, as Explorer and the display
// settings would, and prints them as key=value lines: the icon group's
// images, string 1, the version block, the manifest, the preview still.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "report.h"
#include "resources/resource_ids.h"

namespace {

// The resource types by number: the RT_ names follow the wide build.
const LPCSTR kBitmapType = MAKEINTRESOURCEA(2);
const LPCSTR kGroupIconType = MAKEINTRESOURCEA(14);

#pragma pack(push, 2)
struct IconDirEntry {
  BYTE width;
  BYTE height;
  BYTE colorCount;
  BYTE reserved;
  WORD planes;
  WORD bitCount;
  DWORD bytesInRes;
  WORD id;
};
struct IconDir {
  WORD reserved;
  WORD type;
  WORD count;
  IconDirEntry entries[1];
};
#pragma pack(pop)


const void* ResourceData(HMODULE module, LPCSTR name, LPCSTR type, DWORD* size) {
  HRSRC info = ::FindResourceA(module, name, type);
  if (!info) return nullptr;
  HGLOBAL data = ::LoadResource(module, info);
  if (size) *size = ::SizeofResource(module, info);
  return data ? ::LockResource(data) : nullptr;
}

std::string Version(DWORD ms, DWORD ls) {
  return std::to_string(HIWORD(ms)) + "." + std::to_string(LOWORD(ms)) + "." +
         std::to_string(HIWORD(ls)) + "." + std::to_string(LOWORD(ls));
}

void ReportVersion(const char* file) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeA(file, &ignored);
  std::string block(size, '\0');
  if (!size || !::GetFileVersionInfoA(file, 0, size, &block[0])) {
    Print("version_block", 0);
    return;
  }
  Print("version_block", 1);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
    Print("file_version", Version(fixed->dwFileVersionMS, fixed->dwFileVersionLS));
    Print("product_version", Version(fixed->dwProductVersionMS, fixed->dwProductVersionLS));
  }
  const WORD* translation = nullptr;
  if (::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                       reinterpret_cast<void**>(const_cast<WORD**>(&translation)), &length) &&
      translation && length >= 4) {
    char text[32];
    std::snprintf(text, sizeof(text), "%04x,%u", translation[0], translation[1]);
    Print("translation", text);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: resource_probe FILE\n");
    return 64;
  }
  HMODULE module = ::LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) {
    Print("error", "cannot load " + std::string(argv[1]));
    return 3;
  }

  DWORD size = 0;
  const auto* icons = static_cast<const IconDir*>(ResourceData(module, MAKEINTRESOURCEA(1), kGroupIconType, &size));
  Print("icon_group", icons ? 1 : 0);
  if (icons) {
    Print("icon_count", icons->count);
    for (WORD i = 0; i < icons->count && i < 8; ++i) {
      const IconDirEntry& e = icons->entries[i];
      const std::string key = "icon_" + std::to_string(i);
      Print(key.c_str(), std::to_string(e.width ? e.width : 256) + "x" +
                             std::to_string(e.height ? e.height : 256) + "x" +
                             std::to_string(e.bitCount));
    }
  }

  char text[256] = {};
  const int length = ::LoadStringA(module, 1, text, sizeof(text));
  Print("string_1", length > 0 ? text : "");

  const char* manifest = static_cast<const char*>(
      ResourceData(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24), &size));
  Print("manifest_bytes", manifest ? size : 0);

  const auto* still = static_cast<const BITMAPINFOHEADER*>(
      ResourceData(module, MAKEINTRESOURCEA(IDB_PREVIEW_STILL), kBitmapType, &size));
  Print("still_bytes", still ? size : 0);
  if (still) {
    Print("still_size", std::to_string(still->biWidth) + "x" + std::to_string(still->biHeight) +
                            "x" + std::to_string(still->biBitCount));
  }
  ::FreeLibrary(module);

  ReportVersion(argv[1]);
  return 0;
}
