#include "gui/win32/Application.h"

#include "gui/win32/Window.h"

TApplication& Application() {
  static TApplication application;
  return application;
}

void TApplication::Restore() {
  if (mainForm_ && IsIconic(mainForm_->Handle())) ShowWindow(mainForm_->Handle(), SW_RESTORE);
}

void TApplication::Terminate() {
  terminated_ = true;
  // Wakes whichever loop is waiting; every loop of the program, and the
  // system's own in its message boxes, ends on it.
  PostQuitMessage(0);
}

void TApplication::EndEventLoop() {
  PostQuitMessage(0);
}

int TApplication::Run() {
  if (mainForm_) mainForm_->Show();
  MSG message;
  while (!terminated_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

void TApplication::RunModalLoop(HWND window, const bool& running) {
  MSG message;
  while (running && !terminated_) {
    if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
      // The quit belongs to the main loop: hand it on.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (IsDialogMessageW(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}
