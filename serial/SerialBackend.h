// The narrow interface between the serial port component and the platform.
//
// Every call returns 0 on success or the platform's error number (errno on
// POSIX, GetLastError() on Windows); the component turns numbers into EComPort with its own codes.
// A backend knows nothing of the component's rules beyond the records below.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

enum TBaudRate {
  brCustom,
  br110,
  br300,
  br600,
  br1200,
  br2400,
  br4800,
  br9600,
  br14400,
  br19200,
  br38400,
  br56000,
  br57600,
  br115200,
  br128000,
  br256000
};
enum TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum TFlowControl { fcHardware, fcSoftware, fcNone, fcCustom };

// The complete line-settings record, built anew from the settings each time.
struct SerialLineSettings {
  std::int32_t baudRate = 9600;  // bit/s
  int dataBits = 8;              // 5..8
  TStopBits stopBits = sbOneStopBit;
  TParityBits parity = prNone;
  bool parityCheck = false;
  bool replaceOnError = false;  // parityCheck and Replace both on
  std::uint8_t errorChar = 0;
  bool outCTSFlow = false;
  bool outDSRFlow = false;
  TDTRFlowControl dtrControl = dtrDisable;
  bool dsrSensitivity = false;
  bool txContinueOnXoff = false;
  bool outX = false;  // sending obeys XOFF/XON from the device
  bool inX = false;   // the port paces the device with XOFF/XON
  bool discardNull = false;
  TRTSFlowControl rtsControl = rtsDisable;
  std::int32_t xonLim = 256;
  std::int32_t xoffLim = 256;
  std::uint8_t xonChar = 0x11;
  std::uint8_t xoffChar = 0x13;
};

// Read and write time-outs in milliseconds (the component's Timeouts group).
struct SerialTimeouts {
  std::int32_t ReadInterval;
  std::int32_t ReadTotalMultiplier;
  std::int32_t ReadTotalConstant;
  std::int32_t WriteTotalMultiplier;
  std::int32_t WriteTotalConstant;
};

class SerialBackend {
 public:
  virtual ~SerialBackend() = default;

  // Opens the port by its user-visible name, exclusively.
  virtual int Open(const std::string& portName) = 0;
  virtual int Close() = 0;
  virtual bool IsOpen() const = 0;

  virtual int SetQueueSizes(std::int32_t inputSize, std::int32_t outputSize) = 0;
  virtual int SetLineSettings(const SerialLineSettings& settings) = 0;
  virtual int SetTimeouts(const SerialTimeouts& timeouts) = 0;
  virtual int ReadModemStatus() = 0;  // no modem lines (a pseudo-terminal) is not a failure

  // Blocking transfers bounded by the time-outs last set; `transferred` gets
  // the bytes actually moved. A time-out is success with fewer bytes.
  virtual int Read(void* buffer, std::int32_t count, std::int32_t& transferred) = 0;
  virtual int Write(const void* buffer, std::int32_t count, std::int32_t& transferred) = 0;

  virtual int Purge(bool input, bool output) = 0;

  // Whether an error number returned above means the device itself is gone
  // (an adapter pulled out, the far end of a pseudo-terminal closed): the
  // port then closes itself, so that the next use opens the device afresh.
  // A line of the tests' own never goes away.
  virtual bool DeviceGone(int /*error*/) const { return false; }
  // One line for the user that explains an error number of the port named
  // `portName`: the device the name stands for, the system's reason and,
  // where there is one, what the user can do about it. Empty: nothing to add.
  virtual std::string ErrorDetail(int /*error*/, const std::string& /*portName*/) const {
    return {};
  }
};

// The backend of the platform the program was built for (termios on Linux,
// the Win32 communications API on Windows); the port uses it when it is
// given none.
std::unique_ptr<SerialBackend> CreatePlatformBackend();
