#pragma once

#include <cstdint>

// What the record containers need of the program when memory runs out: telling
// the user. The store never talks to the user itself; the program installs the
// report that does.
class IAllocationReport
{
public:
    virtual ~IAllocationReport() = default;
    // which: 1 the first block of a container, 2 an enlarged block, 3 a reduced
    // block; bytes: the size of the block that could not be had.
    virtual void AllocationFailed(int which, std::uint32_t bytes) = 0;
};

// The program's report: every container pool made from now on starts with it,
// and containers without a pool use it. nullptr: a failure is only returned to
// the caller.
void SetAllocationReport(IAllocationReport* report);
IAllocationReport* ProgramAllocationReport();
