#pragma once
// The program waits 3000 ms for a reply. Tests that expect silence wait this many times less:
// 500 ms, still far more than a reply over a pty takes, even on a loaded machine under the
// sanitizers.
constexpr int kTestTimeLimitDivisor = 6;
