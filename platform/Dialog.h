#pragma once
// A dialog built from a numbered template: modal (a top-level window with its own event loop) or
// modeless (a page living inside another window). Controls are made from the template; a member
// control of the dialog's own class takes over a template control through DDX_Control, keeping its
// id, place, text and style. Buttons report WM_COMMAND with their id; commands 1 (OK) and 2
// (Cancel) end a modal dialog unless the derived class decides otherwise.

#include "Window.h"

#include <QDialog>

class QEventLoop;

namespace platform {

struct DialogTemplate;

class Dialog : public QDialog, public Window {
    Q_OBJECT
public:
    explicit Dialog(UINT templateId = 0, QWidget* parent = nullptr);
    ~Dialog() override;

    UINT TemplateId() const { return m_templateId; }

    // Modeless: builds the window from the template as a child of parent and initialises it.
    BOOL Create(UINT templateId, QWidget* parent);
    // Modal: builds, initialises and runs the dialog until EndDialog; returns the code given to
    // it. Hiding the window does not end it (a main window hidden to the notification area runs on).
    int DoModal();
    void EndDialog(int result);
    bool IsModal() const { return m_modal; }

    QWidget* GetDlgItem(int id) const;
    void SetDlgItemText(int id, const QString& text);
    QString GetDlgItemText(int id) const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    QString ClassName() const override { return QStringLiteral("Dialog"); }

    // Lays the template's controls out again for the current screen (size change).
    void RelayoutFromTemplate();
    // The same, squeezed vertically when the window is shorter than the template, so that every
    // control stays reachable (a page template taller than the page area under the tabs).
    void FitTemplateToHeight();

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(bool saveAndValidate);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void OnOK();
    virtual void OnCancel();

    // Binds a member control to the template control id: it takes the control's place.
    void DDX_Control(int id, QWidget& control);

    // Qt plumbing: Enter and Escape and the close button become commands 1 and 2.
    void keyPressEvent(QKeyEvent* e) override;
    void reject() override;
    void accept() override;
    void closeEvent(QCloseEvent* e) override;
    // A dialog given the focus passes it on to its first control that takes focus, as dialogs do.
    void focusInEvent(QFocusEvent* e) override;

private:
    void buildControls(const DialogTemplate& t);
    QWidget* makeControl(int index, const struct ControlTemplate& c);
    void layOutFromTemplate(double verticalScale);

    UINT m_templateId;
    bool m_modal = false;
    bool m_built = false;
    bool m_ending = false;
    QEventLoop* m_loop = nullptr; // the modal loop while DoModal runs
};

} // namespace platform
