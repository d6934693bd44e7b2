#pragma once
// CZeitprofile: the weekday grid of one relevant-times constraint (RB18 night sleep, RB19 social
// times, RB20 family times) in the definitions dialog. Instead of seven rows of times the user
// gives the seven weekdays up to four distinct time profiles.
//
// Controls from f = FIRSTFEQ: weekday d (0 Monday .. 6 Sunday) is the option f + 5d with the
// radios f + 5d + 1 .. f + 5d + 4 (profiles 1 to 4); profile p (0 .. 3) is the three entries
// f + 35 + 3p (earliest begin), f + 36 + 3p (latest begin) and f + 37 + 3p (minimum duration).
#include <array>
#include <cstdint>
#include <string>

#include "assessment/RahmenbedingungRelevanteZeiten.h"
#include "platform/fw/FwWindow.h"

class RecordBuffer;

// The seven weekdays of one record group (NACHTSCHLAFZEITEN, SOZIALZEITEN, FAMILIENZEITEN).
using ZeitprofilGruppe = std::array<RELEVANTEZEIT, 7>;

// The group of the fields prefix + "_ANFANGSZEIT_MIN" etc. ("NS", "SZ", "FZ") of a record.
ZeitprofilGruppe ReadZeitprofilGruppe(const RecordBuffer& record, const std::string& prefix);
void WriteZeitprofilGruppe(RecordBuffer& record, const std::string& prefix, const ZeitprofilGruppe& group);

class CZeitprofile : public WindowComponent {
public:
    static constexpr int kProfile = 4;
    static constexpr int kControls = 48;   // f .. f + 47 belong to the grid

    int32_t FIRSTFEQ = 0;
    uint8_t FORCERESET = 0;
    // Profile 1 .. 4 of Monday .. Sunday; 0 for a day whose times fit none of the four.
    std::array<uint8_t, 7> WOCHENTAGE{};
    std::array<int32_t, kProfile> ANFANGSZEIT_MIN{};
    std::array<int32_t, kProfile> ANFANGSZEIT_MAX{};
    std::array<int32_t, kProfile> DAUER{};

    // Binds the grid starting at control f of the target window. `constraint` (RB18, RB19 or
    // RB20) checks the times; its record group in the RB buffer is the one Apply writes.
    void Init(int f, CRahmenbedingungRelevanteZeiten& constraint);

    // Gives equal days one profile, in weekday order. A fifth distinct set of times gets no
    // profile (weekday 0): it is shown with no choice and kept as stored until a profile is
    // chosen for its day.
    void LoadFromGroup(const ZeitprofilGruppe& group);
    // Every day with a profile 1 .. 4 gets that profile's times; the others stay as they are.
    void StoreToGroup(ZeitprofilGruppe& group) const;
    // LoadFromGroup / StoreToGroup on the constraint's group of the RB buffer.
    void LoadFromRB();
    // Profiles into the RB buffer, the constraint's check (too short durations are put back),
    // and the profiles rebuilt when the check changed a day.
    void Apply();
    // Enables the rows of the profiles in use and greys the others; nothing unless forced or
    // FORCERESET is set.
    void Display(bool force);

    void Refresh(bool) override { Display(false); }
    bool NeedsRefresh() override { return FORCERESET != 0; }
    // An accepted profile entry applies the profiles; any accepted control of the grid
    // redisplays it.
    int OnEvent() override;

private:
    int Entry(int profile, int column) const { return FIRSTFEQ + 35 + 3 * profile + column; }
    CRahmenbedingungRelevanteZeiten* constraint_ = nullptr;
    // Which profile rows show values of their own (enabled) since the last load or display.
    std::array<bool, kProfile> shown_{};
};
