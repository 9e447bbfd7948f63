#include <QApplication>

#include "gui/qt/CPortSetup.h"
#include "serial/CPort.h"
#include "tests/support/GuiTestSupport.h"

int RunGuiTests(int argc, char** argv) {
  TCustomComPort::InstallSetupDialog(ShowComSetupDialog);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  return WithPrivateRuntimeDir([&] {
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
  });
}
