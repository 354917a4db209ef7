// Feeds arbitrary bytes to the simulator's input splitter and command
// interpreter, and the same bytes as a state file and as command-line words.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "PortInput.h"
#include "SimOptions.h"
#include "SimReceiver.h"
#include "SimSettings.h"

using namespace stavo::sim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Split the input in two feeds at a place chosen by the first byte, so that
    // partial lines and frames across reads are exercised too.
    const std::size_t cut = size == 0 ? 0 : data[0] % (size + 1);
    PortInput in;
    SimReceiver receiver(SimSettings::factoryDefaults(), [](const SimSettings &s) { return !s.toText().empty(); });
    for (auto part : {std::pair{data, cut}, std::pair{data + cut, size - cut}}) {
        for (const auto &e : in.feed(part.first, part.second)) {
            if (e.text.size() > PortInput::kMaxLine)
                __builtin_trap();
            if (e.kind == PortInput::Event::Line)
                receiver.handleLine(e.text);
        }
    }
    // Whatever was accepted must survive a save and a load unchanged.
    const SimSettings &s = receiver.settings();
    if (!(SimSettings::fromText(s.toText(), SimSettings::factoryDefaults()) == s))
        __builtin_trap();

    const std::string text(reinterpret_cast<const char *>(data), size);
    const SimSettings loaded = SimSettings::fromText(text, SimSettings::factoryDefaults());
    if (!(SimSettings::fromText(loaded.toText(), SimSettings::factoryDefaults()) == loaded))
        __builtin_trap();

    std::vector<std::string> words;
    std::string w;
    for (char c : text) {
        if (c == ' ' || c == '\0') {
            words.push_back(w);
            w.clear();
        } else {
            w.push_back(c);
        }
    }
    words.push_back(w);
    parseOptions(words);
    return 0;
}
