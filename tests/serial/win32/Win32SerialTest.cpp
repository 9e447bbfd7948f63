// What only the Windows edition has: COM names as device paths, the
// registry's port list, and the error numbers a vanished device gives.
#include <windows.h>
// <windows.h> renames SetPort (winspool's SetPortW) to the port's cost.
#undef SetPort

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "serial/CPort.h"
#include "serial/PortDefaults.h"
#include "serial/PortList.h"
#include "serial/PortNames.h"
#include "serial/win32/Win32Backend.h"
#include "tests/support/DeviceEnd.h"

namespace {

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  for (std::string part; std::getline(in, part, ',');)
    if (!part.empty()) parts.push_back(part);
  return parts;
}

TEST(PortDevicePath, IsTheComNameUnderTheDeviceNamespace) {
  EXPECT_EQ(PortDevicePath("COM3"), "\\\\.\\COM3");
  EXPECT_EQ(PortDevicePath("COM12"), "\\\\.\\COM12");
  EXPECT_EQ(PortDevicePath("\\\\.\\COM4"), "\\\\.\\COM4");
  EXPECT_EQ(PortDevicePath(""), "");
}

// scripts/test-windows.sh registers the ports of $FP_WINE_REGISTERED_PORTS
// (HKLM\Software\Wine\Ports) before it runs this program.
TEST(ListSerialPorts, ListsTheRegistryPortsSortedRegardlessOfCase) {
  const char* registered = std::getenv("FP_WINE_REGISTERED_PORTS");
  if (!registered) GTEST_SKIP() << "FP_WINE_REGISTERED_PORTS not set";
  const std::vector<std::string> ports = ListSerialPorts();
  for (const std::string& name : SplitCommas(registered)) {
    EXPECT_NE(std::find(ports.begin(), ports.end(), name), ports.end()) << name;
  }
  EXPECT_TRUE(std::is_sorted(ports.begin(), ports.end(), PortNameLess));
  // COM10 before COM2, as the setup dialog shows them.
  const auto com10 = std::find(ports.begin(), ports.end(), "COM10");
  const auto com2 = std::find(ports.begin(), ports.end(), "COM2");
  if (com10 != ports.end() && com2 != ports.end()) {
    EXPECT_LT(com10, com2);
  }
}

TEST(ListSerialPorts, EveryListedPortOpensUnderItsName) {
  const char* registered = std::getenv("FP_WINE_REGISTERED_PORTS");
  if (!registered) GTEST_SKIP() << "FP_WINE_REGISTERED_PORTS not set";
  const std::string first = SplitCommas(registered).at(0);
  Win32Backend backend;
  EXPECT_EQ(backend.Open(first), 0) << first;
  backend.Close();
}

TEST(Win32Backend, TellsWhichErrorsMeanTheDeviceIsGone) {
  Win32Backend backend;
  for (int gone : {int(ERROR_NOT_READY), int(ERROR_BROKEN_PIPE), int(ERROR_OPERATION_ABORTED),
                   int(ERROR_DEVICE_REMOVED), int(ERROR_FILE_NOT_FOUND)})
    EXPECT_TRUE(backend.DeviceGone(gone)) << gone;
  for (int other : {0, int(ERROR_INVALID_PARAMETER), int(ERROR_INVALID_HANDLE), int(ERROR_TIMEOUT)})
    EXPECT_FALSE(backend.DeviceGone(other)) << other;
}

TEST(Win32Backend, ErrorDetailNamesTheDeviceTheReasonAndTheRemedy) {
  Win32Backend backend;
  const std::string denied = backend.ErrorDetail(ERROR_ACCESS_DENIED, "COM3");
  EXPECT_EQ(denied.rfind("\\\\.\\COM3: ", 0), 0u) << denied;
  EXPECT_NE(denied.find("ccess"), std::string::npos) << denied;  // "Access denied"
  EXPECT_NE(denied.find("Another program has the port open"), std::string::npos) << denied;
  EXPECT_EQ(denied.find('\n'), std::string::npos) << denied;
  EXPECT_EQ(denied.find('\r'), std::string::npos) << denied;

  const std::string missing = backend.ErrorDetail(ERROR_FILE_NOT_FOUND, "COM42");
  EXPECT_EQ(missing.rfind("\\\\.\\COM42: ", 0), 0u) << missing;
  EXPECT_NE(missing.find("no such port"), std::string::npos) << missing;
  EXPECT_EQ(backend.ErrorDetail(0, "COM1"), "");
}

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

TEST(Win32Backend, ASecondOpenerIsRefusedWhileThePortIsOpen) {
  if (RunningUnderWine()) {
    GTEST_SKIP() << "wine lets a second CreateFileW with share mode 0 open a COM port; "
                    "Windows refuses it with ERROR_ACCESS_DENIED";
  }
  DeviceEnd line;
  Win32Backend holder;
  ASSERT_EQ(holder.Open(line.PortName()), 0);
  Win32Backend second;
  EXPECT_EQ(second.Open(line.PortName()), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(second.IsOpen());
}

TEST(Win32Backend, OpeningAMissingPortGivesFileNotFound) {
  TComPort port;
  SetProgramStartValues(port);
  port.SetPort("COM77");
  try {
    port.Open();
    FAIL() << "opened COM77";
  } catch (const EComPort& error) {
    EXPECT_EQ(error.Code(), CError_OpenFailed);
    EXPECT_EQ(error.WinCode(), ERROR_FILE_NOT_FOUND);
  }
}

TEST(Win32Backend, TimeOutPlansFollowTheComponentsRules) {
  // The program's values: 100 ms interval, 100 ms a byte plus 100 ms.
  Win32ReadPlan plan = PlanWin32Read({100, 100, 100, 100, 1000}, 10);
  EXPECT_FALSE(plan.queuedOnly);
  EXPECT_EQ(plan.interval, 100u);
  EXPECT_EQ(plan.totalConstant, 1100u);
  ASSERT_TRUE(plan.totalMs);
  EXPECT_EQ(*plan.totalMs, 1100u);
  // All-bits interval and no totals: what is queued, at once.
  plan = PlanWin32Read({-1, 0, 0, 0, 0}, 10);
  EXPECT_TRUE(plan.queuedOnly);
  // All-bits interval beside a total: the total alone (not the native
  // "return on the first byte" mode).
  plan = PlanWin32Read({-1, 0, 500, 0, 0}, 10);
  EXPECT_FALSE(plan.queuedOnly);
  EXPECT_EQ(plan.interval, 0u);
  EXPECT_EQ(plan.totalConstant, 500u);
  // An interval alone waits for the first byte without limit.
  plan = PlanWin32Read({50, 0, 0, 0, 0}, 10);
  EXPECT_EQ(plan.interval, 50u);
  EXPECT_FALSE(plan.totalMs);
  // Huge values saturate instead of wrapping in 32 bits.
  plan = PlanWin32Read({0, -1, -1, 0, 0}, 1000);
  EXPECT_EQ(plan.totalConstant, 0xFFFFFFFEu);
  EXPECT_EQ(Win32WriteLimit({0, 0, 0, 100, 1000}, 10).value_or(0), 2000u);
  EXPECT_FALSE(Win32WriteLimit({0, 0, 0, 0, 0}, 10));
}

// The port reports a far end that went away with the error numbers that
// mean "device gone", so the component can close it.
TEST(Win32Backend, AFarEndThatWentAwayIsReportedAsGone) {
  DeviceEnd line;
  Win32Backend backend;
  ASSERT_EQ(backend.Open(line.PortName()), 0);
  ASSERT_EQ(backend.SetTimeouts({0, 0, 3000, 0, 500}), 0);
  line.CloseFarEnd();
  char buffer[8];
  std::int32_t got = 0;
  const int readError = backend.Read(buffer, sizeof buffer, got);
  EXPECT_NE(readError, 0);
  EXPECT_TRUE(backend.DeviceGone(readError)) << readError;
  const int writeError = backend.Write("x", 1, got);
  EXPECT_NE(writeError, 0);
  EXPECT_TRUE(backend.DeviceGone(writeError)) << writeError;
}

}  // namespace
