#include <QApplication>
#include <iostream>
#include <stdexcept>

#include "gui/qt/CPortSetup.h"
#include "serial/CPort.h"
#include "tests/support/GuiTestSupport.h"

int RunGuiTests(int argc, char** argv) {
  TCustomComPort::InstallSetupDialog(ShowComSetupDialog);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  std::optional<TemporaryRuntimeDir> runtime;
  try {
    runtime.emplace();
  } catch (const std::runtime_error& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
