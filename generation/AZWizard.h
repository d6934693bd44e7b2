#pragma once
// The wizard before a working-time plan is generated or optimised: the group count (generating
// only), the definitions pool and the time limit. Modal on the calling thread; the response is left
// in LastResponse (RESPONSE_COMPLETED when the run is to start, RESPONSE_CANCELLED otherwise).
// The time limit and the group count are remembered in the settings section "AZWizard", also after
// "Abbrechen".
#include <cstdint>

class CAZPOptimizer;
class CDefinitionspool;

constexpr uint8_t AZWIZARD_GENERATE = 0;
constexpr uint8_t AZWIZARD_OPTIMIZE = 1;

// mode AZWIZARD_GENERATE: starts at the smallest group count (the most shifts on one day) and
// hands the time limit and group count to the optimiser on OK; AZWIZARD_OPTIMIZE: opens on the
// definitions pool's page and hands over the time limit only. weeklyHours is the working time of all
// groups together, shown shared by the group count. Without a pool its button stays disabled.
void AZWizard(CAZPOptimizer& optimizer, long smallestGroupCount, CDefinitionspool* pool, uint8_t mode,
              double weeklyHours);
