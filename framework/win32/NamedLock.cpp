#include "framework/NamedLock.h"

#include <windows.h>

#include <utility>

#include "framework/win32/WideText.h"

// The design's named mutex, unprefixed (the session's namespace): created
// with initial ownership, or opened without it when it exists already.
NamedLock::NamedLock(std::string name) : path_(std::move(name)) {}

NamedLock::~NamedLock() {
  Release();
}

bool NamedLock::Acquire() {
  Release();
  HANDLE mutex = CreateMutexW(nullptr, TRUE, Utf8ToWide(path_).c_str());
  if (mutex == nullptr) return false;
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  handle_ = reinterpret_cast<std::intptr_t>(mutex);
  // An existing mutex is opened without ownership; a mutex whose holder has
  // died is taken over (WAIT_ABANDONED), as the lock contract promises.
  if (!existed) {
    held_ = true;
  } else {
    const DWORD wait = WaitForSingleObject(mutex, 0);
    held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
  }
  return held_;
}

void NamedLock::Release() {
  if (handle_ == -1) return;
  HANDLE mutex = reinterpret_cast<HANDLE>(std::exchange(handle_, -1));
  if (held_) ReleaseMutex(mutex);
  held_ = false;
  CloseHandle(mutex);
}
