// Zentora's entry on Windows: the common controls are made ready, then the portable program
// runs with its databases in the folder of the executable.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <exception>
#include <string>

#include "platform/system.h"
#include "shell/program_entry.h"

namespace {

// Looked up by name, so the program also starts with a library that lacks the extended
// entry (or, failing to load it, with no initialisation at all).
void InitialiseCommonControls() {
  HMODULE library = LoadLibraryA("COMCTL32.DLL");
  if (library == nullptr) return;
  using InitialiseEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  auto initialise = reinterpret_cast<InitialiseEx>(
      reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")));
  if (initialise != nullptr) {
    // The Windows 95 classes, the date classes and the internet classes.
    INITCOMMONCONTROLSEX controls{8, 0x9FF};
    initialise(&controls);
  } else {
    InitCommonControls();
  }
  FreeLibrary(library);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  InitialiseCommonControls();
  // The open-file dialog and the shell's "open" may load shell extensions that need COM.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  int code = 1;
  try {
    code = zentora::RunZentora(zentora::platform::HomeFolder());
  } catch (const std::exception& failure) {
    // The last word of a run that could not go on, rather than a silent disappearance.
    const std::string what = failure.what();
    MessageBoxW(nullptr, std::wstring(what.begin(), what.end()).c_str(), L"Zentora", MB_OK | MB_ICONERROR);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return code;
}
