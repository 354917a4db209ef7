#include "Dialog.h"

#include "Controls.h"
#include "DialogTemplate.h"
#include "Screen.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QAbstractItemView>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {
const char* const kTemplateIndex = "_tmpl_index";

Qt::Alignment staticAlignment(DWORD style)
{
    switch (style & 0x3) {
    case SS_CENTER: return Qt::AlignHCenter | Qt::AlignTop;
    case SS_RIGHT: return Qt::AlignRight | Qt::AlignTop;
    default: return Qt::AlignLeft | Qt::AlignTop;
    }
}

DWORD buttonType(DWORD style) { return style & 0xF; }

// The list drops below the box, as the handheld's does: the default style would lay it over the box
// instead, ignoring the count of entries to show and growing to the screen's height. A list made
// before that took the other style's arrows instead of the template's scroll bar. A style of its own
// rather than a style sheet: a style sheet would leave the box's edit field in the application's
// small default font instead of the dialog's.
class DropBelowStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

void dropListBelow(QComboBox* combo)
{
    static QPointer<QStyle> below;
    if (!below) {
        // The proxy owns its base, so it gets a fresh copy of the application's style.
        below = new DropBelowStyle(QStyleFactory::create(QApplication::style()->name()));
        below->setParent(qApp);
    }
    if (combo->style() == below)
        return;
    combo->setStyle(below);
    combo->view()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

// A combo box's template height is its height with the list dropped: the box keeps its own height
// and the list shows as many entries as the rest holds.
void placeControl(QWidget* w, const QRect& r)
{
    auto* combo = qobject_cast<QComboBox*>(w);
    if (!combo) {
        w->setGeometry(r);
        return;
    }
    const int h = std::min(r.height(), combo->sizeHint().height());
    combo->setGeometry(r.x(), r.y(), r.width(), h);
    combo->setMaxVisibleItems(std::max(1, (r.height() - h) / (combo->fontMetrics().lineSpacing() + 4)));
    dropListBelow(combo);
}
} // namespace

Dialog::Dialog(UINT templateId, QWidget* parent) : QDialog(parent), Window(this), m_templateId(templateId)
{
    if (const DialogTemplate* t = FindDialogTemplate(templateId); t && t->child)
        setWindowFlags(Qt::Widget);
}

Dialog::~Dialog()
{
    if (m_loop)
        m_loop->exit(IDCANCEL);
}

BOOL Dialog::Create(UINT templateId, QWidget* parent)
{
    m_templateId = templateId;
    const DialogTemplate* t = FindDialogTemplate(templateId);
    setParent(parent, Qt::Widget);
    m_modal = false;
    if (t)
        buildControls(*t);
    OnInitDialog();
    return TRUE;
}

int Dialog::DoModal()
{
    const DialogTemplate* t = FindDialogTemplate(m_templateId);
    m_modal = true;
    m_ending = false;
    if (t)
        buildControls(*t);
    OnInitDialog();
    if (m_ending)
        return result();
    // The dialog's own loop rather than QDialog::exec(), which ends as soon as the window is hidden.
    QPointer<QDialog> guard(this);
    const bool wasShowModal = testAttribute(Qt::WA_ShowModal);
    setAttribute(Qt::WA_ShowModal, true);
    setResult(0);
    show();
    QEventLoop loop;
    m_loop = &loop;
    const int code = loop.exec(QEventLoop::DialogExec);
    if (!guard)
        return code;
    m_loop = nullptr;
    setAttribute(Qt::WA_ShowModal, wasShowModal);
    return code;
}

void Dialog::EndDialog(int code)
{
    m_ending = true;
    if (m_modal) {
        done(code);
        if (m_loop)
            m_loop->exit(code);
    } else {
        setResult(code);
        hide();
    }
}

QWidget* Dialog::GetDlgItem(int id) const { return FindControl(this, id); }

void Dialog::SetDlgItemText(int id, const QString& text) { SetWindowText(GetDlgItem(id), text); }

QString Dialog::GetDlgItemText(int id) const { return GetWindowText(GetDlgItem(id)); }

void Dialog::buildControls(const DialogTemplate& t)
{
    if (m_built)
        return;
    m_built = true;
    if (!t.caption.isEmpty())
        setWindowTitle(t.caption);
    const QSize base = DialogBaseUnits(t.fontFace, t.pointSize);
    // The template's font, for the dialog and every control it makes: point size at the screen's dpi.
    setFont(Screen::pointFont(t.pointSize));
    resize(MapDialogRect(QRect(0, 0, t.w, t.h), base).size());
    QButtonGroup* radioGroup = nullptr;
    for (std::size_t i = 0; i < t.controls.size(); ++i) {
        const ControlTemplate& c = t.controls[i];
        QWidget* w = makeControl(int(i), c);
        const DWORD type = buttonType(c.style);
        const bool radio = c.kind == ControlKind::Button && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
        if (radio) {
            if (!radioGroup || (c.style & WS_GROUP)) {
                radioGroup = new QButtonGroup(this);
                radioGroup->setExclusive(type == BS_AUTORADIOBUTTON);
            }
            radioGroup->addButton(static_cast<QAbstractButton*>(w));
        } else {
            radioGroup = nullptr;
        }
        placeControl(w, MapDialogRect(QRect(c.x, c.y, c.w, c.h), base));
        w->setVisible(c.style & WS_VISIBLE);
        w->setEnabled(!(c.style & WS_DISABLED));
    }
}

QWidget* Dialog::makeControl(int index, const ControlTemplate& c)
{
    QWidget* w = nullptr;
    switch (c.kind) {
    case ControlKind::Static: {
        auto* l = new QLabel(c.text, this);
        l->setAlignment(staticAlignment(c.style));
        l->setWordWrap(true);
        w = l;
        break;
    }
    case ControlKind::Button: {
        const DWORD type = buttonType(c.style);
        QAbstractButton* b = nullptr;
        if (type == BS_GROUPBOX) {
            w = new QGroupBox(c.text, this);
            break;
        }
        if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX)
            b = new QCheckBox(c.text, this);
        else if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
            b = new QRadioButton(c.text, this);
        else {
            auto* p = new QPushButton(c.text, this);
            p->setAutoDefault(false);
            p->setDefault(type == BS_DEFPUSHBUTTON);
            b = p;
        }
        connect(b, &QAbstractButton::clicked, this, [this, b] {
            SendMessage(WM_COMMAND, MAKELONG(WORD(GetDlgCtrlID(b)), BN_CLICKED), LPARAM(b));
        });
        w = b;
        break;
    }
    case ControlKind::Edit: {
        auto* e = new QLineEdit(c.text, this);
        if (c.style & ES_READONLY)
            e->setReadOnly(true);
        w = e;
        break;
    }
    case ControlKind::ComboBox: w = new QComboBox(this); break;
    case ControlKind::ListBox: w = new QListWidget(this); break;
    case ControlKind::ListView: w = new QTreeWidget(this); break;
    case ControlKind::TabControl:
    case ControlKind::Custom: w = new QWidget(this); break;
    }
    SetDlgCtrlID(w, c.id);
    SetStyle(w, c.style);
    w->setProperty(kTemplateIndex, index);
    if (c.kind == ControlKind::Custom || c.kind == ControlKind::TabControl)
        SetWindowText(w, c.text);
    return w;
}

void Dialog::DDX_Control(int id, QWidget& control)
{
    QWidget* old = GetDlgItem(id);
    if (old == &control)
        return;
    control.setParent(this);
    SetDlgCtrlID(&control, id);
    if (old) {
        SetStyle(&control, GetStyle(old));
        control.setProperty(kTemplateIndex, old->property(kTemplateIndex));
        control.setGeometry(old->geometry());
        SetWindowText(&control, GetWindowText(old));
        control.setEnabled(old->isEnabled());
        control.stackUnder(old);
        control.setVisible(!old->isHidden());
        auto* oldCombo = qobject_cast<QComboBox*>(old);
        if (auto* combo = qobject_cast<QComboBox*>(&control); combo && oldCombo) {
            combo->setMaxVisibleItems(oldCombo->maxVisibleItems());
            dropListBelow(combo);
        }
        delete old;
    }
    if (Window* w = Window::FromWidget(&control))
        w->PreSubclassWindow();
}

void Dialog::RelayoutFromTemplate() { layOutFromTemplate(1.0); }

void Dialog::FitTemplateToHeight()
{
    const DialogTemplate* t = FindDialogTemplate(m_templateId);
    if (!t || height() <= 0)
        return;
    const QSize base = DialogBaseUnits(t->fontFace, t->pointSize);
    const int templateHeight = MapDialogRect(QRect(0, 0, t->w, t->h), base).height();
    layOutFromTemplate(templateHeight > height() ? double(height()) / templateHeight : 1.0);
}

void Dialog::layOutFromTemplate(double verticalScale)
{
    const DialogTemplate* t = FindDialogTemplate(m_templateId);
    if (!t)
        return;
    const QSize base = DialogBaseUnits(t->fontFace, t->pointSize);
    for (QWidget* c : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QVariant v = c->property(kTemplateIndex);
        if (!v.isValid())
            continue;
        const int i = v.toInt();
        if (i < 0 || std::size_t(i) >= t->controls.size())
            continue;
        const ControlTemplate& ct = t->controls[std::size_t(i)];
        QRect r = MapDialogRect(QRect(ct.x, ct.y, ct.w, ct.h), base);
        if (verticalScale != 1.0) {
            const int top = int(std::lround(r.top() * verticalScale));
            const int bottom = int(std::lround((r.top() + r.height()) * verticalScale));
            r = QRect(r.left(), top, r.width(), bottom - top);
        }
        placeControl(c, r);
    }
}

BOOL Dialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void Dialog::DoDataExchange(bool) {}

BOOL Dialog::UpdateData(BOOL saveAndValidate)
{
    DoDataExchange(saveAndValidate != FALSE);
    return TRUE;
}

LRESULT Dialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: return OnCommand(wParam, lParam);
    case WM_NEXTDLGCTL:
        // wParam 0: next control, nonzero: previous (lParam 0 means wParam is a direction).
        focusNextPrevChild(wParam == 0);
        return 0;
    default: return Window::WindowProc(message, wParam, lParam);
    }
}

BOOL Dialog::PreTranslateMessage(MSG*) { return FALSE; }

BOOL Dialog::OnCommand(WPARAM wParam, LPARAM)
{
    switch (LOWORD(wParam)) {
    case IDOK: OnOK(); return TRUE;
    case IDCANCEL: OnCancel(); return TRUE;
    default: return FALSE;
    }
}

// A page living inside another window is never ended by Enter or Escape; only modal dialogs end.
void Dialog::OnOK()
{
    if (m_modal) {
        UpdateData(TRUE);
        EndDialog(IDOK);
    }
}

void Dialog::OnCancel()
{
    if (m_modal)
        EndDialog(IDCANCEL);
}

void Dialog::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* b = qobject_cast<QPushButton*>(focusWidget()); b && b->isEnabled()) {
            b->click();
        } else {
            SendMessage(WM_COMMAND, IDOK, 0);
        }
        e->accept();
        return;
    case Qt::Key_Escape:
        SendMessage(WM_COMMAND, IDCANCEL, 0);
        e->accept();
        return;
    default: QDialog::keyPressEvent(e); return;
    }
}

void Dialog::reject()
{
    if (m_ending) {
        QDialog::reject();
        return;
    }
    SendMessage(WM_COMMAND, IDCANCEL, 0);
}

void Dialog::accept()
{
    if (m_ending) {
        QDialog::accept();
        return;
    }
    SendMessage(WM_COMMAND, IDOK, 0);
}

void Dialog::closeEvent(QCloseEvent* e)
{
    if (m_ending || !m_modal) {
        QDialog::closeEvent(e);
        return;
    }
    e->ignore();
    SendMessage(WM_COMMAND, IDCANCEL, 0);
}

} // namespace platform

namespace platform {

void Dialog::focusInEvent(QFocusEvent* e)
{
    QDialog::focusInEvent(e);
    if (QApplication::focusWidget() != this)
        return;
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if (isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(this) && w->isEnabled()) {
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

} // namespace platform
