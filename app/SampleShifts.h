#pragma once
// The sample shift types and staff demand that the learning material's pictures and the main road
// test put into a worksheet: early, late and night shifts of eight hours from 6, 14 and 22 o'clock,
// and two persons round the clock over every day of the worksheet's reference period.
#include <cstdint>
#include <map>

class CArbeitsblatt;

// Adds the three shift types (the shift demand plan gets their rows) and the demand to `sheet`;
// the shift types' SYSIDs by their letters F, S and N. No step is stored: the caller stores its
// parts' steps once its own changes are made.
std::map<char, uint32_t> AddSampleShifts(CArbeitsblatt& sheet);
