#pragma once
// CSchichtNode: one worked cell of an evaluated working-time plan - the shift's times on the
// rota's time line, its working minutes, the rest to the next worked shift, and the cell's
// violations. Nodes of normal shifts are linked in the rota's cycle order; a placeholder node
// (SCHICHT nullptr) only carries the violations of a free cell and is on no list.
#include "assessment/Verstossliste.h"
#include "core/Termin.h"

#include <cstdint>

class CSchicht;

class CSchichtNode {
public:
    const CSchicht* SCHICHT = nullptr;  // nullptr: placeholder
    ::TERMIN TERMIN;                    // on the cycle's time line
    uint16_t AZGESAMT = 0;              // gross minutes
    uint16_t REINEAZ = 0;               // net: gross less all breaks
    uint16_t BEZAHLTEAZ = 0;            // paid: net plus paid breaks
    uint32_t RUHEZEIT = 0;              // minutes to the next node's begin (0: touching or overlapping)
    CVerstossliste VERSTOSSLISTE;       // the cell's violations
    uint32_t SUMMEVERSTOSSWERT = 0;
    CSchichtNode* NEXT = nullptr;       // neighbours on the circular list; nullptr for a placeholder
    CSchichtNode* PREVIOUS = nullptr;

    bool IsPlaceholder() const { return SCHICHT == nullptr; }

    // The node as new: no shift, times cleared, an empty list.
    void Reset()
    {
        SCHICHT = nullptr;
        TERMIN = {};
        AZGESAMT = REINEAZ = BEZAHLTEAZ = 0;
        RUHEZEIT = 0;
        VERSTOSSLISTE.Reset();
        SUMMEVERSTOSSWERT = 0;
        NEXT = PREVIOUS = nullptr;
    }
};
