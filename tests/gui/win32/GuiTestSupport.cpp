#include "tests/gui/win32/GuiTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "gui/win32/Application.h"
#include "gui/win32/CPortSetup.h"
#include "gui/win32/MainPDV.h"
#include "gui/win32/P00_YellowMsg.h"
#include "gui/win32/Startup.h"
#include "gui/win32/Text.h"

namespace {

ModalUser* activeUser = nullptr;

std::string GuiTestPort() {
  const char* port = std::getenv("FP_GUI_TEST_PORT");
  if (!port)
    throw std::runtime_error("FP_GUI_TEST_PORT is not set: run under scripts/test-windows-gui.sh");
  return port;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

template <typename Form>
Form* FormOf(HWND window) {
  return dynamic_cast<Form*>(
      reinterpret_cast<WindowObject*>(GetWindowLongPtrW(window, GWLP_USERDATA)));
}

void Click(HWND button) {
  PostMessageW(button, BM_CLICK, 0, 0);
}

}  // namespace

ModalUser::ModalUser() {
  setup = [](TComSetupFrm& dialog) { Click(dialog.Button1); };
  notice = [](TFormYellowMsg& window) { Click(window.Button1); };
  activeUser = this;
  timer_ = SetTimer(nullptr, 0, 10, Tick);
}

ModalUser::~ModalUser() {
  KillTimer(nullptr, timer_);
  activeUser = nullptr;
}

void CALLBACK ModalUser::Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (activeUser) activeUser->Act();
}

void ModalUser::Act() {
  if (acting_) return;
  acting_ = true;
  std::vector<HWND> windows;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) -> BOOL {
        if (IsWindowVisible(window) && IsWindowEnabled(window))
          reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  // Windows no longer up are forgotten: a handle may come back for another.
  std::erase_if(firstSeen_, [&](const auto& seen) {
    return std::ranges::find(windows, seen.first) == windows.end();
  });
  const DWORD now = GetTickCount();
  for (HWND window : windows) {
    if (FormMainPDV && window == FormMainPDV->Handle()) continue;
    if (std::ranges::find(leftAlone_, window) != leftAlone_.end()) continue;
    if (ClassOf(window) == L"IME" || TextOf(window) == "Default IME") continue;
    auto seen = std::ranges::find(firstSeen_, window, &std::pair<HWND, DWORD>::first);
    if (seen == firstSeen_.end()) {
      firstSeen_.emplace_back(window, now);
      seen = firstSeen_.end() - 1;
    }
    if (now - seen->second < static_cast<DWORD>(patience)) continue;
    ActOn(window);
  }
  acting_ = false;
}

void ModalUser::ActOn(HWND window) {
  const std::wstring kind = ClassOf(window);
  if (kind == L"#32770") {  // a message box
    seen_.push_back(TextOf(window) + ": " + TextOf(GetDlgItem(window, 0xFFFF)));
    PostMessageW(window, WM_COMMAND, IDOK, 0);
  } else if (auto* dialog = kind == L"TComSetupFrm" ? FormOf<TComSetupFrm>(window) : nullptr) {
    seen_.push_back("Setup");
    setup(*dialog);
  } else if (auto* form = kind == L"TFormYellowMsg" ? FormOf<TFormYellowMsg>(window) : nullptr) {
    seen_.push_back("Notice: " + TextOf(form->LabelMsg));
    notice(*form);
  } else {
    seen_.push_back("Unexpected: " + TextOf(window));
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
}

ProgramFormsTest::ProgramFormsTest() : printer(GuiTestPort()) {}

ProgramFormsTest::~ProgramFormsTest() {
  forms_.reset();
  // The main window's close leaves a quit for a loop that no longer runs.
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

void ProgramFormsTest::SetUp() {
  if (Application().Terminated()) GTEST_SKIP() << "the program has ended in this process";
  forms_ = std::make_unique<ProgramForms>();
  Port().SetPort(printer.PortName());
  Application().MainForm()->Show();
  ProcessMessages();
}

TFormMainPDV& ProgramFormsTest::Window() {
  return *FormMainPDV;
}

TComPort& ProgramFormsTest::Port() {
  return *FormMainPDV->ComPortFiskal;
}

int ProgramFormsTest::CountOf(int command) const {
  return static_cast<int>(std::ranges::count(printer.Requests(), command, &sim::Request::command));
}

std::string ProgramFormsTest::LastDataOf(int command) const {
  std::string data = "<none>";
  for (const sim::Request& request : printer.Requests()) {
    if (request.command == command) data = request.data;
  }
  return data;
}

void TypeInMainWindow(wchar_t key) {
  SendMessageW(FormMainPDV->Handle(), WM_CHAR, key, 0);
}

void PostKey(HWND window, UINT virtualKey) {
  PostMessageW(window, WM_KEYDOWN, virtualKey, 1);
  PostMessageW(window, WM_KEYUP, virtualKey, 1 | (3u << 30));
}

void ClickWithMouse(HWND window, int clicks) {
  RECT area;
  GetWindowRect(window, &area);
  SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
  std::vector<INPUT> inputs;
  for (int i = 0; i < clicks; ++i) {
    for (DWORD flag : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
      INPUT input{};
      input.type = INPUT_MOUSE;
      input.mi.dwFlags = flag;
      inputs.push_back(input);
    }
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  ProcessMessages(300);
}

void ProcessMessages(int milliseconds) {
  const DWORD until = GetTickCount() + static_cast<DWORD>(milliseconds);
  bool quit = false;
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = true;
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(5);
  } while (GetTickCount() < until);
  // The main loop's end stays asked for, for the test to see.
  if (quit) PostQuitMessage(0);
}

bool NoticeMutexHeldElsewhere() {
  bool held = false;
  std::thread([&held] {
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"YellowMsg");
    if (!mutex) return;
    const DWORD result = WaitForSingleObject(mutex, 0);
    held = result == WAIT_TIMEOUT;
    if (!held) ReleaseMutex(mutex);
    CloseHandle(mutex);
  }).join();
  return held;
}

std::string TextOf(HWND window) {
  return WindowText(window);
}

bool Enabled(HWND window) {
  return IsWindowEnabled(window) != FALSE;
}

bool Checked(HWND checkBox) {
  return SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string ComboText(HWND comboBox) {
  const LRESULT index = SendMessageW(comboBox, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return "";
  std::wstring text(static_cast<std::size_t>(SendMessageW(comboBox, CB_GETLBTEXTLEN, index, 0)),
                    L'\0');
  SendMessageW(comboBox, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  return Narrow(text);
}

void PickItem(HWND comboBox, const std::string& text) {
  SendMessageW(comboBox, CB_SELECTSTRING, static_cast<WPARAM>(-1),
               reinterpret_cast<LPARAM>(Widen(text).c_str()));
  SendMessageW(GetParent(comboBox), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(comboBox), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(comboBox));
}
