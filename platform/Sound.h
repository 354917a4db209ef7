#pragma once
// The system's alert sounds. Each sound can also be recorded, so that a test can tell that a refusal
// was signalled without listening for it.

#include "WinTypes.h"

#include <vector>

namespace platform {

// Plays the alert for the message-box icon type (MB_ICONEXCLAMATION, MB_OK, ...); always TRUE.
BOOL MessageBeep(UINT type);

// While recording, every MessageBeep is appended to the log (and no sound is made).
void SetBeepRecording(bool on);
const std::vector<UINT>& BeepLog();
void ClearBeepLog();

} // namespace platform
