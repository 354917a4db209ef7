#pragma once
// One running copy per data folder. A lock file decides which copy runs; a local server beside it
// takes the second copy's "come forward" request, which the first copy honours only while its main
// window carries the property "STAVO".

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;
#include <QWidget>

namespace platform {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the only copy; the lock is then held until destruction. When false, the
    // running copy has been asked to come forward.
    bool acquire();

    // The window that comes forward on request (if it carries the property).
    void setWindow(QWidget* w) { m_window = w; }

    static const char* propertyName() { return "STAVO"; }

    // After a failed acquire: the running copy's answer, "raised" or "ignored" (empty if none came).
    QString reply() const { return m_reply; }

signals:
    void forwardRequested(bool honoured);

private:
    void onConnection();
    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    QPointer<QWidget> m_window;
    QString m_reply;
};

// Brings a window forward in its normal state, as a tap on its icon does.
void BringForward(QWidget* w);

} // namespace platform
