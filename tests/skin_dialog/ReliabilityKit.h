// The scaffold of the reliability suites: cycles that make, use and destroy
// windows must give back what they took.
#pragma once

#include "tests/common/ResourceKit.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

namespace ReliabilityKit {

// Call while a cycle holds its windows: counters that see nothing would make
// any growth look like none.
inline void ExpectCountersSeeObjects() {
    EXPECT_GT(ResourceKit::GdiObjects() * ResourceKit::UserObjects(), 0)
        << ResourceKit::GdiObjects() << " " << ResourceKit::UserObjects();
}

// Runs cycle(i) nWarmUp times, then nCycles times measured, and expects GDI
// and USER objects to grow by at most ten and private memory by at most
// 2 MiB: a leak of one object a cycle, or of 2 KiB a cycle over a thousand
// cycles, exceeds that.
inline void ExpectCyclesGiveBack(int nWarmUp, int nCycles, const std::function<void(int)>& cycle) {
    const ResourceKit::Growth growth = ResourceKit::MeasureCycles(nWarmUp, nCycles, cycle);
    std::printf("%s\n", growth.Describe().c_str());
    EXPECT_TRUE(growth.Within(10, 2ll << 20)) << growth.Describe();
}

} // namespace ReliabilityKit
