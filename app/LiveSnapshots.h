#pragma once
// Renders the program's screen to PNG files, for machines without a display and for the
// documentation. Active only when STAVO_SNAPSHOT_DIR names a folder:
//   live.png            the whole window, rewritten every second;
//   tab-<n>.png         each tab once, STAVO_SNAPSHOT_TABS_AFTER seconds after start (default 8);
// and when STAVO_SNAPSHOT_EXIT_AFTER is set, the program ends after the tab pictures.

#include <QObject>
#include <QString>

class QTimer;

namespace stavo {

class LiveSnapshots : public QObject {
public:
    LiveSnapshots();

private:
    void tick();
    void renderTabs();
    QString m_dir;
    int m_seconds = 0;
    int m_tabsAfter = 8;
    bool m_exitAfterTabs = false;
    bool m_tabsDone = false;
    QTimer* m_timer = nullptr;
};

} // namespace stavo
