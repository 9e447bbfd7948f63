// Takes the README's screenshots: the main window after a clock read, and
// the tax group editor reading the bundled printer simulator.
//
//   take-screenshots OUTPUT_FOLDER
//
// Run it under a real display (Xvfb will do) so the fonts and the look are
// those a user sees.
#include <QApplication>
#include <QTest>
#include <QTimer>

#include "gui/qt/MainPDV.h"
#include "gui/qt/P11_Porezi.h"
#include "gui/qt/Startup.h"
#include "tools/simulator/PrinterSimulator.h"

namespace {

void Save(QWidget* window, const QString& path) {
  if (!window->grab().save(path)) qFatal("cannot write %s", qPrintable(path));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) qFatal("usage: take-screenshots OUTPUT_FOLDER");
  const QString folder = QString::fromLocal8Bit(argv[1]);

  sim::PrinterSimulator printer;
  printer.SetEnableMask("11110000");
  printer.SetRates({"20.00", "10.00", "0.00", "8.00", "0.00", "0.00", "0.00", "0.00"});
  ProgramForms forms;
  FormMainPDV->ComPortFiskal->SetPort(printer.PortPath());
  FormMainPDV->show();
  if (!QTest::qWaitForWindowExposed(FormMainPDV)) qFatal("the main window was never shown");
  Save(FormMainPDV, folder + "/main-window.png");

  QTimer::singleShot(500, [&] {
    Save(FormPorezi, folder + "/tax-groups.png");
    FormPorezi->close();
  });
  QTest::keyClicks(FormMainPDV, "2");
  return 0;
}
