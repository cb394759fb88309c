#pragma once

namespace platform {

// Dispatches the events already waiting for the GUI thread and returns; never waits for more.
void PumpEvents();

} // namespace platform
