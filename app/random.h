// The module's one pseudo-random generator: a fixed sequence, the same in every run,
// shared by every thread. Any thread.
#pragma once

namespace sm {

// Next draw, 0..32767: state = state * 214013 + 2531011, draw = bits 16..30.
int rand();

}  // namespace sm
