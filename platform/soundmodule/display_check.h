// Whether a window can be shown: a display named in the environment, or a Qt platform
// chosen explicitly (such as offscreen). Checked before any toolkit starts. Main thread.
#pragma once

bool DisplayAvailable();
