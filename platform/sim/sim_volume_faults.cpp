// Which volume probes fail: every probe of a letter (an empty card reader or
// disc drive), or one probe picked by its number, which is how a drive that
// answers its serial probe and not its label probe, or the other way round,
// is made. Probes are counted per letter whether a volume is there or not.
#include "platform/sim/sim_volume_faults.h"

#include "platform/sim/sim.h"

namespace {

struct LetterFaults {
    bool everyProbe;
    int probesCounted;
    int failingProbe; // the number of the one probe that fails; 0 for none
};

// Letters A to Z. Plain data, so nothing runs before main.
LetterFaults faults[26];

LetterFaults *FaultsOf(char letter) {
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 32);
    return letter >= 'A' && letter <= 'Z' ? &faults[letter - 'A'] : nullptr;
}

} // namespace

namespace sim {

void FailVolumeProbe(char letter) {
    if (LetterFaults *f = FaultsOf(letter)) f->everyProbe = true;
}

void FailOneVolumeProbe(char letter, int k) {
    if (LetterFaults *f = FaultsOf(letter)) f->failingProbe = f->probesCounted + k;
}

bool VolumeProbeFails(char letter) {
    LetterFaults *f = FaultsOf(letter);
    if (f == nullptr) return false;
    int probe = ++f->probesCounted;
    return f->everyProbe || probe == f->failingProbe;
}

void ResetVolumeFaults() {
    for (LetterFaults &f : faults) f = LetterFaults{};
}

} // namespace sim
