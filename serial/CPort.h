// The serial port component: the one serial line to the printer.
//
// TCustomComPort keeps the line settings, opens and closes the device,
// discards the driver's queues and moves bytes with blocking Write and Read
// calls bounded by the device time-outs. Every failure raises EComPort; no
// operation returns an error value. All operations run on the GUI thread.
//
// A device that is gone (an adapter pulled out, the far end of a
// pseudo-terminal closed: SerialBackend::DeviceGone) leaves nothing worth
// keeping open: the failing operation closes the port before it raises, and
// ClearBuffer, the first step of every exchange, opens the port afresh by its
// name first. So an adapter plugged back in serves the next command.
//
// Platform calls live behind SerialBackend (SerialBackend.h): a POSIX backend
// on termios now; tests and the fuzzer may hand the port another backend.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/Exception.h"
#include "serial/SerialBackend.h"

// EComPort codes.
enum ComErrorCode : std::int32_t {
  CError_OpenFailed = 1,
  CError_WriteFailed = 2,
  CError_ReadFailed = 3,
  CError_PurgeFailed = 5,
  CError_SetStateFailed = 7,
  CError_TimeoutsFailed = 8,
  CError_SetupComFailed = 9,
  CError_ClearComFailed = 10,
  CError_ModemStatFailed = 11,
  CError_PortNotOpen = 24,
};

// The port's exception. Message: the code's text, followed by
// " (Error: <WinCode>)" when the platform's error number is above 0;
// WinCode is -1 when the message carries no number. A non-empty `detail`
// (the backend's ErrorDetail: the device, the system's reason, the remedy)
// follows on a second line, so the first line stays the same everywhere.
class EComPort : public Exception {
 public:
  EComPort(std::int32_t code, std::int32_t winCode, const std::string& detail = {});
  std::int32_t Code() const { return code_; }
  std::int32_t WinCode() const { return winCode_; }

 private:
  std::int32_t code_;
  std::int32_t winCode_;
};

// The code's text alone ("Unable to open com port" for 1, ...).
const char* ComErrorText(std::int32_t code);

class TCustomComPort;

// Settings groups: plain objects owned by the port, each with a back-reference
// so that a changed value is re-applied to an open device.
class TComParity {
 public:
  explicit TComParity(TCustomComPort* port) : ComPort(port) {}
  TParityBits Bits() const { return bits_; }
  void SetBits(TParityBits value);
  bool Check() const { return check_; }
  void SetCheck(bool value);
  bool Replace() const { return replace_; }
  void SetReplace(bool value);
  std::uint8_t ReplaceChar() const { return replaceChar_; }
  void SetReplaceChar(std::uint8_t value);

  TCustomComPort* const ComPort;

 private:
  TParityBits bits_ = prNone;
  bool check_ = false;
  bool replace_ = false;
  std::uint8_t replaceChar_ = 0;
};

class TComFlowControl {
 public:
  explicit TComFlowControl(TCustomComPort* port) : ComPort(port) {}
  bool OutCTSFlow() const { return outCTSFlow_; }
  void SetOutCTSFlow(bool value);
  bool OutDSRFlow() const { return outDSRFlow_; }
  void SetOutDSRFlow(bool value);
  TDTRFlowControl ControlDTR() const { return controlDTR_; }
  void SetControlDTR(TDTRFlowControl value);
  TRTSFlowControl ControlRTS() const { return controlRTS_; }
  void SetControlRTS(TRTSFlowControl value);
  bool XonXoffOut() const { return xonXoffOut_; }
  void SetXonXoffOut(bool value);
  bool XonXoffIn() const { return xonXoffIn_; }
  void SetXonXoffIn(bool value);
  bool DSRSensitivity() const { return dsrSensitivity_; }
  void SetDSRSensitivity(bool value);
  bool TxContinueOnXoff() const { return txContinueOnXoff_; }
  void SetTxContinueOnXoff(bool value);
  std::uint8_t XonChar() const { return xonChar_; }
  void SetXonChar(std::uint8_t value);
  std::uint8_t XoffChar() const { return xoffChar_; }
  void SetXoffChar(std::uint8_t value);

  // The derived mode read and written by the setup dialog. Writing any mode
  // but fcCustom always acts (and re-applies the line settings).
  TFlowControl FlowControl() const;
  void SetFlowControl(TFlowControl mode);

  TCustomComPort* const ComPort;

 private:
  bool outCTSFlow_ = false;
  bool outDSRFlow_ = false;
  TDTRFlowControl controlDTR_ = dtrDisable;
  TRTSFlowControl controlRTS_ = rtsDisable;
  bool xonXoffOut_ = false;
  bool xonXoffIn_ = false;
  bool dsrSensitivity_ = false;
  bool txContinueOnXoff_ = false;
  std::uint8_t xonChar_ = 0x11;
  std::uint8_t xoffChar_ = 0x13;
};

class TComTimeouts {
 public:
  explicit TComTimeouts(TCustomComPort* port) : ComPort(port) {}
  std::int32_t ReadInterval() const { return values_.ReadInterval; }
  void SetReadInterval(std::int32_t value);
  std::int32_t ReadTotalMultiplier() const { return values_.ReadTotalMultiplier; }
  void SetReadTotalMultiplier(std::int32_t value);
  std::int32_t ReadTotalConstant() const { return values_.ReadTotalConstant; }
  void SetReadTotalConstant(std::int32_t value);
  std::int32_t WriteTotalMultiplier() const { return values_.WriteTotalMultiplier; }
  void SetWriteTotalMultiplier(std::int32_t value);
  std::int32_t WriteTotalConstant() const { return values_.WriteTotalConstant; }
  void SetWriteTotalConstant(std::int32_t value);
  const SerialTimeouts& Values() const { return values_; }

  TCustomComPort* const ComPort;

 private:
  SerialTimeouts values_{-1, 0, 0, 100, 1000};
};

class TComBuffer {
 public:
  explicit TComBuffer(TCustomComPort* port) : ComPort(port) {}
  std::int32_t InputSize() const { return inputSize_; }
  void SetInputSize(std::int32_t value);  // a positive odd value is stored one lower
  std::int32_t OutputSize() const { return outputSize_; }
  void SetOutputSize(std::int32_t value);

  TCustomComPort* const ComPort;

 private:
  std::int32_t inputSize_ = 1024;
  std::int32_t outputSize_ = 1024;
};

class TCustomComPort {
 public:
  // With no backend given the platform's own (POSIX termios) is used.
  explicit TCustomComPort(std::unique_ptr<SerialBackend> backend = nullptr);
  virtual ~TCustomComPort();  // closes the port first
  TCustomComPort(const TCustomComPort&) = delete;
  TCustomComPort& operator=(const TCustomComPort&) = delete;

  void Open();
  void Close();
  bool Connected() const { return connected_; }
  // On a device that is gone, reopens the port by its name and discards on
  // the new device; nothing has been sent yet when an exchange calls this.
  void ClearBuffer(bool input, bool output);
  std::int32_t Write(const void* buffer, std::int32_t count);
  std::int32_t Read(void* buffer, std::int32_t count);
  // Runs the port setup dialog modally; the settings change only on "OK".
  // The front end installs the dialog (InstallSetupDialog); without one this
  // raises Exception.
  void ShowSetupDialog();
  using SetupDialog = std::function<void(TCustomComPort&)>;
  static void InstallSetupDialog(SetupDialog dialog);
  void BeginUpdate();
  void EndUpdate();

  const std::string& Port() const { return port_; }
  void SetPort(const std::string& value);  // on an open port: close and reopen at once
  TBaudRate BaudRate() const { return baudRate_; }
  void SetBaudRate(TBaudRate value);
  std::int32_t CustomBaudRate() const { return customBaudRate_; }
  void SetCustomBaudRate(std::int32_t value);
  TDataBits DataBits() const { return dataBits_; }
  void SetDataBits(TDataBits value);
  TStopBits StopBits() const { return stopBits_; }
  void SetStopBits(TStopBits value);
  bool DiscardNull() const { return discardNull_; }
  void SetDiscardNull(bool value);

  TComParity& Parity() { return parity_; }
  const TComParity& Parity() const { return parity_; }
  TComFlowControl& FlowControl() { return flowControl_; }
  const TComFlowControl& FlowControl() const { return flowControl_; }
  TComTimeouts& Timeouts() { return timeouts_; }
  const TComTimeouts& Timeouts() const { return timeouts_; }
  TComBuffer& Buffer() { return buffer_; }
  const TComBuffer& Buffer() const { return buffer_; }

  // The complete line-settings record built from the settings, as handed to
  // the backend each time the line settings are applied.
  SerialLineSettings LineSettings() const;

  // Called by the settings groups when one of their values changed.
  void LineSettingsChanged();
  void TimeoutsChanged();
  void BufferChanged();

 protected:
  // The overridable steps, in slot order.
  virtual void CreateHandle();
  virtual void DestroyHandle();
  virtual void ApplySettings();
  virtual void ApplyBufferSettings();
  virtual void ApplyDCB();
  virtual void ApplyTimeouts();

 private:
  bool Applying() const { return connected_ && updateCount_ == 0; }
  // Raises EComPort for a failed platform call, closing the port first when
  // the device is gone.
  [[noreturn]] void Fail(std::int32_t code, int error);
  // Closes the port on a dead device and opens it again by its name; false
  // when the device is not back (the port stays closed then).
  bool ReopenedAfter(int error);

  std::unique_ptr<SerialBackend> backend_;
  bool connected_ = false;
  int updateCount_ = 0;
  std::string port_ = "COM1";
  TBaudRate baudRate_ = br9600;
  std::int32_t customBaudRate_ = 9600;
  TDataBits dataBits_ = dbEight;
  TStopBits stopBits_ = sbOneStopBit;
  bool discardNull_ = false;
  TComParity parity_{this};
  TComFlowControl flowControl_{this};
  TComTimeouts timeouts_{this};
  TComBuffer buffer_{this};
};

// The class the main window holds; adds no behaviour.
class TComPort : public TCustomComPort {
 public:
  using TCustomComPort::TCustomComPort;
};

// Speed in bit/s of a baud-rate member (0 for brCustom).
std::int32_t BaudRateValue(TBaudRate rate);
