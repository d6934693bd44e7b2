#pragma once
// The cost dialogs: UpdateKosten, the form for the one KOST record in TMPKOST's buffer (hourly wage,
// the 21 pay items, ".eco" import and export), and Lohnrechner, which computes the average hourly
// wage from a monthly gross pay and the working hours. The form's rules are free functions on a
// KOST record buffer so that they hold whichever window or file the record comes from.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class RecordBuffer;

// ---- form rules --------------------------------------------------------------------------------

// Whether an item's percentage (amount) entry is enabled: when exactly one of the two is not 0,
// the other one is disabled.
bool KostenProzentEnabled(const RecordBuffer& kosten, std::string_view prefix);
bool KostenBetragEnabled(const RecordBuffer& kosten, std::string_view prefix);

// What every redisplay makes of the ranges: a Saturday end before its begin (but not midnight)
// moves to the begin and range (2) begins where (1) ends; an overtime or weekly-hours band with a
// begin past its end becomes one hour long and band (2) begins where (1) ends.
void KostenRefreshRules(RecordBuffer& kosten);

// The rules for an entry just changed from `before` to its value now: clearing the end of
// Saturday (1) clears its begin; clearing either bound of overtime (1) or weekly hours (1) clears
// the other one.
void KostenFieldRules(RecordBuffer& kosten, std::string_view field, double before);

// Whether two clock ranges (clock values, 0 = not set) collide: only when all four are set; a
// range whose end is not after its begin runs into the next day; more than one common minute.
bool KostenRangesOverlap(int32_t von1, int32_t bis1, int32_t von2, int32_t bis2);

// The checks of OK, in order; the last one that fails counts. `text` is empty when all passed,
// else the message, and `field` names the record field whose entry is to be selected.
struct KostenCheckResult {
    std::string text;
    std::string field;
};
KostenCheckResult CheckKosten(const RecordBuffer& kosten);

// What OK does to the second overtime and weekly-hours bands once the checks passed: without an
// end the band is cleared, else it begins where band (1) ends.
void KostenFinishRanges(RecordBuffer& kosten);

// The hourly wage of a monthly gross pay over the monthly hours; 0 unless both are above 0.
double LohnrechnerStundenlohn(double brutto, double monatsstunden);

// ---- windows -----------------------------------------------------------------------------------

// The form on the record in TMPKOST's buffer; PendingRequest 2 changes it, 6 only shows it. On OK
// (checks passed) the record is written over the current record of the file TMPKOST has open
// (added when the file holds none) and the form answers RESPONSE_COMPLETED; else, and always when
// only viewing, RESPONSE_CANCELLED. LastResponse is set to the answer.
int UpdateKosten();

// The wage calculator on the caller's hourly wage: it follows the computed wage while the window
// is open and keeps it on "Übernehmen"; any other close restores the value it had. The answer is
// returned and left in LastResponse.
int Lohnrechner(double& stundenlohn);

// What the frame registers as FrameWindows::updateKosten (its stand-alone ".eco" editor opens
// TMPKOST on the chosen file, reads its first record and sets PendingRequest first).
std::function<int()> KostenFrameWindow();

// Makes UpdateKosten the dialog of every worksheet's cost edit cycle (CKosten::SetUpdateProcedure).
void InstallKostenDialog();
