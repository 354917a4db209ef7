#include "DebugOutput.h"

#include <QLoggingCategory>

#include <mutex>

Q_LOGGING_CATEGORY(lcDebugOutput, "stavo.debug", QtWarningMsg)

namespace platform {

namespace {
struct HookState {
    std::mutex mutex;
    DebugOutputHook hook;
};

HookState& hookState()
{
    static HookState s;
    return s;
}
} // namespace

void SetDebugOutputHook(DebugOutputHook hook)
{
    auto& s = hookState();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.hook = std::move(hook);
}

void OutputDebugString(const QString& text)
{
    DebugOutputHook hook;
    {
        auto& s = hookState();
        std::lock_guard<std::mutex> lock(s.mutex);
        hook = s.hook;
    }
    if (hook)
        hook(text);
    QString line = text;
    while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    qCDebug(lcDebugOutput).noquote() << line;
}

} // namespace platform
