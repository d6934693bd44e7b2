#pragma once
// The shift-type windows: the browse of all shift types in TMPSCHICHT and the form for one of
// them, with the break check, the criteria's judgement and the strain recommendation. Both are
// modal and keep their geometry in the settings section named after them. They live here, not in
// worksheets/, because the rule check needs the criteria checker.
#include "assessment/KriterienChecker.h"

class CSchichttypen;

// The checker of the worksheet being edited; the form judges and recommends only while it is set.
extern CKriterienChecker* GlobalSchichtChecker;

// The browse on TMPSCHICHT (closed on entry, filled by the caller), in order of begin and end.
// Undo and redo act on the list itself and put the shift types of that step into TMPSCHICHT.
// RESPONSE_COMPLETED for "OK", RESPONSE_CANCELLED otherwise; also left in LastResponse.
int BrowseSchichttypen(CSchichttypen& list);

// The form on TMPSCHICHT's current record (the file open); PendingRequest 1 insert (a new record
// is prepared), 2 change, 3 delete (after a confirmation, without showing the form).
// RESPONSE_COMPLETED when the record was added, updated or deleted; also left in LastResponse.
int UpdateSchichttyp();

// Makes these windows the ones of every worksheet's shift-type edit (CSchichttypen::SetWindows).
void InstallSchichttypDialoge();
