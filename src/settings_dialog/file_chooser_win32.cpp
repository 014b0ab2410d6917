#include "settings_dialog/file_chooser_win32.h"

#include <commdlg.h>

#include <vector>

#include "platform/win32/wide_text.h"

namespace qb {

std::optional<std::u16string> ChooseFileToOpen(HWND owner, const OpenFileRequest& request) {
  // One character more than the platform is told of, so the text always ends.
  std::vector<wchar_t> file(request.fileBufferSize + 1, L'\0');
  std::vector<wchar_t> fileTitle(request.fileTitleBufferSize + 1, L'\0');
  const std::wstring filter = Cp932ToWide(request.filter);  // NULs and all
  const std::wstring title = Cp932ToWide(request.title);
  const std::wstring initialFolder = Wide(request.initialFolder);
  OPENFILENAMEW record = {};
  record.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
  record.hwndOwner = owner;
  record.hInstance = ::GetModuleHandleW(nullptr);
  record.lpstrFilter = filter.c_str();
  record.nFilterIndex = 0;
  record.lpstrFile = file.data();
  record.nMaxFile = request.fileBufferSize;
  record.lpstrFileTitle = fileTitle.data();
  record.nMaxFileTitle = request.fileTitleBufferSize;
  record.lpstrInitialDir = initialFolder.c_str();
  record.lpstrTitle = title.c_str();
  // Only a file that is there can be chosen; the system says so otherwise.
  record.Flags = OFN_FILEMUSTEXIST;
  if (::GetOpenFileNameW(&record) <= 0) return std::nullopt;
  return Utf16(file.data());
}

}  // namespace qb
