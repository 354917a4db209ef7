#include "MessageBox.h"

#include "Screen.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

namespace platform {

namespace {

struct BoxState {
    MessageBoxResponder responder;
    std::vector<MessageBoxCall> log;
};

BoxState& state()
{
    static BoxState s;
    return s;
}

struct ButtonSpec {
    int id;
    const char* text;
    QMessageBox::ButtonRole role;
};

std::vector<ButtonSpec> buttonsFor(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, "确定", QMessageBox::AcceptRole}, {IDCANCEL, "取消", QMessageBox::RejectRole}};
    case MB_ABORTRETRYIGNORE:
        return {{IDABORT, "中止", QMessageBox::RejectRole},
                {IDRETRY, "重试", QMessageBox::AcceptRole},
                {IDIGNORE, "忽略", QMessageBox::AcceptRole}};
    case MB_YESNOCANCEL:
        return {{IDYES, "是", QMessageBox::YesRole}, {IDNO, "否", QMessageBox::NoRole},
                {IDCANCEL, "取消", QMessageBox::RejectRole}};
    case MB_YESNO: return {{IDYES, "是", QMessageBox::YesRole}, {IDNO, "否", QMessageBox::NoRole}};
    case MB_RETRYCANCEL: return {{IDRETRY, "重试", QMessageBox::AcceptRole}, {IDCANCEL, "取消", QMessageBox::RejectRole}};
    default: return {{IDOK, "确定", QMessageBox::AcceptRole}};
    }
}

QMessageBox::Icon iconFor(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// The result of Escape or the close button: Cancel or No where the box has one, else its only button.
int escapeResult(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL: return IDCANCEL;
    case MB_YESNO: return IDNO;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    default: return IDOK;
    }
}

} // namespace

int DefaultMessageBoxResult(UINT type)
{
    return buttonsFor(type).front().id;
}

int MessageBox(QWidget* owner, const QString& text, const QString& caption, UINT type)
{
    auto& s = state();
    MessageBoxCall call{text, caption, type, 0};
    if (s.responder) {
        call.result = s.responder(call);
        s.log.push_back(call);
        return call.result;
    }
    QMessageBox box(iconFor(type), caption, text, QMessageBox::NoButton, owner);
    // The handheld's boxes speak in its dialog face at the screen's dpi, as tall as the dialogs'
    // own labels, not in the desktop's small default face.
    box.setFont(Screen::pointFont(9));
    const auto specs = buttonsFor(type);
    std::vector<std::pair<QAbstractButton*, int>> made;
    for (std::size_t i = 0; i < specs.size(); ++i) {
        QPushButton* b = box.addButton(QString::fromUtf8(specs[i].text), specs[i].role);
        made.emplace_back(b, specs[i].id);
        if ((i == 1 && (type & MB_DEFBUTTON2)) || (i == 0 && !(type & MB_DEFBUTTON2)))
            box.setDefaultButton(b);
    }
    box.exec();
    for (const auto& [button, id] : made)
        if (box.clickedButton() == button)
            return id;
    return escapeResult(type);
}

void SetMessageBoxResponder(MessageBoxResponder responder) { state().responder = std::move(responder); }

const std::vector<MessageBoxCall>& MessageBoxLog() { return state().log; }

void ClearMessageBoxLog() { state().log.clear(); }

void InstallEnvironmentResponder()
{
    const QString logPath = qEnvironmentVariable("STAVO_MSGBOX_LOG");
    if (logPath.isEmpty())
        return;
    auto answers = std::make_shared<QStringList>(
        qEnvironmentVariable("STAVO_MSGBOX_ANSWERS").split(QLatin1Char(','), Qt::SkipEmptyParts));
    SetMessageBoxResponder([logPath, answers](const MessageBoxCall& call) {
        int result = DefaultMessageBoxResult(call.type);
        if (!answers->isEmpty())
            result = answers->takeFirst().trimmed().toInt();
        QFile f(logPath);
        if (f.open(QIODevice::Append | QIODevice::WriteOnly)) {
            QString t = call.text;
            t.replace(QLatin1Char('\n'), QLatin1String("\\n"));
            f.write(QStringLiteral("%1 %2 %3\n").arg(call.type).arg(result).arg(t).toUtf8());
        }
        return result;
    });
}

} // namespace platform
