// Puts the DirectPlay 8 link behind the module's client creation. Main thread, once,
// before InitDirectPlay.
#pragma once

void UseDirectPlayTransport();
