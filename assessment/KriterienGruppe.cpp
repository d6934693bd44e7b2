#include "assessment/KriterienGruppe.h"

#include "core/Utilities.h"

void CKriterienGruppe::SetName(const std::string& text)
{
    NAME = Utf8Prefix(text, kKriteriumNameMax);
    EXPANDED = 1;
}

void CKriterienGruppe::Add(CKriterium* criterion)
{
    if (!criterion)
        return;
    CKriterienChecker::Add(criterion);
    criterion->GROUPNAME = NAME;
}

std::string CKriterienGruppe::GetIcon()
{
    long on = 0;
    for (const CKriterium* k : KRITERIEN)
        if (k->AKTIVIERT)
            ++on;
    if (on == CountEntries())
        return "~checked.ico";
    return on == 0 ? "~unchecked.ico" : "~checked_partly.ico";
}

bool CKriterienGruppe::ForceReset()
{
    for (const CKriterium* k : KRITERIEN)
        if (k->TREEENTRYFORCERESET)
            return true;
    return false;
}

void CKriterienGruppe::RefreshTree(int level, CTree& tree)
{
    tree.AddEntry(*this, level, GetText(), GetIcon());
    for (CKriterium* k : KRITERIEN)
        k->RefreshTree(level + 1, tree);
}

bool CKriterienGruppe::AcceptsRequest(int request)
{
    return request == TREE_OPEN || request == TREE_COLLAPSE || request == TREE_EXPAND || request == TREE_TOGGLE;
}

uint8_t CKriterienGruppe::TakeRequest(int request, const std::string&)
{
    switch (request) {
    case TREE_COLLAPSE:
    case TREE_EXPAND:
        EXPANDED = EXPANDED ? 0 : 1;
        break;
    case TREE_TOGGLE: {
        if (QueueRecords(KRITERIEN) == 0)
            break;
        CKriterium* first = KRITERIEN.Rows().front();
        const uint8_t old = first->AKTIVIERT;
        for (CKriterium* k : KRITERIEN) {
            // Through ToggleActive, so a criterion's own reaction to being switched runs.
            k->AKTIVIERT = old;
            k->ToggleActive();
            k->StoreToKRI();
            k->TREEENTRYFORCERESET = 1;
        }
        if (first->DEFINITIONSMANAGER)
            first->DEFINITIONSMANAGER->NotifyArbeitsblatt();
        break;
    }
    default:
        break;
    }
    return 0;
}
