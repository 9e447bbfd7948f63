#include "serial/win32/Win32Backend.h"

#include <windows.h>

#include <algorithm>

#include "framework/win32/WideText.h"
#include "serial/PortNames.h"

std::unique_ptr<SerialBackend> CreatePlatformBackend() {
  return std::make_unique<Win32Backend>();
}

// ---------------------------------------------------------------------------
// Time-outs

namespace {

constexpr std::uint32_t kAllBits = 0xFFFFFFFFu;
// The longest a native time-out can say (MAXDWORD itself means something else).
constexpr std::uint64_t kLongestNative = kAllBits - 1;
// A read that only collects queued bytes still gets a native bound.
constexpr std::uint32_t kQueuedReadMs = 100;
// How much later than the driver's own read time-out the backend gives up
// on a read: the driver's time-out normally ends it first.
constexpr std::uint64_t kReadGraceMs = 100;

std::uint32_t Unsigned(std::int32_t value) {
  return static_cast<std::uint32_t>(value);
}

std::uint64_t Total(std::uint64_t multiplier, std::int32_t count, std::uint64_t constant) {
  constexpr std::uint64_t kLongest = 1ull << 50;  // some 35000 years, as on Linux
  return std::min(multiplier * static_cast<std::uint64_t>(count) + constant, kLongest);
}

HANDLE Handle(void* handle) {
  return static_cast<HANDLE>(handle);
}

}  // namespace

Win32ReadPlan PlanWin32Read(const SerialTimeouts& timeouts, std::int32_t count) {
  Win32ReadPlan plan;
  const std::uint32_t interval = Unsigned(timeouts.ReadInterval);
  const std::uint64_t multiplier = Unsigned(timeouts.ReadTotalMultiplier);
  const std::uint64_t constant = Unsigned(timeouts.ReadTotalConstant);
  if (interval == kAllBits && multiplier == 0 && constant == 0) {
    plan.queuedOnly = true;
    plan.totalConstant = kQueuedReadMs;
    plan.totalMs = kQueuedReadMs;
    return plan;
  }
  if (multiplier != 0 || constant != 0) {
    plan.totalMs = Total(multiplier, count, constant);
    plan.totalConstant = static_cast<std::uint32_t>(std::min(*plan.totalMs, kLongestNative));
  }
  // An all-bits interval beside a total is some 49 days: no interval at all
  // (and not the "return at once" MAXDWORD modes of the native time-outs).
  if (interval != kAllBits) plan.interval = interval;
  return plan;
}

std::optional<std::uint64_t> Win32WriteLimit(const SerialTimeouts& timeouts, std::int32_t count) {
  const std::uint64_t multiplier = Unsigned(timeouts.WriteTotalMultiplier);
  const std::uint64_t constant = Unsigned(timeouts.WriteTotalConstant);
  if (multiplier == 0 && constant == 0) return std::nullopt;
  return Total(multiplier, count, constant);
}

// ---------------------------------------------------------------------------
// Win32Backend

Win32Backend::~Win32Backend() {
  Close();
}

int Win32Backend::Open(const std::string& portName) {
  if (handle_) return ERROR_BUSY;
  const std::wstring path = Utf8ToWide(PortDevicePath(portName));
  // Share mode 0: Windows refuses a second opener with ERROR_ACCESS_DENIED.
  HANDLE device = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
  if (device == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error != 0 ? static_cast<int>(error) : ERROR_FILE_NOT_FOUND;
  }
  // A file or a pipe opens too; only a communications device has a DCB.
  DCB line{};
  line.DCBlength = sizeof line;
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!GetCommState(device, &line) || event == nullptr) {
    const DWORD error = GetLastError();
    if (event) CloseHandle(event);
    CloseHandle(device);
    return static_cast<int>(error);
  }
  handle_ = device;
  event_ = event;
  native_.reset();
  return 0;
}

int Win32Backend::Close() {
  if (!handle_) return 0;
  // Nothing may linger: a queue held by XOFF is dropped, not drained.
  PurgeComm(Handle(handle_), PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
  const int result = CloseHandle(Handle(handle_)) ? 0 : static_cast<int>(GetLastError());
  CloseHandle(Handle(event_));
  handle_ = nullptr;
  event_ = nullptr;
  native_.reset();
  return result;
}

int Win32Backend::SetQueueSizes(std::int32_t inputSize, std::int32_t outputSize) {
  if (!handle_) return ERROR_INVALID_HANDLE;
  if (inputSize < 0 || outputSize < 0) return ERROR_INVALID_PARAMETER;
  if (!SetupComm(Handle(handle_), Unsigned(inputSize), Unsigned(outputSize)))
    return static_cast<int>(GetLastError());
  return 0;
}

namespace {

BYTE ParityByte(TParityBits parity) {
  switch (parity) {
    case prOdd:
      return ODDPARITY;
    case prEven:
      return EVENPARITY;
    case prMark:
      return MARKPARITY;
    case prSpace:
      return SPACEPARITY;
    default:
      return NOPARITY;
  }
}

BYTE StopBitsByte(TStopBits stopBits) {
  switch (stopBits) {
    case sbOne5StopBits:
      return ONE5STOPBITS;
    case sbTwoStopBits:
      return TWOSTOPBITS;
    default:
      return ONESTOPBIT;
  }
}

DWORD DtrControl(TDTRFlowControl control) {
  switch (control) {
    case dtrEnable:
      return DTR_CONTROL_ENABLE;
    case dtrHandshake:
      return DTR_CONTROL_HANDSHAKE;
    default:
      return DTR_CONTROL_DISABLE;
  }
}

DWORD RtsControl(TRTSFlowControl control) {
  switch (control) {
    case rtsEnable:
      return RTS_CONTROL_ENABLE;
    case rtsHandshake:
      return RTS_CONTROL_HANDSHAKE;
    case rtsToggle:
      return RTS_CONTROL_TOGGLE;
    default:
      return RTS_CONTROL_DISABLE;
  }
}

WORD Limit(std::int32_t value) {
  return static_cast<WORD>(std::clamp<std::int32_t>(value, 0, 0xFFFF));
}

}  // namespace

int Win32Backend::SetLineSettings(const SerialLineSettings& settings) {
  if (!handle_) return ERROR_INVALID_HANDLE;
  if (settings.dataBits < 5 || settings.dataBits > 8 || settings.baudRate <= 0)
    return ERROR_INVALID_PARAMETER;
  DCB line{};
  line.DCBlength = sizeof line;
  if (!GetCommState(Handle(handle_), &line)) return static_cast<int>(GetLastError());
  line.BaudRate = Unsigned(settings.baudRate);
  line.fBinary = TRUE;
  line.fParity = settings.parityCheck;
  line.fOutxCtsFlow = settings.outCTSFlow;
  line.fOutxDsrFlow = settings.outDSRFlow;
  line.fDtrControl = DtrControl(settings.dtrControl);
  line.fDsrSensitivity = settings.dsrSensitivity;
  line.fTXContinueOnXoff = settings.txContinueOnXoff;
  line.fOutX = settings.outX;
  line.fInX = settings.inX;
  line.fErrorChar = settings.replaceOnError;
  line.fNull = settings.discardNull;
  line.fRtsControl = RtsControl(settings.rtsControl);
  line.fAbortOnError = FALSE;  // a line error must not stop every later transfer
  line.XonLim = Limit(settings.xonLim);
  line.XoffLim = Limit(settings.xoffLim);
  line.ByteSize = static_cast<BYTE>(settings.dataBits);
  line.Parity = ParityByte(settings.parity);
  line.StopBits = StopBitsByte(settings.stopBits);
  line.XonChar = static_cast<char>(settings.xonChar);
  line.XoffChar = static_cast<char>(settings.xoffChar);
  line.ErrorChar = static_cast<char>(settings.errorChar);
  line.EofChar = 0;
  line.EvtChar = 0;  // no line-event monitor on this platform
  if (!SetCommState(Handle(handle_), &line)) return static_cast<int>(GetLastError());
  discardNull_ = settings.discardNull;
  return 0;
}

int Win32Backend::SetTimeouts(const SerialTimeouts& timeouts) {
  if (!handle_) return ERROR_INVALID_HANDLE;
  timeouts_ = timeouts;
  // What a one-byte read and write would use; each transfer adjusts them.
  const Win32ReadPlan plan = PlanWin32Read(timeouts, 1);
  const auto write = Win32WriteLimit(timeouts, 1);
  return UseNativeTimeouts(plan.interval, plan.totalConstant,
                           static_cast<std::uint32_t>(std::min(write.value_or(0), kLongestNative)));
}

int Win32Backend::UseNativeTimeouts(std::uint32_t interval, std::uint32_t totalConstant,
                                    std::uint32_t writeConstant) {
  const Native wanted{interval, totalConstant, writeConstant};
  if (native_ == wanted) return 0;
  COMMTIMEOUTS native{};
  native.ReadIntervalTimeout = interval;
  native.ReadTotalTimeoutMultiplier = 0;
  native.ReadTotalTimeoutConstant = totalConstant;
  native.WriteTotalTimeoutMultiplier = 0;
  native.WriteTotalTimeoutConstant = writeConstant;
  if (!SetCommTimeouts(Handle(handle_), &native)) {
    native_.reset();
    return static_cast<int>(GetLastError());
  }
  native_ = wanted;
  return 0;
}

int Win32Backend::ReadModemStatus() {
  if (!handle_) return ERROR_INVALID_HANDLE;
  DWORD lines = 0;
  if (GetCommModemStatus(Handle(handle_), &lines)) return 0;
  const DWORD error = GetLastError();
  // No modem lines (wine on a pseudo-terminal, some virtual ports) is no
  // failure: the lines simply do not exist there.
  if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION) return 0;
  return static_cast<int>(error);
}

int Win32Backend::Transfer(bool reading, void* buffer, std::uint32_t count,
                           std::optional<std::uint64_t> waitMs, std::uint32_t& done) {
  done = 0;
  OVERLAPPED overlapped{};
  overlapped.hEvent = Handle(event_);
  ResetEvent(overlapped.hEvent);
  DWORD moved = 0;
  const BOOL finished = reading ? ReadFile(Handle(handle_), buffer, count, &moved, &overlapped)
                                : WriteFile(Handle(handle_), buffer, count, &moved, &overlapped);
  DWORD error = finished ? 0 : GetLastError();
  if (error == ERROR_IO_PENDING) {
    const DWORD wait =
        waitMs ? static_cast<DWORD>(std::min<std::uint64_t>(*waitMs, INFINITE - 1)) : INFINITE;
    const bool cancelled = WaitForSingleObject(overlapped.hEvent, wait) != WAIT_OBJECT_0;
    if (cancelled) CancelIo(Handle(handle_));
    // Waits for the cancelled call to end: the buffer is ours again after it.
    error = GetOverlappedResult(Handle(handle_), &overlapped, &moved, TRUE) ? 0 : GetLastError();
    // Our own cancel after the deadline is a time-out, not a failure.
    if (cancelled && error == ERROR_OPERATION_ABORTED) error = 0;
  }
  done = moved;
  // Wine ends an overlapped read that timed out with nothing as FALSE with
  // ERROR_TIMEOUT; Windows reports success with 0 bytes.
  if (error == ERROR_TIMEOUT || error == ERROR_SEM_TIMEOUT) error = 0;
  return static_cast<int>(error);
}

int Win32Backend::Read(void* buffer, std::int32_t count, std::int32_t& transferred) {
  transferred = 0;
  if (!handle_) return ERROR_INVALID_HANDLE;
  if (count < 0) return ERROR_INVALID_PARAMETER;
  if (count == 0) return 0;
  const Win32ReadPlan plan = PlanWin32Read(timeouts_, count);
  std::uint32_t wanted = Unsigned(count);
  if (plan.queuedOnly) {
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(Handle(handle_), &errors, &status)) return static_cast<int>(GetLastError());
    wanted = std::min<std::uint32_t>(wanted, status.cbInQue);
    if (wanted == 0) return 0;
  }
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  const ULONGLONG start = GetTickCount64();
  std::uint32_t kept = 0;
  for (;;) {
    // The total left of the call's own, after what earlier rounds took.
    std::uint32_t totalConstant = plan.totalConstant;
    std::optional<std::uint64_t> waitMs;
    if (plan.totalMs) {
      const std::uint64_t spent = GetTickCount64() - start;
      if (kept > 0 && spent >= *plan.totalMs) break;
      const std::uint64_t left = *plan.totalMs > spent ? *plan.totalMs - spent : 1;
      totalConstant = static_cast<std::uint32_t>(std::min(left, kLongestNative));
      waitMs = left + kReadGraceMs;
    }
    const std::uint32_t writeConstant = native_ ? native_->writeConstant : 0;
    if (const int error = UseNativeTimeouts(plan.interval, totalConstant, writeConstant))
      return error;
    const std::uint32_t asked = wanted - kept;
    std::uint32_t done = 0;
    const int error = Transfer(true, bytes + kept, asked, waitMs, done);
    // Zero bytes are dropped here too: wine ignores the DCB's fNull.
    std::uint32_t arrived = done;
    if (discardNull_) {
      arrived = static_cast<std::uint32_t>(
          std::remove(bytes + kept, bytes + kept + done, std::uint8_t{0}) - (bytes + kept));
    }
    kept += arrived;
    transferred = static_cast<std::int32_t>(kept);
    if (error != 0) return error;
    // Only a round that filled its count and lost zero bytes reads on.
    if (done < asked || kept >= wanted || plan.queuedOnly) break;
  }
  return 0;
}

int Win32Backend::Write(const void* buffer, std::int32_t count, std::int32_t& transferred) {
  transferred = 0;
  if (!handle_) return ERROR_INVALID_HANDLE;
  if (count < 0) return ERROR_INVALID_PARAMETER;
  if (count == 0) return 0;
  const auto limit = Win32WriteLimit(timeouts_, count);
  const std::uint32_t writeConstant =
      static_cast<std::uint32_t>(std::min(limit.value_or(0), kLongestNative));
  const Native current = native_.value_or(Native{0, 0, 0});
  if (const int error = UseNativeTimeouts(current.interval, current.totalConstant, writeConstant))
    return error;
  std::uint32_t done = 0;
  // The write time-out is ours too: wine keeps none, and bytes held back by
  // XOFF would otherwise hold the call for ever.
  const int error = Transfer(false, const_cast<void*>(buffer), Unsigned(count), limit, done);
  transferred = static_cast<std::int32_t>(done);
  return error;
}

int Win32Backend::Purge(bool input, bool output) {
  if (!handle_) return ERROR_INVALID_HANDLE;
  DWORD flags = 0;
  if (input) flags |= PURGE_RXABORT | PURGE_RXCLEAR;
  if (output) flags |= PURGE_TXABORT | PURGE_TXCLEAR;
  if (flags != 0 && !PurgeComm(Handle(handle_), flags)) return static_cast<int>(GetLastError());
  return 0;
}

// ---------------------------------------------------------------------------
// Errors for the user

bool Win32Backend::DeviceGone(int error) const {
  switch (error) {
    case ERROR_NOT_READY:             // 21: writes and ClearCommError once the device is gone
    case ERROR_BROKEN_PIPE:           // 109: reads on a vanished device (wine: the far end closed)
    case ERROR_OPERATION_ABORTED:     // 995: the driver aborted the call as the device went
                                      // (the backend's own cancel is a time-out, never this)
    case ERROR_FILE_NOT_FOUND:        // 2: the device object is gone (USB adapters)
    case ERROR_DEVICE_REMOVED:        // 1617
    case ERROR_DEVICE_NOT_CONNECTED:  // 1167
    case ERROR_BAD_COMMAND:           // 22: usbser.sys and others after an unplug
    case ERROR_GEN_FAILURE:           // 31: likewise
    case ERROR_ACCESS_DENIED:         // 5: every call on the handle of an unplugged usbser device
      return true;
    default:
      return false;
  }
}

namespace {

// The system's text for an error, in English where the system has it.
std::string SystemReason(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD flags =
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  DWORD length = 0;
  for (DWORD language : {DWORD(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)), DWORD(0)}) {
    length = FormatMessageW(flags, nullptr, error, language, reinterpret_cast<LPWSTR>(&text), 0,
                            nullptr);
    if (length != 0) break;
  }
  std::string reason;
  if (length != 0 && text) reason = WideToUtf8(std::wstring_view(text, length));
  if (text) LocalFree(text);
  // One line: the system's text ends with a line break, and may hold others.
  for (char& c : reason) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  while (!reason.empty() && (reason.back() == ' ' || reason.back() == '.')) reason.pop_back();
  if (reason.empty()) reason = "System error " + std::to_string(error);
  return reason;
}

const char* Remedy(DWORD error) {
  switch (error) {
    case ERROR_ACCESS_DENIED:
      return "Another program has the port open; close that program, or choose another port";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return "This PC has no such port: check that the printer's adapter is plugged in and "
             "choose a port that the setup dialog lists";
    case ERROR_NOT_READY:
    case ERROR_BROKEN_PIPE:
    case ERROR_OPERATION_ABORTED:
    case ERROR_DEVICE_REMOVED:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
      return "The port's device went away: plug the adapter in again and repeat the command";
    case ERROR_INVALID_PARAMETER:
      return "The port does not take these line settings: choose others in the setup dialog";
    case ERROR_SEM_TIMEOUT:
      return "The printer did not take the data in time: check its cable and that it is on";
    default:
      return nullptr;
  }
}

}  // namespace

std::string Win32Backend::ErrorDetail(int error, const std::string& portName) const {
  if (error <= 0) return {};
  std::string detail = PortDevicePath(portName) + ": " + SystemReason(static_cast<DWORD>(error));
  if (const char* remedy = Remedy(static_cast<DWORD>(error))) detail += ". " + std::string(remedy);
  return detail + ".";
}
