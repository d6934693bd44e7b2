#pragma once
// UpdateFlexzeit: the modal form "Arbeitszeiten-Eintrag bearbeiten" in which one flex entry is
// entered or changed - date, begin, end, kind, five breaks with position, duration and paid flag,
// and the paid and net working time, which move the end when typed. On OK the date must be given,
// the breaks must lie in order inside the working time, and the working time must not overlap
// another entry of the plan (the plan's SKIPINCHECK names the entry being changed).
#include <cstdint>

class CFlexAZ;
class CFlexSchicht;

// Edits `entry` (the caller's buffer); on OK its date, kind, times and breaks are written back.
// Returns the response (RESPONSE_COMPLETED or RESPONSE_CANCELLED, also in LastResponse).
int UpdateFlexzeit(CFlexAZ& plan, CFlexSchicht& entry);
