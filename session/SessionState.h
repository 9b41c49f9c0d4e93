#pragma once

// The one running test: what each task scored and whether it was recognised.
// The tables hold one entry per task position for the whole run; the main
// window sizes them once at start-up and a test only overwrites entries.

#include <vector>

class SessionState
{
public:
    std::vector<double> efficiency;
    std::vector<bool> recognised;

    // Resizes both tables to `tasks` entries; entries added are zero (false).
    void sizeTasks(int tasks);
};
