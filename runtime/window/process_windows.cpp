// The process on Windows.
//
// The programs are console programs, so that cmd.exe and PowerShell wait for
// them and the exit sequence leaves their console as on Linux. Started from
// Explorer, Windows makes a console for the program alone; once the game's
// window is open that console is let go, and with no program left on it,
// it closes. A console shared with a shell (more than one process on it)
// stays.
#include <windows.h>

#include <array>
#include <string>

#include "runtime/window/process.h"

namespace runtime {

std::string process_executable_path() {
  std::wstring wide(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, wide.data(), static_cast<DWORD>(wide.size()));
    if (length == 0) return "tilewalk";
    if (length < wide.size()) {
      wide.resize(length);
      break;
    }
    if (wide.size() >= 32768) return "tilewalk";  // longer than any Windows path
    wide.resize(wide.size() * 2);
  }
  const int wide_length = static_cast<int>(wide.size());
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
  std::string path(static_cast<size_t>(size > 0 ? size : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, path.data(), size, nullptr, nullptr);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

void process_window_opened() {
  static bool asked = false;
  if (asked) return;
  asked = true;
  // Two entries are enough to tell "this process alone" from "shared".
  std::array<DWORD, 2> processes{};
  if (GetConsoleProcessList(processes.data(), static_cast<DWORD>(processes.size())) == 1) {
    FreeConsole();
  }
}

}  // namespace runtime
