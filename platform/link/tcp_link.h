// Puts the TCP link behind the module's client creation. Main thread, once, before
// InitDirectPlay.
#pragma once

void UseTcpLinkTransport();
