#include "platform/qt/qt_front_end.h"

#include <QIcon>

#include "platform/qt/latin1_text.h"
#include "platform/qt/qt_dialog.h"
#include "resources/version_info.h"

std::unique_ptr<QApplication> CreateQtApplication(int& argc, char** argv) {
  auto application = std::make_unique<QApplication>(argc, argv);
  QApplication::setApplicationName(Latin1Text(FILE_DESCRIPTION));
  QApplication::setOrganizationName(Latin1Text(COMPANY_NAME));
  QApplication::setApplicationVersion(Latin1Text(VERSION_TEXT));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/soundmodule.png")));
  return application;
}

QtFrontEnd::QtFrontEnd(void (*onActivation)(bool active)) : onActivation_(onActivation) {
  SetMessageBoxPresenter(&boxes_);
}

QtFrontEnd::~QtFrontEnd() { SetMessageBoxPresenter(nullptr); }

// A dialog ended while it opened (no sound device) is never shown.
int QtFrontEnd::RunDialog(DialogProcedure procedure) {
  QtDialog dialog(procedure, onActivation_);
  procedure(&dialog, WM_INITDIALOG, 0, 0);
  if (!dialog.Ended()) {
    dialog.exec();
  }
  procedure(&dialog, WM_DESTROY, 0, 0);
  return dialog.Result();
}
