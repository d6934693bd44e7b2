#include "assessment/KriteriumZeile.h"

#include <algorithm>
#include <string>

#include "core/Files.h"
#include "platform/ui/Window.h"

namespace {

const char* const kTypTip =
    "1 - gesetzlich (Generierung), 2 - ergonomisch (Generierung), 3 - Anzeige, "
    "4 - gesetzlich (Verstossanzeige), 5 - ergonomisch (Verstossanzeige)";

int Pos(int control, Prop p) { return static_cast<int>(PropertyGet(control, p).Int()); }

} // namespace

void CKriteriumZeile::Init(int g, int n, uint8_t mode) { Init(g, n, mode, KRI); }

void CKriteriumZeile::Init(int g, int n, uint8_t mode, RecordBuffer& record)
{
    CHECKFEQ = g + 1;
    OPTIONFEQ = 0;
    TYP = record.Raw("TYP", n).data();
    AKTIVIERT = record.Raw("AKTIVIERT", n).data();
    RELEVANZ = record.Raw("RELEVANZ", n).data();
    ControlUse(CHECKFEQ, UseVar(*AKTIVIERT));

    const std::string name = record.GetString("BEZEICHNUNG", n);
    if (!name.empty())
        PropertySet(CHECKFEQ, Prop::Text, name);

    const int checkX = Pos(CHECKFEQ, Prop::Xpos), checkY = Pos(CHECKFEQ, Prop::Ypos);
    const int checkH = Pos(CHECKFEQ, Prop::Height);
    // The type entry stands 180 units right of the check box, or at the check box's right end when
    // that is further out: the name entry before it then has room for the longest names.
    const int typX = std::max(checkX + 180, checkX + Pos(CHECKFEQ, Prop::Width) - 12);
    if (mode & DEFINITIONS_KRITERIENVORGABEN) {
        if (name.empty())
            record.SetString("BEZEICHNUNG", PropertyGet(CHECKFEQ, Prop::Text).Str(), n);
        RecordBuffer* r = &record;
        UseVar bezeichnung([r, n] { return PropValue(r->GetString("BEZEICHNUNG", n)); },
                           [r, n](const PropValue& v) { r->SetString("BEZEICHNUNG", v.Str(), n); }, false);
        // Inside the row's group, so that it is shown, hidden and disabled with its row.
        const int entry = ControlCreate(
            Ctl::Entry("@S80").At(checkX + 12, checkY, typX - 8 - (checkX + 12), checkH).Use(bezeichnung), 0, g);
        PropertySet(CHECKFEQ, Prop::Text, std::string());
        ControlUnhide(entry);
    }

    if ((*TYP == 1 || *TYP == 2) && ControlKindOf(g + 4) == ControlKind::Option) {
        OPTIONFEQ = g + 4;
        ControlUse(OPTIONFEQ, UseVar(*RELEVANZ));
        const int optionX = Pos(OPTIONFEQ, Prop::Xpos), optionY = Pos(OPTIONFEQ, Prop::Ypos);
        for (int i = 0; i < 5; ++i) {
            const int radio = ControlCreate(
                Ctl::Radio({}, std::to_string(i + 1)).At(optionX + 56 + 24 * i, optionY + 5, 12, 12), 0, OPTIONFEQ);
            ControlUnhide(radio);
        }
    }

    if (mode & DEFINITIONS_KRITERIENVORGABEN) {
        const int entry =
            ControlCreate(Ctl::Entry("@N1").At(typX, checkY, 12, checkH).Tip(kTypTip).Use(UseVar(*TYP)), 0, g);
        ControlUnhide(entry);
    }
    ControlDisplay();
}

void CKriteriumZeile::Refresh(bool)
{
    // A row without a relevance choice has nothing the rule could switch.
    if (!TYP || OPTIONFEQ == 0 || *TYP >= 3)
        return;
    if (*AKTIVIERT)
        ControlEnable(OPTIONFEQ - 2, OPTIONFEQ);
    else
        ControlDisable(OPTIONFEQ - 2, OPTIONFEQ);
}

int CKriteriumZeile::OnEvent()
{
    Refresh(false);
    return LEVEL_BENIGN;
}
