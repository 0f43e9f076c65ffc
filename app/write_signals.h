#pragma once

namespace zentrova {

// A file-size limit or a reader that went away makes a write fail with its reason, told and
// counted like any other failure, instead of ending the program halfway through a save.
// Programs started later begin with the signals' defaults again (see platform/system's Shell).
void TakeWriteSignalsAsFailures();

}  // namespace zentrova
