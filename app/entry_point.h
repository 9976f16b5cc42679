// The module's entry steps: clear the tables, start the link client, run the dialog.
// Main thread only; it becomes the dialog thread.
#pragma once

#include "app/front_end.h"

// Returns 1 once the dialog has ended (normally WM_DESTROY ends the process first).
int RunSoundModule(FrontEnd& frontEnd);
