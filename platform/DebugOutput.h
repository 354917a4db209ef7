#pragma once
// The system's debug output: texts a program writes for a developer watching the device. Here they
// go to the logging category "stavo.debug" (shown with QT_LOGGING_RULES=stavo.debug=true), without
// the line end the text may carry; tests install a hook that receives each text exactly as written.

#include <QString>

#include <functional>

namespace platform {

void OutputDebugString(const QString& text);

using DebugOutputHook = std::function<void(const QString&)>;
void SetDebugOutputHook(DebugOutputHook hook);

} // namespace platform
