#pragma once

// The processor time (user and system) this thread has taken so far, in seconds; one
// implementation per system.
double ThreadProcessorSeconds();
