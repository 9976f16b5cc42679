// The windowed front end: the application object with the module's metadata and icon,
// message boxes as Qt boxes, and the dialog run modally. Main (GUI) thread.
#pragma once

#include <memory>

#include <QApplication>

#include "app/front_end.h"
#include "platform/qt/qt_message_boxes.h"

// The application object; argc and argv must outlive it.
std::unique_ptr<QApplication> CreateQtApplication(int& argc, char** argv);

class QtFrontEnd : public FrontEnd {
 public:
  // Installs the Qt message boxes for the front end's lifetime.
  explicit QtFrontEnd(void (*onActivation)(bool active));
  ~QtFrontEnd() override;
  QtFrontEnd(const QtFrontEnd&) = delete;
  QtFrontEnd& operator=(const QtFrontEnd&) = delete;

  int RunDialog(DialogProcedure procedure) override;

 private:
  GuiThreadTasks gui_;
  QtMessageBoxes boxes_{gui_};
  void (*onActivation_)(bool active);
};
