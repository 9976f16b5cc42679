// Bringing back the loops an audio device lost: every sound of the bank and the ship's
// three sounds that were looping when the device went away loop again once it is back.
// Dialog thread only (once per running tick); never waits for the device.
#pragma once

void ResumeLostLoops();
