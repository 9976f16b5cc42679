// The end of the process. Other threads (the link client's workers, the sound output,
// the input reader) may still run module code when it comes, so the end never destroys
// anything they can reach: it finishes the outputs a user relies on, then ends without
// running static destructors or exit handlers. Any thread.
#pragma once

// A step that makes one output complete: a log flushed, a file's header written. It
// may take a lock for good, so that no thread writes half a record after it. Steps run
// in the order they were added. Any thread, before EndProcess.
using ProcessEndStep = void (*)();
void AddProcessEndStep(ProcessEndStep step);

// Runs the steps once, flushes stdout and stderr and ends the process with code. A
// second caller waits for the first one's end. Under the leak checker the leaks are
// checked here, since the exit handlers that would check them never run.
[[noreturn]] void EndProcess(int code);
