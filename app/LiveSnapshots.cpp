#include "LiveSnapshots.h"

#include "StavoDlg.h"

#include "tessel/MyDialog.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

namespace stavo {

namespace {
CStavoDlg* mainWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<CStavoDlg*>(w))
            return d;
    return nullptr;
}
} // namespace

LiveSnapshots::LiveSnapshots()
{
    m_dir = qEnvironmentVariable("STAVO_SNAPSHOT_DIR");
    if (m_dir.isEmpty())
        return;
    QDir().mkpath(m_dir);
    bool ok = false;
    const int after = qEnvironmentVariableIntValue("STAVO_SNAPSHOT_TABS_AFTER", &ok);
    if (ok && after >= 0)
        m_tabsAfter = after;
    m_exitAfterTabs = qEnvironmentVariableIsSet("STAVO_SNAPSHOT_EXIT_AFTER");
    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &LiveSnapshots::tick);
    m_timer->start(1000);
    std::printf("Rendering the screen to %s/live.png every second (tabs: %s/tab-N.png)\n",
                qPrintable(QDir(m_dir).absolutePath()), qPrintable(QDir(m_dir).absolutePath()));
    std::fflush(stdout);
}

void LiveSnapshots::tick()
{
    CStavoDlg* dlg = mainWindow();
    if (!dlg)
        return;
    ++m_seconds;
    dlg->grab().save(m_dir + QStringLiteral("/live.png"));
    if (!m_tabsDone && m_seconds >= m_tabsAfter) {
        m_tabsDone = true;
        renderTabs();
        if (m_exitAfterTabs)
            dlg->EndDialog(platform::IDCANCEL);
    }
}

void LiveSnapshots::renderTabs()
{
    CStavoDlg* dlg = mainWindow();
    const int count = dlg->m_tab.GetItemCount();
    const int showing = dlg->m_tab.m_nCurPage;
    for (int i = 0; i < count; ++i) {
        // The same path as the keypad takes: focus the tab, then ask the control to switch.
        dlg->m_tab.SetCurFocus(i);
        dlg->m_tab.SetCurSel(i);
        dlg->m_tab.SendMessage(WM_TAB_ARROW_FOCUS, platform::WPARAM(i), 0);
        // Long enough for the receiver's next epoch: pages refresh only while they show.
        QEventLoop showing;
        QTimer::singleShot(1500, &showing, &QEventLoop::quit);
        showing.exec();
        dlg->grab().save(QStringLiteral("%1/tab-%2.png").arg(m_dir).arg(i));
    }
    dlg->m_tab.SetCurFocus(showing);
    dlg->m_tab.SetCurSel(showing);
    dlg->m_tab.SendMessage(WM_TAB_ARROW_FOCUS, platform::WPARAM(showing), 0);
}

} // namespace stavo
