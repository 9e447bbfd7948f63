#include <QTest>

#include "gui/qt/MainPDV.h"
#include "gui/qt/Startup.h"
#include "tests/support/GuiTestSupport.h"

ProgramFormsTest::ProgramFormsTest() : portName_(printer_.PortPath()) {}

ProgramFormsTest::ProgramFormsTest(const std::string& portName) : portName_(portName) {
  printer_.Publish(portName);
}

ProgramFormsTest::~ProgramFormsTest() = default;

void ProgramFormsTest::SetUp() {
  forms_ = std::make_unique<ProgramForms>();
  Port().SetPort(portName_);
  Window().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
}

void ProgramFormsTest::TearDown() {
  forms_.reset();
}

TFormMainPDV& ProgramFormsTest::Window() {
  return *FormMainPDV;
}

TComPort& ProgramFormsTest::Port() {
  return *FormMainPDV->ComPortFiskal;
}
