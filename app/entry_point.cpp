#include "app/entry_point.h"

#include "app/main_dialog.h"
#include "app/message_box.h"
#include "app/session_state.h"
#include "link/link_session.h"

int RunSoundModule(FrontEnd& frontEnd) {
  ClearSessionTables();
  // A link client that cannot start does not stop the module: the link steps of the
  // start-up sequence then fail with their own boxes.
  if (Failed(InitDirectPlay())) {
    ShowMessageBox(nullptr, "Failed on InitDirectPlay, please report this error.", "Fatal Error!",
                   MB_ICONERROR);
  }
  frontEnd.RunDialog(DialogProc);
  return 1;
}
