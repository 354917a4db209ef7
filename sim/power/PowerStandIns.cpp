#include "PowerStandIns.h"

#include "GpsDriverStandIn.h"
#include "PowerManagerStandIn.h"
#include "PowerSwitch.h"

#include <QSemaphore>
#include <QThread>

namespace stavo::sim {

namespace {

class StandInThread : public QThread {
public:
    StandInThread(const SimOptions& options, const std::string& slave, std::function<void(bool)> onChange)
        : m_options(options), m_slave(slave), m_onChange(std::move(onChange))
    {
    }
    QSemaphore ready;
    bool ok = false;

protected:
    void run() override
    {
        PowerSwitch power(!m_options.powerOff, m_onChange, QString::fromStdString(m_options.linkPath),
                          QString::fromStdString(m_slave), m_options.replugMs);
        std::unique_ptr<GpsDriverStandIn> driver;
        std::unique_ptr<platform::DeviceHost> host;
        bool fine = true;
        if (m_options.powerDriver) {
            driver = std::make_unique<GpsDriverStandIn>(power);
            host = std::make_unique<platform::DeviceHost>(QStringLiteral("GPD1:"), driver.get());
            fine = host->listen();
        }
        std::unique_ptr<PowerManagerStandIn> manager;
        if (m_options.powerManager) {
            manager = std::make_unique<PowerManagerStandIn>(power, m_options.powerAnswerMs);
            fine = fine && manager->published();
        }
        ok = fine;
        ready.release();
        exec();
        // Destroyed here, on their thread; the registry values go with them.
        manager.reset();
        host.reset();
    }

private:
    SimOptions m_options;
    std::string m_slave;
    std::function<void(bool)> m_onChange;
};

}  // namespace

PowerStandIns::PowerStandIns(const SimOptions& options, std::string slavePath, std::function<void(bool)> onChange)
    : m_options(options), m_slave(std::move(slavePath)), m_onChange(std::move(onChange))
{
}

PowerStandIns::~PowerStandIns()
{
    if (m_thread) {
        m_thread->quit();
        m_thread->wait();
    }
}

bool PowerStandIns::start()
{
    auto* thread = new StandInThread(m_options, m_slave, m_onChange);
    m_thread.reset(thread);
    thread->start();
    thread->ready.acquire();
    return thread->ok;
}

}  // namespace stavo::sim
