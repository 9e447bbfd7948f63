#include "serial/CPort.h"

#include <cerrno>

// ---------------------------------------------------------------------------
// EComPort

const char* ComErrorText(std::int32_t code) {
  switch (code) {
    case CError_OpenFailed:
      return "Unable to open com port";
    case CError_WriteFailed:
      return "WriteFile function failed";
    case CError_ReadFailed:
      return "ReadFile function failed";
    case CError_PurgeFailed:
      return "PurgeComm function failed";
    case CError_SetStateFailed:
      return "SetCommState function failed";
    case CError_TimeoutsFailed:
      return "SetCommTimeouts failed";
    case CError_SetupComFailed:
      return "SetupComm function failed";
    case CError_ClearComFailed:
      return "ClearCommError function failed";
    case CError_ModemStatFailed:
      return "GetCommModemStatus function failed";
    case CError_PortNotOpen:
      return "Port Not Open";
    default:
      return "";
  }
}

namespace {

std::string ComErrorMessage(std::int32_t code, std::int32_t winCode, const std::string& detail) {
  std::string message = ComErrorText(code);
  if (winCode > 0) message += " (Error: " + std::to_string(winCode) + ")";
  if (!detail.empty()) message += "\n" + detail;
  return message;
}

// Stores `value` and tells whether it differed: setters act only on a change.
template <typename T>
bool Assign(T& field, T value) {
  if (field == value) return false;
  field = value;
  return true;
}

}  // namespace

EComPort::EComPort(std::int32_t code, std::int32_t winCode, const std::string& detail)
    : Exception(ComErrorMessage(code, winCode, detail)),
      code_(code),
      winCode_(winCode > 0 ? winCode : -1) {}

std::int32_t BaudRateValue(TBaudRate rate) {
  switch (rate) {
    case br110:
      return 110;
    case br300:
      return 300;
    case br600:
      return 600;
    case br1200:
      return 1200;
    case br2400:
      return 2400;
    case br4800:
      return 4800;
    case br9600:
      return 9600;
    case br14400:
      return 14400;
    case br19200:
      return 19200;
    case br38400:
      return 38400;
    case br56000:
      return 56000;
    case br57600:
      return 57600;
    case br115200:
      return 115200;
    case br128000:
      return 128000;
    case br256000:
      return 256000;
    default:
      return 0;
  }
}

// ---------------------------------------------------------------------------
// Settings groups

void TComParity::SetBits(TParityBits value) {
  if (Assign(bits_, value)) ComPort->LineSettingsChanged();
}
void TComParity::SetCheck(bool value) {
  if (Assign(check_, value)) ComPort->LineSettingsChanged();
}
void TComParity::SetReplace(bool value) {
  if (Assign(replace_, value)) ComPort->LineSettingsChanged();
}
void TComParity::SetReplaceChar(std::uint8_t value) {
  if (Assign(replaceChar_, value)) ComPort->LineSettingsChanged();
}

void TComFlowControl::SetOutCTSFlow(bool value) {
  if (Assign(outCTSFlow_, value)) ComPort->LineSettingsChanged();
}
void TComFlowControl::SetOutDSRFlow(bool value) {
  if (Assign(outDSRFlow_, value)) ComPort->LineSettingsChanged();
}
void TComFlowControl::SetControlDTR(TDTRFlowControl value) {
  if (Assign(controlDTR_, value)) ComPort->LineSettingsChanged();
}
void TComFlowControl::SetControlRTS(TRTSFlowControl value) {
  if (Assign(controlRTS_, value)) ComPort->LineSettingsChanged();
}
void TComFlowControl::SetXonXoffOut(bool value) {
  if (Assign(xonXoffOut_, value)) ComPort->LineSettingsChanged();
}
void TComFlowControl::SetXonXoffIn(bool value) {
  if (Assign(xonXoffIn_, value)) ComPort->LineSettingsChanged();
}
void TComFlowControl::SetDSRSensitivity(bool value) {
  if (Assign(dsrSensitivity_, value)) ComPort->LineSettingsChanged();
}
void TComFlowControl::SetTxContinueOnXoff(bool value) {
  if (Assign(txContinueOnXoff_, value)) ComPort->LineSettingsChanged();
}
void TComFlowControl::SetXonChar(std::uint8_t value) {
  if (Assign(xonChar_, value)) ComPort->LineSettingsChanged();
}
void TComFlowControl::SetXoffChar(std::uint8_t value) {
  if (Assign(xoffChar_, value)) ComPort->LineSettingsChanged();
}

TFlowControl TComFlowControl::FlowControl() const {
  if (controlRTS_ == rtsHandshake && outCTSFlow_ && !xonXoffIn_ && !xonXoffOut_) return fcHardware;
  if (controlRTS_ == rtsDisable && !outCTSFlow_ && xonXoffIn_ && xonXoffOut_) return fcSoftware;
  if (controlRTS_ == rtsDisable && !outCTSFlow_ && !xonXoffIn_ && !xonXoffOut_) return fcNone;
  return fcCustom;
}

void TComFlowControl::SetFlowControl(TFlowControl mode) {
  if (mode == fcCustom) return;
  controlRTS_ = mode == fcHardware ? rtsHandshake : rtsDisable;
  outCTSFlow_ = mode == fcHardware;
  xonXoffIn_ = mode == fcSoftware;
  xonXoffOut_ = mode == fcSoftware;
  ComPort->LineSettingsChanged();
}

void TComTimeouts::SetReadInterval(std::int32_t value) {
  if (Assign(values_.ReadInterval, value)) ComPort->TimeoutsChanged();
}
void TComTimeouts::SetReadTotalMultiplier(std::int32_t value) {
  if (Assign(values_.ReadTotalMultiplier, value)) ComPort->TimeoutsChanged();
}
void TComTimeouts::SetReadTotalConstant(std::int32_t value) {
  if (Assign(values_.ReadTotalConstant, value)) ComPort->TimeoutsChanged();
}
void TComTimeouts::SetWriteTotalMultiplier(std::int32_t value) {
  if (Assign(values_.WriteTotalMultiplier, value)) ComPort->TimeoutsChanged();
}
void TComTimeouts::SetWriteTotalConstant(std::int32_t value) {
  if (Assign(values_.WriteTotalConstant, value)) ComPort->TimeoutsChanged();
}

namespace {
// Queue sizes are even: a positive odd value is taken one lower.
std::int32_t EvenQueueSize(std::int32_t value) {
  return value > 0 ? value & ~1 : value;
}
}  // namespace

void TComBuffer::SetInputSize(std::int32_t value) {
  if (Assign(inputSize_, EvenQueueSize(value))) ComPort->BufferChanged();
}
void TComBuffer::SetOutputSize(std::int32_t value) {
  if (Assign(outputSize_, EvenQueueSize(value))) ComPort->BufferChanged();
}

// ---------------------------------------------------------------------------
// TCustomComPort

TCustomComPort::TCustomComPort(std::unique_ptr<SerialBackend> backend)
    : backend_(backend ? std::move(backend) : CreatePlatformBackend()) {}

TCustomComPort::~TCustomComPort() {
  Close();
}

// The line-event monitor thread is left out on this platform: nothing in the
// program reacts to line events, and without it received bytes can leave the
// input queue only through Read or ClearBuffer, as the frame exchange needs.
void TCustomComPort::Open() {
  if (connected_) return;
  CreateHandle();
  connected_ = true;
  try {
    ApplySettings();
  } catch (...) {
    DestroyHandle();
    connected_ = false;
    throw;
  }
  // Only to learn the lines' first state; a failure leaves the port open.
  if (const int error = backend_->ReadModemStatus(); error != 0)
    Fail(CError_ModemStatFailed, error);
}

void TCustomComPort::Close() {
  if (!connected_) return;
  // Transfers are synchronous on the calling thread, so none is in flight
  // here and there is nothing to abort before the device is released.
  DestroyHandle();
  connected_ = false;
}

void TCustomComPort::ClearBuffer(bool input, bool output) {
  // Deliberately not guarded by Connected: on a closed port the backend
  // reports its invalid-descriptor error, which is what the caller sees.
  int error = backend_->Purge(input, output);
  if (error != 0 && ReopenedAfter(error)) error = backend_->Purge(input, output);
  if (error != 0) Fail(CError_PurgeFailed, error);
}

bool TCustomComPort::ReopenedAfter(int error) {
  if (!connected_ || !backend_->DeviceGone(error)) return false;
  Close();
  try {
    Open();
  } catch (const EComPort&) {
    return false;  // not back yet: the caller reports the dead device's error
  }
  return true;
}

void TCustomComPort::Fail(std::int32_t code, int error) {
  if (connected_ && backend_->DeviceGone(error)) Close();
  throw EComPort(code, error, backend_->ErrorDetail(error, port_));
}

std::int32_t TCustomComPort::Write(const void* buffer, std::int32_t count) {
  if (!backend_->IsOpen()) throw EComPort(CError_PortNotOpen, -1);
  std::int32_t sent = 0;
  if (const int error = backend_->Write(buffer, count, sent); error != 0)
    Fail(CError_WriteFailed, error);
  return sent;
}

std::int32_t TCustomComPort::Read(void* buffer, std::int32_t count) {
  if (!backend_->IsOpen()) throw EComPort(CError_PortNotOpen, -1);
  std::int32_t received = 0;
  if (const int error = backend_->Read(buffer, count, received); error != 0)
    Fail(CError_ReadFailed, error);
  return received;
}

namespace {

TCustomComPort::SetupDialog& InstalledSetupDialog() {
  static TCustomComPort::SetupDialog dialog;
  return dialog;
}

}  // namespace

void TCustomComPort::InstallSetupDialog(SetupDialog dialog) {
  InstalledSetupDialog() = std::move(dialog);
}

void TCustomComPort::ShowSetupDialog() {
  if (!InstalledSetupDialog()) throw Exception("No port setup dialog in this program");
  InstalledSetupDialog()(*this);
}

void TCustomComPort::BeginUpdate() {
  ++updateCount_;
}

void TCustomComPort::EndUpdate() {
  if (updateCount_ == 0) return;
  --updateCount_;
  if (Applying()) ApplySettings();
}

void TCustomComPort::SetPort(const std::string& value) {
  if (!Assign(port_, value) || !connected_) return;
  Close();
  Open();
}

void TCustomComPort::SetBaudRate(TBaudRate value) {
  if (Assign(baudRate_, value)) LineSettingsChanged();
}
void TCustomComPort::SetCustomBaudRate(std::int32_t value) {
  if (Assign(customBaudRate_, value)) LineSettingsChanged();
}
void TCustomComPort::SetDataBits(TDataBits value) {
  if (Assign(dataBits_, value)) LineSettingsChanged();
}
void TCustomComPort::SetStopBits(TStopBits value) {
  if (Assign(stopBits_, value)) LineSettingsChanged();
}
void TCustomComPort::SetDiscardNull(bool value) {
  if (Assign(discardNull_, value)) LineSettingsChanged();
}
SerialLineSettings TCustomComPort::LineSettings() const {
  SerialLineSettings line;
  line.baudRate = baudRate_ == brCustom ? customBaudRate_ : BaudRateValue(baudRate_);
  line.dataBits = 5 + static_cast<int>(dataBits_);
  line.stopBits = stopBits_;
  line.parity = parity_.Bits();
  line.parityCheck = parity_.Check();
  line.replaceOnError = parity_.Check() && parity_.Replace();
  line.errorChar = line.replaceOnError ? parity_.ReplaceChar() : 0;
  line.outCTSFlow = flowControl_.OutCTSFlow();
  line.outDSRFlow = flowControl_.OutDSRFlow();
  line.dtrControl = flowControl_.ControlDTR();
  line.dsrSensitivity = flowControl_.DSRSensitivity();
  line.txContinueOnXoff = flowControl_.TxContinueOnXoff();
  line.outX = flowControl_.XonXoffOut();
  line.inX = flowControl_.XonXoffIn();
  line.discardNull = discardNull_;
  line.rtsControl = flowControl_.ControlRTS();
  line.xonLim = buffer_.InputSize() / 4;
  line.xoffLim = buffer_.InputSize() / 4;
  line.xonChar = flowControl_.XonChar();
  line.xoffChar = flowControl_.XoffChar();
  return line;
}

void TCustomComPort::LineSettingsChanged() {
  if (Applying()) ApplyDCB();
}
void TCustomComPort::TimeoutsChanged() {
  if (Applying()) ApplyTimeouts();
}
void TCustomComPort::BufferChanged() {
  if (Applying()) ApplyBufferSettings();
}

void TCustomComPort::CreateHandle() {
  if (const int error = backend_->Open(port_); error != 0) Fail(CError_OpenFailed, error);
}

void TCustomComPort::DestroyHandle() {
  backend_->Close();
}

void TCustomComPort::ApplySettings() {
  ApplyBufferSettings();
  ApplyDCB();
  ApplyTimeouts();
}

void TCustomComPort::ApplyBufferSettings() {
  if (const int error = backend_->SetQueueSizes(buffer_.InputSize(), buffer_.OutputSize());
      error != 0)
    Fail(CError_SetupComFailed, error);
}

void TCustomComPort::ApplyDCB() {
  if (const int error = backend_->SetLineSettings(LineSettings()); error != 0)
    Fail(CError_SetStateFailed, error);
}

void TCustomComPort::ApplyTimeouts() {
  if (const int error = backend_->SetTimeouts(timeouts_.Values()); error != 0)
    Fail(CError_TimeoutsFailed, error);
}
