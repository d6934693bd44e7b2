#pragma once
// The inspectors of each worksheet: a table, an evaluation and a cost inspector, made when the
// worksheet first asks for one and disposed with the worksheet. InstallInspektoren connects them
// to the worksheet's inspector hooks (CArbeitsblatt::SetInspektoren) at start-up.
#include "worksheets/BewertungInspektor.h"
#include "worksheets/OekoInspektor.h"
#include "worksheets/TabellenInspektor.h"

class CArbeitsblatt;
class ISavable;

struct InspektorSatz {
    CTabellenInspektor TABELLE;
    CBewertungInspektor BEWERTUNG;
    COekoInspektor OEKO;
    ISavable* SEITE = nullptr;   // the plan part whose page the table inspector showed last
    ISavable* KOSTENSEITE = nullptr;   // the plan part whose view the cost inspector showed last

    CInspektor& Get(int which);
};

// The worksheet's inspectors, made at the first call.
InspektorSatz& InspektorenOf(CArbeitsblatt& sheet);
// The worksheet's inspectors when they were made; nullptr otherwise.
InspektorSatz* FindInspektoren(const CArbeitsblatt& sheet);
void InstallInspektoren();
