// The simulated machine's faults of volume probes, kept apart from its
// volumes: which probes of a letter fail. Declared for tests in sim.h
// (FailVolumeProbe, FailOneVolumeProbe); sim.cpp asks here on every probe.
#pragma once

namespace sim {

// Counts a probe of the letter and tells whether it is to fail.
bool VolumeProbeFails(char letter);
// No probe fails and none has been counted.
void ResetVolumeFaults();

} // namespace sim
