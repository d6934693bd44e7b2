#pragma once
// The wizard before a shift demand plan is generated: persons per shift group, the time grid of the
// shift types, the definitions pool and the time limit. Modal on the calling thread; the response
// is left in LastResponse (RESPONSE_COMPLETED when the run is to start, RESPONSE_CANCELLED
// otherwise). The time grid and the time limit are remembered in the settings section "SBWizard",
// also after "Abbrechen".
class CDefinitionspool;
class CSBPGenerator;

// Starts with the generator's group strength; on OK hands the time grid, the time limit and the
// group strength to the generator. Without a pool its button stays disabled.
void SBWizard(CSBPGenerator& generator, CDefinitionspool* pool);
