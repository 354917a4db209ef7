// Renders the receiver pages for the documentation, against the receiver named by the port map:
// the parameter page as filled from the receiver, with a cell editor open and with the drop-down
// open, and the NMEA output page after the default set. Usage: receiver_screenshots OUTDIR

#include "app/Pages.h"
#include "app/StavoApp.h"
#include "app/StavoDlg.h"
#include "res/Resources.h"
#include "res/resource.h"

#include "platform/MessageBox.h"

#include "receiver/CellCombo.h"

#include "tests/app/TabTap.h"
#include "tests/app/WaitUntil.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QTest>

#include <cstdio>

namespace {

// The window with any pop-up of it drawn in place, as the screen shows them.
QImage screen(QWidget& window)
{
    QImage img = window.grab().toImage();
    if (QWidget* popup = QApplication::activePopupWidget()) {
        QPainter p(&img);
        p.drawPixmap(popup->mapToGlobal(QPoint(0, 0)) - window.mapToGlobal(QPoint(0, 0)), popup->grab());
    }
    return img;
}

void tapCell(CParamListCtrl& list, int row, int col)
{
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.GetCellRect(row, col, true).center());
    QTest::qWait(50);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: receiver_screenshots OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    res::RegisterResources();
    stavo::ApplySystemColours();
    platform::InstallEnvironmentResponder();

    CStavoApp app;
    if (!app.InitApplication())
        return 1;
    CStavoDlg dlg;
    app.AttachMainWindow(&dlg);
    dlg.Create(IDD_STAVO_DIALOG, nullptr);
    QApplication::setActiveWindow(&dlg);

    auto* page = dynamic_cast<CGPSStatusDlg*>(dlg.Page(stavo::PAGE_STATUS));
    if (!page || !WaitUntil([&] { return !page->m_list.GetItemText(1, 1).isEmpty(); }, 30000)) {
        std::fprintf(stderr, "the parameter page was not filled from the receiver\n");
        return 1;
    }
    // The outputs switched on and a position in the status area, as a user sees the page.
    const QString connecting = dlg.m_stStatus.text();
    WaitUntil([&] { return dlg.m_stStatus.text() != connecting && dlg.m_stNorth.text() != QStringLiteral("--"); },
              20000);
    screen(dlg).save(out + QStringLiteral("/receiver-page.png"));

    tapCell(page->m_list, 3, 1);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("10"));
    screen(dlg).save(out + QStringLiteral("/receiver-page-editor.png"));

    tapCell(page->m_list, 4, 1);
    if (CCellCombo* combo = CParamListCtrl::CellCombo()) {
        combo->showPopup();
        QTest::qWait(100);
        screen(dlg).save(out + QStringLiteral("/receiver-page-dropdown.png"));
        combo->hidePopup();
    }
    page->m_list.setFocus();
    QTest::qWait(50);

    TapTab(dlg.m_tab, stavo::PAGE_COMMANDS);
    auto* nmea = dynamic_cast<CCsiCmdsSendDlg*>(dlg.Page(stavo::PAGE_COMMANDS));
    if (QWidget* button = nmea ? nmea->GetDlgItem(IDC_DEFAULT_OUTPUT) : nullptr)
        QTest::mouseClick(button, Qt::LeftButton);
    QTest::qWait(100);
    screen(dlg).save(out + QStringLiteral("/nmea-page.png"));
    std::printf("%s\n", qPrintable(out));
    return 0;
}
