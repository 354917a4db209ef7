#include "Sound.h"

#include <QApplication>

namespace platform {

namespace {
struct BeepState {
    bool recording = false;
    std::vector<UINT> log;
};
BeepState& state()
{
    static BeepState s;
    return s;
}
} // namespace

BOOL MessageBeep(UINT type)
{
    if (state().recording) {
        state().log.push_back(type);
        return TRUE;
    }
    QApplication::beep();
    return TRUE;
}

void SetBeepRecording(bool on) { state().recording = on; }
const std::vector<UINT>& BeepLog() { return state().log; }
void ClearBeepLog() { state().log.clear(); }

} // namespace platform
