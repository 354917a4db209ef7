#include "SimRunner.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <poll.h>
#include <random>
#include <unistd.h>

#include "OutputFormat.h"

namespace stavo::sim {

namespace {

std::uint64_t seedOf(const SimOptions &o)
{
    if (o.seed)
        return *o.seed;
    std::random_device rd;
    return (static_cast<std::uint64_t>(rd()) << 32) ^ rd();
}

std::int64_t nowUtcMs()
{
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count() * 1000;
}

// Sentence types in the order an epoch puts them out.
constexpr std::array<const char *, 9> kNmeaOrder{"GGA", "GLL", "GSA", "GST", "GSV", "RMC", "VTG", "ZDA", "RRE"};
constexpr std::array<int, 3> kBinaryOrder{1, 99, 96};

bool due(std::int64_t epoch, RateTenths rate)
{
    // Rates are 5, 1 and 0.2 Hz: every 1, 5 or 25 epochs of 200 ms.
    if (rate <= 0)
        return false;
    const std::int64_t every = std::max<std::int64_t>(1, 50 / rate);
    return epoch % every == 0;
}

SimReceiver::Saver saverFor(const SimOptions &options)
{
    if (options.statePath.empty())
        return SimReceiver::Saver();
    return [path = options.statePath](const SimSettings &s) { return saveStateFile(path, s); };
}

}  // namespace

SimSettings powerUpSettings(const SimOptions &options)
{
    SimSettings settings = SimSettings::factoryDefaults();
    if (!options.statePath.empty())
        if (auto saved = loadStateFile(options.statePath))
            settings = *saved;
    if (options.baudGiven || options.statePath.empty())
        settings.baud = options.baud;
    return settings;
}

SimRunner::SimRunner(const SimOptions &options, SimSettings settings, PtyPort &port, CommandLog &log)
    : m_options(options),
      m_port(port),
      m_log(log),
      m_seed(seedOf(options)),
      m_receiver(std::move(settings), saverFor(options)),
      m_fix(options.noFix, options.fixAfter),
      m_sky(m_seed, options.lat, options.lon, options.height),
      m_noise(mix64(m_seed ^ 0xA5A5ull)),
      m_baud(m_receiver.settings().baud)
{
    m_startUtcMs = options.startUtcMs ? *options.startUtcMs : nowUtcMs();
    m_start = std::chrono::steady_clock::now();
    // The line was set to our rate when it was made; the program may have changed
    // it already, and the change notice is still pending.
    m_lastSeenRate = m_baud;
    m_powered = !options.powerOff;
}

void SimRunner::powerOff()
{
    if (!m_powered)
        return;
    m_powered = false;
    log("POWER OFF");
}

void SimRunner::powerOn()
{
    if (m_powered)
        return;
    // A power cycle forgets what was not saved: settings, outputs and rate come from the state file
    // or the factory, as at start.
    m_receiver = SimReceiver(powerUpSettings(m_options), saverFor(m_options));
    m_baud = m_receiver.settings().baud;
    m_input.reset();
    m_powered = true;
    log("POWER ON");
}

double SimRunner::realSeconds() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
}

double SimRunner::simSeconds() const { return realSeconds() * m_options.timeScale; }

void SimRunner::log(const std::string &text, int programRate)
{
    m_log.write(realSeconds(), m_baud, programRate < 0 ? m_port.programRate() : programRate, text);
}

void SimRunner::send(const std::string &bytes)
{
    if (bytes.empty() || deaf())
        return;
    // The program may change its rate at any time: look again before every write.
    const int rate = m_port.programRate();
    if (rate == m_baud)
        m_port.write(bytes);
    else
        m_port.write(m_noise.garble(bytes.size(), m_baud, rate));
}

void SimRunner::handleLine(const std::string &line, int rate)
{
    log(line, rate);
    if (deaf())
        return; // a dead receiver hears nothing
    CommandResult r = m_receiver.handleLine(line);
    if (!r.note.empty())
        log(r.note, rate);
    send(r.reply);
    if (r.newBaud) {
        log("BAUD -> " + std::to_string(*r.newBaud));
        m_baud = *r.newBaud;
        m_input.reset();
    }
}

void SimRunner::handleChunk(const std::string &data, int rate)
{
    if (rate != m_baud) {
        log("GARBLED " + std::to_string(data.size()) + " bytes", rate);
        m_input.reset();
        return;
    }
    for (const PortInput::Event &e : m_input.feed(data)) {
        switch (e.kind) {
        case PortInput::Event::Line:
            handleLine(e.text, rate);
            break;
        case PortInput::Event::Rtcm:
            log("RTCM " + std::to_string(e.messageType) + " " + std::to_string(e.size) + " bytes", rate);
            if (!deaf())
                m_fix.onCorrection(simSeconds());
            break;
        case PortInput::Event::Dropped:
            log("SKIPPED " + std::to_string(e.size) + " bytes", rate);
            break;
        }
    }
}

void SimRunner::handleInput()
{
    for (;;) {
        std::string data;
        const PtyPort::ReadResult r = m_port.readSome(data);
        if (r.bytes < 0)
            return;
        const int rate = m_port.programRate();
        if (r.bytes == 0) {
            if (r.settingsChanged) {
                // The first input read after a change may have been sent before it (a
                // command, then the switch): remember the old rate. The master side does
                // not keep the order of a status packet and the bytes written just before
                // it, so the input need not be visible yet when the change is seen.
                m_rateBeforeChange = m_changeBeforeInput ? m_rateBeforeChange : m_lastSeenRate;
                m_changeBeforeInput = true;
                m_lastSeenRate = rate;
            }
            continue;
        }
        // Input and a rate change both waiting: the order they happened in is lost.
        // The one case that matters is the program's own switch: "$JBAUD,<new rate>"
        // sent at our rate and the port moved to <new rate> right after. Such input
        // was sent before the change; anything else is taken at the rate now set.
        int interpretAt = rate;
        if (m_changeBeforeInput && m_rateBeforeChange == m_baud && rate != m_baud
            && data.find("$JBAUD," + std::to_string(rate) + "\r") != std::string::npos)
            interpretAt = m_rateBeforeChange;
        m_changeBeforeInput = false;
        m_lastSeenRate = rate;
        handleChunk(data, interpretAt);
    }
}

void SimRunner::emitEpoch(std::int64_t index)
{
    const double t = static_cast<double>(index * kEpochMs) / 1000.0;
    const SimSettings &s = m_receiver.settings();
    const int quality = m_fix.quality(t, s.diff);
    if (quality != m_lastQuality) {
        if (m_lastQuality >= 0)
            log("QUALITY " + std::to_string(m_lastQuality) + " -> " + std::to_string(quality));
        else
            log("QUALITY " + std::to_string(quality));
        m_lastQuality = quality;
    }
    bool any = false;
    for (const auto &[name, rate] : s.asc)
        any = any || due(index, rate);
    for (const auto &[id, rate] : s.bin)
        any = any || due(index, rate);
    if (!any)
        return;

    double age = -1.0;
    if (const auto a = m_fix.correctionAge(t))
        age = *a;
    else if (quality == 2)
        age = static_cast<double>(index % 30) * 0.2 + 1.0; // SBAS corrections every few seconds
    const EpochState e = m_sky.epoch(index * kEpochMs, m_startUtcMs, quality, s.mask, age);

    std::string out;
    for (const char *type : kNmeaOrder)
        for (const auto &[name, rate] : s.asc)
            if (name.compare(2, 3, type) == 0 && due(index, rate))
                out += formatNmea(name, e);
    for (int id : kBinaryOrder)
        if (auto it = s.bin.find(id); it != s.bin.end() && due(index, it->second))
            out += formatBinary(id, e);
    send(out);
}

int SimRunner::run(int signalFd)
{
    log("START " + m_port.slavePath() + " seed " + std::to_string(m_seed));
    std::int64_t nextEpoch = 0;
    for (;;) {
        // Epoch k is due at simulator time k * 200 ms.
        const double dueAt = static_cast<double>(nextEpoch * kEpochMs) / 1000.0 / m_options.timeScale;
        const double wait = dueAt - realSeconds();
        if (wait <= 0) {
            // After a stall of more than a second, skip ahead instead of bursting old epochs.
            const auto current = static_cast<std::int64_t>(simSeconds() * 1000.0) / kEpochMs;
            if (current - nextEpoch > 5)
                nextEpoch = current;
            emitEpoch(nextEpoch++);
            continue;
        }
        std::array<pollfd, 2> fds{pollfd{m_port.fd(), POLLIN, 0}, pollfd{signalFd, POLLIN, 0}};
        const int timeoutMs = static_cast<int>(std::ceil(wait * 1000.0));
        const int n = ::poll(fds.data(), fds.size(), timeoutMs);
        if (n < 0 && errno != EINTR)
            return 1;
        if (n <= 0)
            continue;
        if (fds[1].revents & POLLIN) {
            char c = 0;
            while (::read(signalFd, &c, 1) == 1) {
                if (c == 'Q') {
                    log("STOP");
                    return 0;
                }
                if (c == 'S' && !m_paused) {
                    m_paused = true;
                    log("SILENT");
                } else if (c == 'R' && m_paused) {
                    m_paused = false;
                    m_input.reset();
                    log("RESUMED");
                } else if (c == 'P') {
                    powerOff();
                } else if (c == 'O') {
                    powerOn();
                }
            }
        }
        if (fds[0].revents & POLLIN)
            handleInput();
        // POLLHUP cannot happen while the kept slave descriptor is open.
    }
}

}  // namespace stavo::sim
