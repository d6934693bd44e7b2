#include "worksheets/Inspektoren.h"

#include "plans/AKBData.h"
#include "plans/AZPData.h"
#include "plans/SBPData.h"
#include "worksheets/Arbeitsblatt.h"

#include <map>
#include <memory>

namespace {
// Touched only under the program's one-thread-at-a-time rule, like the worksheets themselves.
std::map<const CArbeitsblatt*, std::unique_ptr<InspektorSatz>>& Saetze()
{
    static std::map<const CArbeitsblatt*, std::unique_ptr<InspektorSatz>> saetze;
    return saetze;
}

// The table inspector's page for the plan part whose list has the focus.
void FollowPane(CArbeitsblatt& sheet, InspektorSatz& satz)
{
    ISavable* current = sheet.GetCurrentSavable();
    if (!current || current == satz.SEITE)
        return;
    satz.SEITE = current;
    satz.TABELLE.ShowPage(current == &sheet.GetAKB().GetSavable()   ? TABINSP_AKB
                          : current == &sheet.GetSBP().GetSavable() ? TABINSP_SBP
                                                                    : TABINSP_AZP);
}

// The cost inspector's view for the plan part whose list has the focus.
void FollowPaneCosts(CArbeitsblatt& sheet, InspektorSatz& satz)
{
    ISavable* current = sheet.GetCurrentSavable();
    if (!current || current == satz.KOSTENSEITE)
        return;
    satz.KOSTENSEITE = current;
    satz.OEKO.SetView(current == &sheet.GetAKB().GetSavable()   ? KOSTEN_AKB
                      : current == &sheet.GetSBP().GetSavable() ? KOSTEN_SBP
                                                                : KOSTEN_AZP);
}

void Show(CArbeitsblatt& sheet, int which)
{
    InspektorSatz& satz = InspektorenOf(sheet);
    if (which == INSPEKTOR_TABELLE && !satz.TABELLE.IsActive()) {
        satz.SEITE = nullptr;
        FollowPane(sheet, satz);
    }
    if (which == INSPEKTOR_OEKO && !satz.OEKO.IsActive()) {
        satz.KOSTENSEITE = nullptr;
        FollowPaneCosts(sheet, satz);
    }
    // At most one docked inspector per worksheet; floating ones stay.
    for (int other = INSPEKTOR_TABELLE; other <= INSPEKTOR_OEKO; ++other)
        if (other != which && satz.Get(other).IsActive() && satz.Get(other).IsDocked())
            satz.Get(other).Close();
    satz.Get(which).Execute(false);
}

void Close(CArbeitsblatt& sheet, int which)
{
    if (InspektorSatz* satz = FindInspektoren(sheet))
        satz->Get(which).Close();
}

bool IsOpen(CArbeitsblatt& sheet, int which)
{
    InspektorSatz* satz = FindInspektoren(sheet);
    return satz && satz->Get(which).IsActive();
}

void Refresh(CArbeitsblatt& sheet, int which)
{
    InspektorSatz* satz = FindInspektoren(sheet);
    if (!satz)
        return;
    // A window still opening takes the page at its first refresh.
    if (which == INSPEKTOR_TABELLE)
        FollowPane(sheet, *satz);
    if (!satz->Get(which).IsActive())
        return;
    if (which == INSPEKTOR_OEKO)
        FollowPaneCosts(sheet, *satz);
    switch (which) {
    case INSPEKTOR_TABELLE:
        satz->TABELLE.Notify();
        break;
    case INSPEKTOR_BEWERTUNG:
        satz->BEWERTUNG.ShowSummary(sheet.GetAZPBewertung(), sheet.GetSBPBewertung());
        break;
    default:
        satz->OEKO.Recompute();
        satz->OEKO.Notify();
        break;
    }
}

void Dispose(CArbeitsblatt& sheet)
{
    auto found = Saetze().find(&sheet);
    if (found == Saetze().end())
        return;
    for (int which = INSPEKTOR_TABELLE; which <= INSPEKTOR_OEKO; ++which)
        found->second->Get(which).Close();
    Saetze().erase(found);
}
} // namespace

CInspektor& InspektorSatz::Get(int which)
{
    switch (which) {
    case INSPEKTOR_TABELLE: return TABELLE;
    case INSPEKTOR_BEWERTUNG: return BEWERTUNG;
    default: return OEKO;
    }
}

InspektorSatz& InspektorenOf(CArbeitsblatt& sheet)
{
    auto& slot = Saetze()[&sheet];
    if (!slot) {
        slot = std::make_unique<InspektorSatz>();
        slot->TABELLE.SetArbeitsblatt(&sheet);
        slot->OEKO.SetArbeitsblatt(&sheet);
        slot->BEWERTUNG.FillGroups(sheet);
    }
    return *slot;
}

InspektorSatz* FindInspektoren(const CArbeitsblatt& sheet)
{
    auto found = Saetze().find(&sheet);
    return found == Saetze().end() ? nullptr : found->second.get();
}

void InstallInspektoren()
{
    CArbeitsblatt::Inspektoren hooks;
    hooks.show = Show;
    hooks.close = Close;
    hooks.isOpen = IsOpen;
    hooks.refresh = Refresh;
    hooks.dispose = Dispose;
    CArbeitsblatt::SetInspektoren(std::move(hooks));
}
