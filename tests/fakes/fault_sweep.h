// Fault sweeps over the file system: a scenario runs once clean, counting the file operations it
// makes from where it arms its file system, then once for each fault that can hit one of them:
// each operation refused in turn (reads too), each change on a full disk, a kill after each
// change, until the fault no longer fires.
#pragma once

#include <functional>
#include <vector>

#include "fake_ports.h"

namespace sky::test {

// The scenario makes a fresh program, arms `shot` on its file system (FaultyFileSystem::Arm)
// where the operations under test begin, and checks what must hold after any fault: files old
// or new and whole, no stray temporary file, the right sentence, the next run recovering.
// Failures name the shot.
void SweepFaults(const std::function<void(FaultShot&)>& scenario,
                 const std::vector<FaultShot::Kind>& kinds = {
                     FaultShot::Refuse, FaultShot::DiskFull, FaultShot::Kill});

}  // namespace sky::test
