// The device form: owner of the one command record and the checked layer.
//
// RunChecked turns the record's result codes into exceptions carrying a
// finished message for the user ("description\nErrorText"), with the
// paper-out wait built in. After a link failure (codes 3, 4, 5, 7) the
// program cannot go on without its printer and ends, but only once the user
// has read why: RunChecked notes it (LinkLost), and whoever shows the message
// calls EndProgramIfLinkLost after the user has closed it. Asking earlier
// would close the message as soon as it opened. The notice and the terminate
// request reach this layer through DeviceUserInterface, so the window program
// and the command-line tool share it.
#pragma once

#include <cstdint>
#include <string>

#include "fiscal/P00_fpcommand.h"
#include "framework/DateTime.h"

class DeviceUserInterface {
 public:
  virtual ~DeviceUserInterface() = default;
  // Shows an 8-bit text to the user and returns when it was dismissed.
  virtual void ShowNotice(const std::string& deviceText) = 0;
  // Shows the message catalog's entry `index` (P00_KVMsgDlg.h) the same way;
  // the paper-out notice is kPaperOutNotice.
  virtual void ShowCatalogNotice(std::int32_t index) = 0;
  // Asks the program to end once control is back in its event loop.
  virtual void RequestTerminate() = 0;
};

class TFormFP {
 public:
  explicit TFormFP(DeviceUserInterface& ui);

  FPCommand00 FPCommand;
  std::int32_t StoredCommand = 0;
  std::string StoredData;

  void RunChecked(std::int32_t command, const std::string& data, const std::string& description);
  bool IsLinkFailure() const;
  bool IsPaperOut() const;
  bool WaitForPaper();
  // Shows a failure in the notice and gives the zero date-time; after a link
  // failure it asks the program to end once the notice is dismissed.
  TDateTime ReadDeviceDateTime();
  void PrintDailyReport(const std::string& option);

  // Whether the last RunChecked ended in a link failure.
  bool LinkLost() const { return linkLost_; }
  // Asks the program to end when the last RunChecked lost the link.
  void EndProgramIfLinkLost();

 private:
  // One exchange of the stored command, the window busy meanwhile.
  void ExecuteStored();

  DeviceUserInterface& ui_;
  bool linkLost_ = false;
};

extern TFormFP* FormFP;

// The printer's clock reply "D-M-YY h:m:s" (decimal numbers as scanf's %d
// reads them, the year counted from 2000) as a date-time; zero when the text
// does not yield all six numbers or they make no valid date and time.
TDateTime DeviceClockToDateTime(const std::string& replyData);
