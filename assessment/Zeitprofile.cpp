#include "assessment/Zeitprofile.h"

#include "core/Files.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

namespace {

constexpr int kGrey = 233 + 233 * 256 + 233 * 65536;

bool SameTimes(const RELEVANTEZEIT& a, const RELEVANTEZEIT& b)
{
    return a.DAUER_MIN == b.DAUER_MIN && a.ANFANGSZEIT_MIN == b.ANFANGSZEIT_MIN &&
           a.ANFANGSZEIT_MAX == b.ANFANGSZEIT_MAX;
}

} // namespace

ZeitprofilGruppe ReadZeitprofilGruppe(const RecordBuffer& record, const std::string& prefix)
{
    ZeitprofilGruppe group{};
    for (int d = 1; d <= 7; ++d) {
        RELEVANTEZEIT& z = group[static_cast<size_t>(d - 1)];
        z.ANFANGSZEIT_MIN = static_cast<int32_t>(record.GetInt(prefix + "_ANFANGSZEIT_MIN", d));
        z.ANFANGSZEIT_MAX = static_cast<int32_t>(record.GetInt(prefix + "_ANFANGSZEIT_MAX", d));
        z.DAUER_MIN = static_cast<int32_t>(record.GetInt(prefix + "_DAUER_MIN", d));
    }
    return group;
}

void WriteZeitprofilGruppe(RecordBuffer& record, const std::string& prefix, const ZeitprofilGruppe& group)
{
    for (int d = 1; d <= 7; ++d) {
        const RELEVANTEZEIT& z = group[static_cast<size_t>(d - 1)];
        record.SetInt(prefix + "_ANFANGSZEIT_MIN", z.ANFANGSZEIT_MIN, d);
        record.SetInt(prefix + "_ANFANGSZEIT_MAX", z.ANFANGSZEIT_MAX, d);
        record.SetInt(prefix + "_DAUER_MIN", z.DAUER_MIN, d);
    }
}

void CZeitprofile::Init(int f, CRahmenbedingungRelevanteZeiten& constraint)
{
    WOCHENTAGE.fill(0);
    ANFANGSZEIT_MIN.fill(0);
    ANFANGSZEIT_MAX.fill(0);
    DAUER.fill(0);
    shown_.fill(false);
    FIRSTFEQ = f;
    constraint_ = &constraint;
    for (int d = 0; d < 7; ++d)
        ControlUse(f + 5 * d, UseVar(WOCHENTAGE[static_cast<size_t>(d)]));
    for (int p = 0; p < kProfile; ++p) {
        ControlUse(Entry(p, 0), UseVar(ANFANGSZEIT_MIN[static_cast<size_t>(p)]));
        ControlUse(Entry(p, 1), UseVar(ANFANGSZEIT_MAX[static_cast<size_t>(p)]));
        ControlUse(Entry(p, 2), UseVar(DAUER[static_cast<size_t>(p)]));
    }
}

void CZeitprofile::LoadFromGroup(const ZeitprofilGruppe& group)
{
    // Profiles left over from an earlier load would otherwise come back when chosen again.
    ANFANGSZEIT_MIN.fill(0);
    ANFANGSZEIT_MAX.fill(0);
    DAUER.fill(0);
    int k = 0;
    for (size_t d = 0; d < 7; ++d) {
        const RELEVANTEZEIT& day = group[d];
        int chosen = 0;
        for (int p = 0; p < k && !chosen; ++p) {
            const RELEVANTEZEIT profile{ANFANGSZEIT_MIN[static_cast<size_t>(p)],
                                        ANFANGSZEIT_MAX[static_cast<size_t>(p)], DAUER[static_cast<size_t>(p)]};
            if (SameTimes(profile, day))
                chosen = p + 1;
        }
        if (!chosen && k < kProfile) {
            ANFANGSZEIT_MIN[static_cast<size_t>(k)] = day.ANFANGSZEIT_MIN;
            ANFANGSZEIT_MAX[static_cast<size_t>(k)] = day.ANFANGSZEIT_MAX;
            DAUER[static_cast<size_t>(k)] = day.DAUER_MIN;
            chosen = ++k;
        }
        WOCHENTAGE[d] = static_cast<uint8_t>(chosen);
    }
    for (int p = 0; p < kProfile; ++p)
        shown_[static_cast<size_t>(p)] = p < k;
    FORCERESET = 1;
}

void CZeitprofile::StoreToGroup(ZeitprofilGruppe& group) const
{
    for (size_t d = 0; d < 7; ++d) {
        const int p = WOCHENTAGE[d];
        if (p < 1 || p > kProfile)
            continue;
        const size_t i = static_cast<size_t>(p - 1);
        group[d] = RELEVANTEZEIT{ANFANGSZEIT_MIN[i], ANFANGSZEIT_MAX[i], DAUER[i]};
    }
}

void CZeitprofile::LoadFromRB()
{
    if (constraint_)
        LoadFromGroup(ReadZeitprofilGruppe(RB, constraint_->Prefix()));
}

void CZeitprofile::Apply()
{
    if (!constraint_)
        return;
    const std::string& prefix = constraint_->Prefix();
    ZeitprofilGruppe group = ReadZeitprofilGruppe(RB, prefix);
    StoreToGroup(group);
    WriteZeitprofilGruppe(RB, prefix, group);
    const std::string field = prefix + "_DAUER_MIN";
    ShowSettingCheck(*constraint_, {field, 1});
    const ZeitprofilGruppe checked = ReadZeitprofilGruppe(RB, prefix);
    for (size_t d = 0; d < 7; ++d)
        if (!SameTimes(checked[d], group[d])) {
            LoadFromGroup(checked);
            break;
        }
}

void CZeitprofile::Display(bool force)
{
    if (!FORCERESET && !force)
        return;
    FORCERESET = 0;
    // Profile 1's times as they were before this pass: when its last day moves to a new profile,
    // profile 1 is cleared below, and the new profile must still start with that day's times.
    const RELEVANTEZEIT first{ANFANGSZEIT_MIN[0], ANFANGSZEIT_MAX[0], DAUER[0]};
    for (int p = 0; p < kProfile; ++p) {
        const size_t i = static_cast<size_t>(p);
        bool used = false;
        for (uint8_t chosen : WOCHENTAGE)
            used = used || chosen == p + 1;
        if (used && !shown_[i]) {
            ANFANGSZEIT_MIN[i] = first.ANFANGSZEIT_MIN;
            ANFANGSZEIT_MAX[i] = first.ANFANGSZEIT_MAX;
            DAUER[i] = first.DAUER_MIN;
        } else if (!used && shown_[i]) {
            ANFANGSZEIT_MIN[i] = ANFANGSZEIT_MAX[i] = DAUER[i] = 0;
        }
        shown_[i] = used;
        for (int column = 0; column < 3; ++column) {
            PropertySet(Entry(p, column), Prop::Color, used ? -1 : kGrey);
            if (used)
                ControlEnable(Entry(p, column));
            else
                ControlDisable(Entry(p, column));
        }
    }
    ControlDisplay();
}

int CZeitprofile::OnEvent()
{
    if (EventCurrent() != EVENT_ACCEPTED || FIRSTFEQ == 0)
        return LEVEL_BENIGN;
    const int control = EventAccepted();
    if (control < FIRSTFEQ || control >= FIRSTFEQ + kControls)
        return LEVEL_BENIGN;
    if (control >= Entry(0, 0) && control <= Entry(kProfile - 1, 2))
        Apply();
    Display(true);
    return LEVEL_BENIGN;
}
