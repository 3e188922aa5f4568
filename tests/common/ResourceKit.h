// What a process holds, for reliability tests: GDI and USER objects and
// private memory, counted so that they also mean something under Wine.
#pragma once

#include <functional>
#include <string>

namespace ResourceKit {

// GDI objects of this process. Wine answers GetGuiResources with 0; there the
// process's own GDI handle table is counted.
long long GdiObjects();
// USER objects of this process; where GetGuiResources gives nothing, its windows.
long long UserObjects();
// The commit charge: the private memory committed for the process.
long long PrivateBytes();

// The three counts at one moment.
struct Usage {
    long long nGdi;
    long long nUser;
    long long nBytes;
};
Usage Measure();

// The counts before and after nCycles calls of cycle(i), made after nWarmUp
// calls that fill what the system keeps once made (fonts, classes, codecs);
// i counts all calls from 0.
struct Growth {
    Usage before;
    Usage after;
    std::string Describe() const; // one line, for the test's output
    // Whether GDI and USER objects grew by at most nObjects each and the
    // private memory by at most nBytes.
    bool Within(long long nObjects, long long nBytes) const;
};
Growth MeasureCycles(int nWarmUp, int nCycles, const std::function<void(int)>& cycle);

} // namespace ResourceKit
