#include <windows.h>
#include <oleauto.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "platform/win32/win32_shell.h"

#include "platform/win32/exact_ansi.h"

namespace tw {
namespace {

const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

std::wstring Wide(const std::string& text) {
  int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(n > 0 ? static_cast<size_t>(n) : 1, L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
  wide.resize(wide.size() - 1);
  return wide;
}

DISPID DispatchId(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return DISPID_UNKNOWN;
  return id;
}

bool PutProperty(IDispatch* object, const wchar_t* name, VARIANT value) {
  DISPID id = DispatchId(object, name);
  if (id == DISPID_UNKNOWN) return false;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &named, 1, 1};
  return SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                                  nullptr, nullptr));
}

bool PutLong(IDispatch* object, const wchar_t* name, long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return PutProperty(object, name, v);
}

bool PutBool(IDispatch* object, const wchar_t* name, bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return PutProperty(object, name, v);
}

bool Navigate(IDispatch* object, const std::string& address) {
  DISPID id = DispatchId(object, L"Navigate");
  if (id == DISPID_UNKNOWN) return false;
  VARIANT url;
  VariantInit(&url);
  url.vt = VT_BSTR;
  url.bstrVal = SysAllocString(Wide(address).c_str());
  DISPPARAMS params{&url, nullptr, 1, 0};
  HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  VariantClear(&url);
  return SUCCEEDED(hr);
}

}  // namespace

bool Win32Shell::Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                         const std::string& directory, int showCommand) {
  HINSTANCE result = ShellExecuteA(nullptr, OrNull(verb), file.c_str(), OrNull(parameters), OrNull(directory),
                                   showCommand);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

bool Win32Shell::OpenInBrowserObject(const std::string& address, int left, int top, int width, int height) {
  HRESULT init = CoInitialize(nullptr);
  bool opened = false;
  CLSID clsid;
  IDispatch* browser = nullptr;
  if (SUCCEEDED(CLSIDFromProgID(L"InternetExplorer.Application", &clsid)) &&
      SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER, IID_IDispatch,
                                 reinterpret_cast<void**>(&browser)))) {
    PutLong(browser, L"Left", left);
    PutLong(browser, L"Top", top);
    PutLong(browser, L"Width", width);
    PutLong(browser, L"Height", height);
    PutBool(browser, L"Visible", true);
    opened = Navigate(browser, address);
    browser->Release();
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return opened;
}

Win32Shell::~Win32Shell() {
  if (comStarted_) CoUninitialize();
}

bool Win32Shell::ResolveShortcut(const std::string& linkFile, std::string* target) {
  if (!comTried_) {
    comTried_ = true;
    comStarted_ = SUCCEEDED(CoInitialize(nullptr));
  }
  // A fresh link object per file: one that failed to load must not answer with the previous file's target.
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))))
    return false;
  bool resolved = false;
  IPersistFile* persist = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
    const std::wstring wide = Wide(linkFile);
    if (!wide.empty() && SUCCEEDED(persist->Load(wide.c_str(), STGM_READ))) {
      wchar_t path[MAX_PATH + 1] = {};
      WIN32_FIND_DATAW found{};
      const HRESULT hr = link->GetPath(path, MAX_PATH, &found, SLGP_UNCPRIORITY);
      std::string ansi;
      // A target without an exact ANSI form cannot be looked for: the shortcut is left alone.
      if (SUCCEEDED(hr) && (hr != S_OK || ExactAnsi(path, wcsnlen(path, MAX_PATH), &ansi))) {
        *target = ansi;
        resolved = true;
      }
    }
    persist->Release();
  }
  link->Release();
  return resolved;
}

bool Win32Shell::RecycleFiles(const std::vector<std::string>& paths) {
  if (paths.empty()) return true;
  // The shell takes a list of names, each ended by a NUL, the list by a second NUL.
  std::string from;
  for (const std::string& path : paths) {
    if (path.empty()) continue;
    from += path;
    from += '\0';
  }
  if (from.empty()) return true;
  from += '\0';
  SHFILEOPSTRUCTA op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
  return SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted;
}

bool Win32Shell::ItemInfo(const std::string& path, ShellItemInfo* info) {
  SHFILEINFOA shell{};
  if (!SHGetFileInfoA(path.c_str(), 0, &shell, sizeof shell, SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
    return false;
  info->displayName = shell.szDisplayName;
  info->iconIndex = shell.iIcon;
  return true;
}

bool Win32Shell::BrowseForFolder(const std::string& title, std::string* folder) {
  if (!comTried_) {
    comTried_ = true;
    comStarted_ = SUCCEEDED(CoInitialize(nullptr));
  }
  BROWSEINFOA browse{};
  browse.hwndOwner = GetActiveWindow();
  browse.lpszTitle = title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
  if (!chosen) return false;
  char path[MAX_PATH] = {};
  const bool ok = SHGetPathFromIDListA(chosen, path) && path[0];
  CoTaskMemFree(chosen);
  if (ok) *folder = path;
  return ok;
}

bool Win32Shell::FileOperation(ShellFileOp op, const std::string& from, const std::string& to, uint32_t flags) {
  // The shell takes lists of names, each ended by a NUL, the list by a second NUL.
  const std::string fromList = from + '\0' + '\0';
  const std::string toList = to + '\0' + '\0';
  SHFILEOPSTRUCTA shellOp{};
  shellOp.hwnd = GetActiveWindow();
  shellOp.wFunc = static_cast<UINT>(op);
  shellOp.pFrom = fromList.c_str();
  shellOp.pTo = to.empty() ? nullptr : toList.c_str();
  shellOp.fFlags = static_cast<FILEOP_FLAGS>(flags);
  return SHFileOperationA(&shellOp) == 0 && !shellOp.fAnyOperationsAborted;
}

ProgramHandle Win32Shell::StartHidden(const std::string& file, const std::string& parameters) {
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpVerb = "open";
  info.lpFile = file.c_str();
  info.lpParameters = OrNull(parameters);
  info.nShow = SW_HIDE;
  if (!ShellExecuteExA(&info) || !info.hProcess) return 0;
  return reinterpret_cast<ProgramHandle>(info.hProcess);
}

bool Win32Shell::ProgramEnded(ProgramHandle program, uint32_t milliseconds) {
  return WaitForSingleObject(reinterpret_cast<HANDLE>(program), milliseconds) != WAIT_TIMEOUT;
}

void Win32Shell::CloseProgram(ProgramHandle program) {
  if (program) CloseHandle(reinterpret_cast<HANDLE>(program));
}

bool Win32Shell::StartCommandLine(const std::string& commandLine) {
  std::string line = commandLine;  // CreateProcess may write into the command line
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace tw
