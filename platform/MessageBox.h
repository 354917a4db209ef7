#pragma once
// Message boxes with the handheld's flags and results, shown with Chinese button texts. A responder
// set by a test (or by STAVO_MSGBOX_LOG for process tests) answers and records boxes without showing
// anything, so no test ever blocks on a modal box.

#include "WinTypes.h"

#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace platform {

struct MessageBoxCall {
    QString text;
    QString caption;
    UINT type = 0;   // MB_* flags as given
    int result = 0;  // ID* value returned
};

using MessageBoxResponder = std::function<int(const MessageBoxCall&)>;

// Shows (or has the responder answer) a box; returns IDOK, IDCANCEL, IDYES, IDNO, ...
int MessageBox(QWidget* owner, const QString& text, const QString& caption = QString(), UINT type = MB_OK);

// The result a box gives when dismissed without choice: its first button (IDOK or IDYES...).
int DefaultMessageBoxResult(UINT type);

// Installs a responder (null restores real boxes). Every box answered by a responder is recorded.
void SetMessageBoxResponder(MessageBoxResponder responder);
const std::vector<MessageBoxCall>& MessageBoxLog();
void ClearMessageBoxLog();

// For process tests: when the environment names STAVO_MSGBOX_LOG, boxes are answered from the
// comma-separated list in STAVO_MSGBOX_ANSWERS (then by their first button) and each is appended to
// that file as one line: "<type> <result> <text with \n escaped>".
void InstallEnvironmentResponder();

} // namespace platform
