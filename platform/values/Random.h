#pragma once
// The program's one source of random numbers (record identities, the plan generator, the tabu
// search). It starts from the clock when it is first used; RandomRestart sets the start value, so
// that a run, a test or a reported problem can be replayed draw for draw.
#include <cstdint>

// A uniform 32-bit number.
uint32_t RandomNext();

// A uniform whole number from low to high, both included (the bounds may come in either order).
int32_t RandomBetween(int32_t low, int32_t high);

// Starts the sequence again from the given value.
void RandomRestart(uint64_t start);

// The value the current sequence started from.
uint64_t RandomStartValue();
