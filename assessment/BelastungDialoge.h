#pragma once
// The strain dialogs: the browse of the assessments in TMPBEL by weekday, the form for one
// assessment, the form for the constants of "eba.cfg", the table of the hourly figures of the last
// strain computation and the notice on complete assessments. Every window is modal and keeps its
// geometry in the settings section named after it.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "assessment/Belastungseinschaetzung.h"

struct EBA_RECHENWERTE;

// The browse on the records of TMPBEL (its caller fills the file before and reads it back after).
// PendingRequest 6 only shows them; any other request lets the user insert, change and delete.
// Every completed edit, import and change of the constants is final at once. Answers
// RESPONSE_COMPLETED for "&OK", RESPONSE_CANCELLED otherwise; also left in LastResponse.
int BrowseBelastungseinschaetzungen();

// The form on one assessment, called by the browse; PendingRequest 1 insert, 2 change, 3 delete,
// 6 view. On OK with the checks passed the record takes the form's values and the answer is
// RESPONSE_COMPLETED; the caller stores it. View and "Abbrechen" answer RESPONSE_CANCELLED and
// leave the record as it was. Also left in LastResponse.
int UpdateBelastungseinschaetzung(CBelastungseinschaetzung& record);

// What the OK button of the form checks, in order; the text of the first failed check or "" when
// all pass. `beginText` and `endText` are the screen texts of the two time entries.
struct BelastungCheck {
    std::string caption, text;
    enum Field { NONE, MONDAY, BEGINN, ENDE } field = NONE;
};
BelastungCheck CheckBelastungseinschaetzung(const CBelastungseinschaetzung& record, uint8_t wochentage,
                                            const std::string& beginText, const std::string& endText);

// Whether an assessment rates all 15 items (the browse marks the others incomplete).
bool BelastungVollstaendig(const CBelastungseinschaetzung& record);

// The form on the record in EBA's buffer (PendingRequest 2); OK writes it back over the record
// last read from "eba.cfg". RESPONSE_COMPLETED on OK.
int UpdateEBAEinstellungen();

// The browse's constants button: opens "eba.cfg", adds a record with every constant 0 when the file
// holds none, and runs UpdateEBAEinstellungen on its first record. Its answer; RESPONSE_CANCELLED
// when the file cannot be opened (the user is told).
int BearbeiteEBAKonstanten();

// The hourly figures of a strain computation, hour 1..24 of the computed span.
void ViewEbaDaten(const EBA_RECHENWERTE& werte);

// The notice that only complete assessments give a correct strain rating.
void EBAHinweis();

// What the frame registers as FrameWindows::editBelastungsdatei: reads the records of TMPBEL (named
// to the user's ".eba" file by the frame), runs the browse, and when it ends cancelled writes the
// records read back, so the file is as it was. Returns the browse's answer.
std::function<int()> BelastungsdateiBearbeiten();

// Makes these windows the ones of every worksheet's strain edit cycle, of the strain criterion's
// notice and of its hourly figures.
void InstallBelastungDialoge();
