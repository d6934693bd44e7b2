#pragma once
// The small modal dialogs that edit one setting of a worksheet, each on the calling thread. They take
// the caller's variable by reference, write it back only on OK and leave the response in
// LastResponse (RESPONSE_COMPLETED for OK, RESPONSE_CANCELLED for "Abbrechen" or closing).
#include <cstdint>

// "Bezugsrahmen ändern": the reference period in weeks, 1 to 8.
void UpdateBezugsrahmen(int32_t& weeks);
// "Anzahl Schichtgruppen ändern": the number of shift groups of the working-time plan, 1 to 255.
void UpdateAnzahlSchichtgruppen(int32_t& groups);
// "Schichtgruppenstärke ändern": persons per shift group, 1 to 255. The field holds the low 16 bits
// of the caller's value.
void UpdateSchichtgruppenstaerke(int32_t& persons);
// "Darstellungszeitraum ändern": the display period of a flex worksheet as day numbers. A date is
// moved to the Monday (from) or Sunday (to) of its week as soon as it is taken; OK needs both dates,
// the end not before the start.
void UpdateZeitraum(int32_t& from, int32_t& to);

