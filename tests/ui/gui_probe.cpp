// A small helper the GUI smoke test runs beside tarnwick.exe under Wine: it finds the main window by its class,
// reports and changes its state, and measures how quickly the window answers while it scans.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "../../src/ui/resource.h"

namespace {

constexpr const char* kClass = "TTarnwickForm";

double NowMs() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

HWND MainWindow() { return FindWindowA(kClass, nullptr); }

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
  char name[64];
  if (GetClassNameA(window, name, sizeof name) && std::strcmp(name, kClass) == 0) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

struct Found {
  const char* text;
  HWND window;
};

BOOL CALLBACK FindVisibleChild(HWND window, LPARAM param) {
  auto* found = reinterpret_cast<Found*>(param);
  char text[64];
  if (IsWindowVisible(window) && GetWindowTextA(window, text, sizeof text) && std::strcmp(text, found->text) == 0) {
    found->window = window;
    return FALSE;
  }
  return TRUE;
}

// The visible control of the main window with this text.
HWND VisibleChild(HWND window, const char* text) {
  Found found{text, nullptr};
  EnumChildWindows(window, FindVisibleChild, reinterpret_cast<LPARAM>(&found));
  return found.window;
}

bool ChildShown(HWND window, const char* text) { return VisibleChild(window, text) != nullptr; }

bool FileExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// The program's visible dialogs titled "Tarnwick": the repair progress dialog has its animation area, a
// message box has none.
struct DialogSearch {
  bool repairDialog;
  HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<DialogSearch*>(param);
  char name[64], title[64];
  if (!IsWindowVisible(window) || !GetClassNameA(window, name, sizeof name) || std::strcmp(name, "#32770") != 0 ||
      !GetWindowTextA(window, title, sizeof title) || std::strcmp(title, "Tarnwick") != 0)
    return TRUE;
  const bool animated = GetDlgItem(window, IDC_REPAIR_ANIMATION) != nullptr;
  if (animated != search->repairDialog) return TRUE;
  search->found = window;
  return FALSE;
}

HWND TarnwickDialog(bool repairDialog) {
  DialogSearch search{repairDialog, nullptr};
  EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The message text of a message box: its static control that is not the icon.
BOOL CALLBACK FindMessageText(HWND window, LPARAM param) {
  char name[32], text[1024];
  if (GetClassNameA(window, name, sizeof name) && std::strcmp(name, "Static") == 0 &&
      GetWindowTextA(window, text, sizeof text) > 0) {
    std::string* out = reinterpret_cast<std::string*>(param);
    *out = text;
    return FALSE;
  }
  return TRUE;
}

// Waits until `done` holds, polling every 50 ms; false after `timeoutMs`.
template <typename F>
bool WaitFor(F done, int timeoutMs) {
  const double end = NowMs() + timeoutMs;
  while (!done()) {
    if (NowMs() > end) return false;
    Sleep(50);
  }
  return true;
}

// Makes a shortcut through the shell's link object to a target that is then removed: a file when the target has
// an extension, a folder otherwise.
int MakeBrokenShortcut(const char* link, const char* target) {
  const bool folder = std::strrchr(target, '.') == nullptr || std::strrchr(target, '.') < std::strrchr(target, '\\');
  const bool made = folder ? CreateDirectoryA(target, nullptr) != FALSE
                           : CloseHandle(CreateFileA(target, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)) != FALSE;
  if (!made) return std::fprintf(stderr, "cannot make %s\n", target), 1;
  CoInitialize(nullptr);
  IShellLinkA* shell = nullptr;
  IPersistFile* file = nullptr;
  bool saved = false;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&shell)))) {
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, link, -1, wide, MAX_PATH);
    saved = SUCCEEDED(shell->SetPath(target)) &&
            SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            SUCCEEDED(file->Save(wide, TRUE));
    if (file) file->Release();
    shell->Release();
  }
  CoUninitialize();
  if (folder) RemoveDirectoryA(target);
  else DeleteFileA(target);
  return saved ? 0 : 1;
}

// The control that has the keyboard focus in the main window's thread.
HWND FocusOf(HWND window) {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui) ? gui.hwndFocus : nullptr;
}

// A control's text, or its class when it has none.
std::string NameOf(HWND control) {
  char text[128] = "", name[64] = "";
  if (control) GetWindowTextA(control, text, sizeof text);
  if (control && !*text) GetClassNameA(control, name, sizeof name);
  return *text ? text : name;
}

// Presses and releases a key in the focused control, as the keyboard would, and waits until it was handled.
void PressKey(HWND window, WPARAM key) {
  HWND focus = FocusOf(window);
  if (!focus) return;
  PostMessageA(focus, WM_KEYDOWN, key, 1);
  PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
  // A sent message is answered before posted ones are taken: wait until the window has taken the keys.
  Sleep(150);
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
}

// The shown tool window on the tools page: the text of its first label.
BOOL CALLBACK FindToolWindow(HWND window, LPARAM param) {
  char name[64];
  if (IsWindowVisible(window) && GetClassNameA(window, name, sizeof name) &&
      std::strcmp(name, "TTarnwickToolWindow") == 0) {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

int Usage() {
  std::fprintf(stderr,
               "usage: gui_probe wait-window MS | wait-shown MS | wait-scan-end MS | wait-finish MS | wait-gone MS |"
               " state | count | focus | key VK | click TEXT | wait-text TEXT MS | close | minimize | exit |"
               " latency FILE MS | wait-message MS | answer ID | wait-repair-dialog MS | menu-exit |"
               " exit-when-shown MS | tab-cycle | tab-to TEXT | checked TEXT | tool | wait-no-text TEXT MS |"
               " answer-then-exit MS | make-broken-shortcut LINK TARGET | wait-dialog TITLE MS | wait-no-dialog TITLE MS |"
               " dialog TITLE (click TEXT | checked TEXT | page N | rows)\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  // "dialog TITLE ..." runs the command against the program's dialog of that title instead of the main window.
  const char* dialogTitle = nullptr;
  if (!std::strcmp(argv[1], "dialog") && argc > 3) {
    dialogTitle = argv[2];
    argv += 2;
    argc -= 2;
  }
  const char* command = argv[1];
  if (!std::strcmp(command, "make-broken-shortcut") && argc == 4) return MakeBrokenShortcut(argv[2], argv[3]);
  const int timeout = argc > 2 ? std::atoi(argv[argc - 1]) : 10000;
  if (!std::strcmp(command, "wait-window")) return WaitFor([] { return MainWindow() != nullptr; }, timeout) ? 0 : 1;
  if (!std::strcmp(command, "wait-shown"))
    return WaitFor([] { HWND w = MainWindow(); return w && IsWindowVisible(w) && !IsIconic(w); }, timeout) ? 0 : 1;
  // A scan has ended when the Repair or the Finish button shows.
  if (!std::strcmp(command, "wait-scan-end"))
    return WaitFor([] { HWND w = MainWindow(); return w && (ChildShown(w, "Repair") || ChildShown(w, "Finish")); },
                   timeout) ? 0 : 1;
  // Waits for a visible control of the main window with this text.
  if (!std::strcmp(command, "wait-text") && argc == 4) {
    const char* text = argv[2];
    return WaitFor([text] { HWND w = MainWindow(); return w && ChildShown(w, text); }, timeout) ? 0 : 1;
  }
  if (!std::strcmp(command, "wait-finish"))
    return WaitFor([] { HWND w = MainWindow(); return w && ChildShown(w, "Finish"); }, timeout) ? 0 : 1;
  // The tray menu's Exit as soon as the window shows, inside the wait before a "-Scan" start's scan.
  if (!std::strcmp(command, "exit-when-shown")) {
    if (!WaitFor([] { HWND w = MainWindow(); return w && IsWindowVisible(w); }, timeout)) return 1;
    return PostMessageA(MainWindow(), WM_COMMAND, IDM_EXIT, 0) ? 0 : 1;
  }
  if (!std::strcmp(command, "wait-no-text") && argc == 4) {
    const char* text = argv[2];
    return WaitFor([text] { HWND w = MainWindow(); return w && !ChildShown(w, text); }, timeout) ? 0 : 1;
  }
  if (!std::strcmp(command, "wait-gone")) return WaitFor([] { return MainWindow() == nullptr; }, timeout) ? 0 : 1;
  // Waits for a message box titled "Tarnwick" and prints its text, carriage returns as "|".
  if (!std::strcmp(command, "wait-message")) {
    if (!WaitFor([] { return TarnwickDialog(false) != nullptr; }, timeout)) return 1;
    std::string text;
    EnumChildWindows(TarnwickDialog(false), FindMessageText, reinterpret_cast<LPARAM>(&text));
    for (char& c : text) c = c == '\r' || c == '\n' ? '|' : c;
    std::printf("%s\n", text.c_str());
    return 0;
  }
  // Presses a message box button by its command id (1 OK, 6 Yes, 7 No).
  if (!std::strcmp(command, "answer") && argc == 3) {
    HWND box = TarnwickDialog(false);
    return box && PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[2])), 0) ? 0 : 1;
  }
  // Presses OK on the backup message, then gives the tray menu's Exit as soon as the repair dialog shows.
  if (!std::strcmp(command, "answer-then-exit")) {
    HWND box = TarnwickDialog(false);
    if (!box || !PostMessageA(box, WM_COMMAND, IDOK, 0)) return 1;
    const bool seen = WaitFor([] { return TarnwickDialog(true) != nullptr; }, timeout);
    if (!PostMessageA(MainWindow(), WM_COMMAND, IDM_EXIT, 0)) return 1;
    std::printf("%s\n", seen ? "exit during the repair" : "exit after the repair");
    return 0;
  }
  if (!std::strcmp(command, "wait-repair-dialog"))
    return WaitFor([] { return TarnwickDialog(true) != nullptr; }, timeout) ? 0 : 1;
  if (!std::strcmp(command, "wait-dialog") && argc == 4) {
    const char* title = argv[2];
    return WaitFor([title] { HWND d = FindWindowA("#32770", title); return d && IsWindowVisible(d); }, timeout) ? 0 : 1;
  }
  if (!std::strcmp(command, "wait-no-dialog") && argc == 4) {
    const char* title = argv[2];
    return WaitFor([title] { return FindWindowA("#32770", title) == nullptr; }, timeout) ? 0 : 1;
  }
  HWND window = dialogTitle ? FindWindowA("#32770", dialogTitle) : MainWindow();
  // Shows page N of the window's page control by the arrow keys, as a keyboard user would.
  if (window && !std::strcmp(command, "page") && argc == 3) {
    HWND tabs = FindWindowExA(window, nullptr, "SysTabControl32", nullptr);
    if (!tabs) return 1;
    const int want = std::atoi(argv[2]);
    for (int tries = 0; tries < 8; ++tries) {
      const int now = static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
      if (now == want) return 0;
      const WPARAM key = now < want ? VK_RIGHT : VK_LEFT;
      PostMessageA(tabs, WM_KEYDOWN, key, 1);
      PostMessageA(tabs, WM_KEYUP, key, 0xC0000001);
      DWORD_PTR result = 0;
      SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
      Sleep(200);
    }
    return 1;
  }
  // The number of rows of the window's visible list view.
  if (window && !std::strcmp(command, "rows")) {
    HWND list = FindWindowExA(window, nullptr, "SysListView32", nullptr);
    if (!list || !IsWindowVisible(list)) return 1;
    std::printf("%d\n", static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)));
    return 0;
  }
  if (!std::strcmp(command, "count")) {
    int count = 0;
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&count));
    std::printf("%d\n", count);
    return 0;
  }
  if (!window) {
    std::fprintf(stderr, "no %s window\n", dialogTitle ? dialogTitle : kClass);
    return 1;
  }
  if (!std::strcmp(command, "state")) {
    std::printf("visible=%d iconic=%d\n", IsWindowVisible(window) ? 1 : 0, IsIconic(window) ? 1 : 0);
    return 0;
  }
  if (!std::strcmp(command, "close")) return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
  // Presses a visible button by its caption, as a click would.
  if (!std::strcmp(command, "click") && argc == 3) {
    HWND button = VisibleChild(window, argv[2]);
    if (!button) return std::fprintf(stderr, "no visible control \"%s\"\n", argv[2]), 1;
    // A dialog's check boxes change their state only when the button itself is clicked.
    if (dialogTitle) return PostMessageA(button, BM_CLICK, 0, 0) ? 0 : 1;
    const WPARAM command = MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED);
    return PostMessageA(GetParent(button), WM_COMMAND, command, reinterpret_cast<LPARAM>(button)) ? 0 : 1;
  }
  // The control that has the keyboard focus, by its text, or by its class when it has none.
  HWND focus = FocusOf(window);
  if (!std::strcmp(command, "focus")) {
    std::printf("%s\n", NameOf(focus).c_str());
    return focus ? 0 : 1;
  }
  // Presses and releases a key (given as a virtual-key number) in the focused control.
  if (!std::strcmp(command, "key") && argc == 3) {
    if (!focus) return 1;
    PressKey(window, static_cast<WPARAM>(std::atoi(argv[2])));
    return 0;
  }
  // Presses Tab until the focus comes back and prints the controls it went through, "|" between them.
  if (!std::strcmp(command, "tab-cycle")) {
    if (!focus) return 1;
    std::string order = NameOf(focus);
    for (int i = 0; i < 80; ++i) {
      PressKey(window, VK_TAB);
      HWND next = FocusOf(window);
      if (next == focus) break;
      order += "|" + NameOf(next);
    }
    std::printf("%s\n", order.c_str());
    return 0;
  }
  // Presses Tab until the control with this text (or class) has the focus.
  if (!std::strcmp(command, "tab-to") && argc == 3) {
    for (int i = 0; i < 80; ++i) {
      if (NameOf(FocusOf(window)) == argv[2]) return 0;
      PressKey(window, VK_TAB);
    }
    return 1;
  }
  // 1 when the visible check box with this text is ticked, otherwise 0.
  if (!std::strcmp(command, "checked") && argc == 3) {
    HWND box = VisibleChild(window, argv[2]);
    if (!box) return 1;
    std::printf("%d\n", SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
    return 0;
  }
  // The name of the shown tool window: its own caption, or else the heading it shows first.
  if (!std::strcmp(command, "tool")) {
    HWND tool = nullptr;
    EnumChildWindows(window, FindToolWindow, reinterpret_cast<LPARAM>(&tool));
    if (!tool) return 1;
    char caption[128] = {};
    GetWindowTextA(tool, caption, sizeof caption);
    std::printf("%s\n", caption[0] ? caption : NameOf(GetWindow(tool, GW_CHILD)).c_str());
    return 0;
  }
  // The tray menu's Exit.
  if (!std::strcmp(command, "menu-exit")) return PostMessageA(window, WM_COMMAND, IDM_EXIT, 0) ? 0 : 1;
  if (!std::strcmp(command, "minimize")) return ShowWindow(window, SW_MINIMIZE), 0;
  // A tray icon callback with this mouse message (515 double click, 516 right button, 16 close request).
  if (!std::strcmp(command, "tray") && argc == 3)
    return PostMessageA(window, 0x500, 0, static_cast<LPARAM>(std::atoi(argv[2]))) ? 0 : 1;
  // The restore request a second instance sends.
  if (!std::strcmp(command, "restore-request")) return PostMessageA(window, 0x2400, 0, 0) ? 0 : 1;
  // Waits for a shown popup menu and prints its number of entries.
  if (!std::strcmp(command, "wait-menu")) {
    if (!WaitFor([] { HWND m = FindWindowA("#32768", nullptr); return m && IsWindowVisible(m); }, timeout)) return 1;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(FindWindowA("#32768", nullptr), MN_GETHMENU, 0, 0));
    std::printf("%d\n", menu ? GetMenuItemCount(menu) : -1);
    return 0;
  }
  // Closes a shown popup menu with Escape and waits until it is gone.
  if (!std::strcmp(command, "close-menu")) {
    HWND menu = FindWindowA("#32768", nullptr);
    if (menu) PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    return WaitFor([] { HWND m = FindWindowA("#32768", nullptr); return !m || !IsWindowVisible(m); }, timeout) ? 0
                                                                                                              : 1;
  }
  // The tray icon's close request: abort a scan and end the program.
  if (!std::strcmp(command, "exit")) return PostMessageA(window, 0x500, 0, 16) ? 0 : 1;
  if (!std::strcmp(command, "latency") && argc == 4) {
    // Sends the window empty messages until FILE appears and reports the slowest answer: the longest time the
    // window went without taking messages.
    const char* file = argv[2];
    const double end = NowMs() + timeout;
    double worst = 0, total = 0;
    long answers = 0;
    while (!FileExists(file)) {
      if (NowMs() > end) {
        std::fprintf(stderr, "timed out waiting for %s\n", file);
        return 1;
      }
      DWORD_PTR result = 0;
      const double start = NowMs();
      if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result)) {
        std::fprintf(stderr, "no answer within 5 s\n");
        return 1;
      }
      const double took = NowMs() - start;
      worst = took > worst ? took : worst;
      total += took;
      ++answers;
    }
    std::printf("answers=%ld worst_ms=%.1f mean_ms=%.2f\n", answers, worst, answers ? total / answers : 0.0);
    return 0;
  }
  return Usage();
}
