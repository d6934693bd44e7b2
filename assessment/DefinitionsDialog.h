#pragma once
// The definitions dialog "Definitionspool": the modal window in which the user edits the
// constraints and the criteria settings in the shared RB and KRI record buffers (core/Files.h).
// Its caller fills the buffers before and reads them after: a worksheet's pool (StoreAll, Apply),
// the defaults window (a whole default or limit record). Every constraint field is checked the
// moment it is accepted, through ShowSettingCheck on the dialog's own 22 constraint objects.
//
// Only one definitions dialog runs in the whole program at a time. A caller that is about to
// fill the shared buffers asks DefinitionsDialogBusy first, so that a refused second dialog never
// overwrites what the user of the open one has typed.
#include <cstdint>

class IDefinitionspoolOwner;

// Mode bits besides DEFINITIONS_AZP (1), DEFINITIONS_SCHICHTEN (2), DEFINITIONS_KRITERIUM (4)
// of Definitionspool.h and DEFINITIONS_KRITERIENVORGABEN (0x80) of KriteriumZeile.h.
constexpr uint8_t DEFINITIONS_GRENZWERTE = 0x40;   // a default or limit record: nothing checked, no criteria

// Runs the window on the calling thread: mode bits, the criterion to open on (mode bit 4; 0 =
// none) and the worksheet whose strain assessments and costs the two buttons edit (nullptr: the
// buttons stay disabled). RESPONSE_COMPLETED for OK, RESPONSE_CANCELLED otherwise, also left in
// LastResponse; a second dialog while one is open ends cancelled at once, without a window.
int UpdateDefinitionsmanager(uint8_t mode, long kriterium, IDefinitionspoolOwner* worksheet);

// True while a definitions dialog is open anywhere in the program; with `tell` the user is told
// so in a message.
bool DefinitionsDialogBusy(bool tell);
// How many definitions dialogs are open (0 or 1).
int DefinitionsDialogsOpen();

// Makes UpdateDefinitionsmanager the dialog of every pool's edit cycle.
void InstallDefinitionsDialog();
