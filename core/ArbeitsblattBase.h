#pragma once
// What the project needs of a worksheet. The worksheet class lives in worksheets/, above core; the
// project makes its worksheets through a factory that worksheets/ registers at start-up
// (SetArbeitsblattFactory), so the dependency keeps pointing downward.
#include <cstdint>
#include <memory>

#include "core/Savable.h"
#include "core/Tree.h"
#include "core/Visual.h"

// Worksheet kinds.
constexpr uint8_t ARBEITSBLATT_AZ = 1;     // "Arbeitszeitblatt"
constexpr uint8_t ARBEITSBLATT_FLEX = 2;   // "Flex-Arbeitszeitblatt"

class CArbeitsblattBase : public CVisual, public ITreeEntry, public ISavable {
public:
    using CVisual::Init;
    using ISavable::Init;

    virtual uint8_t GetTyp() const = 0;
    // Sets the kind and the kind's default name.
    virtual void SetTyp(uint8_t typ) = 0;
    // Duplicates `source` (of the same kind) into this worksheet.
    virtual void CopyFrom(CArbeitsblattBase& source) = 0;
    // Starts the worksheet's window or brings it to the front.
    virtual int Open() = 0;
    // After the project was saved: the window's buttons follow the new undo state.
    virtual void UpdateButtons() {}
};

using ArbeitsblattFactory = std::unique_ptr<CArbeitsblattBase> (*)();
// worksheets/ registers its worksheet class (RegisterArbeitsblatt in worksheets/Arbeitsblatt.h).
void SetArbeitsblattFactory(ArbeitsblattFactory factory);
// A new worksheet; nullptr while no factory is registered.
std::unique_ptr<CArbeitsblattBase> CreateArbeitsblatt();
