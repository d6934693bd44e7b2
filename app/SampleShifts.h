#pragma once
// The sample states that the learning material's pictures and the app tests put into a worksheet:
// early, late and night shifts of eight hours from 6, 14 and 22 o'clock, two persons round the
// clock over every day of the worksheet's reference period, and a two-week rota of six groups
// that covers them with a few faults the evaluation marks.
#include <cstdint>
#include <map>

class CArbeitsblatt;
class CFlexSchicht;

// Adds the three shift types (the shift demand plan gets their rows) and the demand to `sheet`;
// the shift types' SYSIDs by their letters F, S and N. No step is stored: the caller stores its
// parts' steps once its own changes are made.
std::map<char, uint32_t> AddSampleShifts(CArbeitsblatt& sheet);

// Makes the working-time plan of `sheet` (two weeks) six groups that rotate forward through two
// early, two late and two night shifts and six free days, each group two days after the one
// above, with three faults the evaluation marks: group 1 goes from a late shift straight to an
// early one (eight hours of rest), group 3 works through its free days (a long run of working
// days) and group 4 has a night shift followed by a free day and an early shift. The shift demand
// plan is counted from it. `ids` are the shift types of AddSampleShifts. No step is stored.
void AddSampleRota(CArbeitsblatt& sheet, const std::map<char, uint32_t>& ids);

// A flex entry of January 2024 (Monday the 1st is day 0) from `from` to `to` (minutes of the day;
// an end before the begin runs past midnight), with one break of `breakMinutes` at `breakAt`.
CFlexSchicht SampleFlexEntry(int day, int from, int to, int breakAt = 0, int breakMinutes = 0);
