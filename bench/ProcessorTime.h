#pragma once

// The processor time (user and system) this thread has taken so far, in seconds; one
// implementation per system.
double ThreadProcessorSeconds();

// The step by which that clock moves: a nanosecond or so on Linux, a scheduler tick (some 15 ms)
// on Windows. Spins until the clock has moved twice.
double ProcessorClockStep();
