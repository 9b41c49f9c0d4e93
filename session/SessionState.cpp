#include "session/SessionState.h"

void SessionState::sizeTasks(int tasks)
{
    const auto n = std::size_t(tasks < 0 ? 0 : tasks);
    efficiency.resize(n, 0.0);
    recognised.resize(n, false);
}
