#pragma once
// The project's modal windows, each on the calling thread: the project information, a worksheet's
// notes, and the choice of a new worksheet's kind.
#include <cstdint>

class CProjektInfo;
struct KommentarInfo;

// Edits the INFO record buffer in place ("Projektinformationen - allgemein"). RESPONSE_COMPLETED
// or RESPONSE_CANCELLED.
int UpdateProjektinfo(CProjektInfo& info);
// Edits a private copy of the notes and writes it back only on OK ("Notiz bearbeiten").
int UpdateKommentar(KommentarInfo& notes);
// "Arbeitszeitblatt-Typ wählen": 1 worksheet, 2 flex worksheet, 0 cancelled.
uint8_t SelectArbeitsblattTyp();
