#include "generation/AZWizard.h"

#include <algorithm>

#include "assessment/Definitionspool.h"
#include "generation/AZPOptimizer.h"
#include "generation/GenerationWizard.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Picture.h"

namespace {

constexpr const char* kSection = "AZWizard";
constexpr long kGroupsLow = 1, kGroupsHigh = 255;

enum AZControl {
    AZ_SHEET = 6, AZ_TAB1, AZ_TEXT1, AZ_GRUPPEN_PROMPT, AZ_GRUPPEN, AZ_WAZ_PROMPT, AZ_WAZ, AZ_WAZ_UNIT,
    AZ_TAB2, AZ_TEXT2, AZ_DEFPOOL_PROMPT, AZ_DEFPOOL,
    AZ_TAB3, AZ_TEXT3, AZ_TIMEOUT_PROMPT, AZ_TIMEOUT, AZ_TIMEOUT_UNIT,
    AZ_TAB4, AZ_TEXT4, AZ_OK_PROMPT, AZ_OK, AZ_CANCEL, AZ_PREV, AZ_NEXT,
};
static_assert(AZ_GRUPPEN == 10 && AZ_TAB2 == 14 && AZ_DEFPOOL == 17 && AZ_TIMEOUT == 21 && AZ_OK == 26 &&
              AZ_NEXT == 29);

class AZWizardWindow : public CGenerationWizard {
public:
    AZWizardWindow(CAZPOptimizer& optimizer, long smallest, CDefinitionspool* pool, uint8_t mode, double hours)
        : CGenerationWizard({"AZWizard", "P78$WINDOW", "Arbeitszeitplan generieren",
                             "Assistent zur Arbeitszeitplan-Generierung",
                             "Dieser Assistent leitet Sie in mehreren Schritten durch alle Einstellungen, die zur "
                             "Generierung des Arbeitszeitplans benötigt werden."},
                            {AZ_SHEET, AZ_TIMEOUT, AZ_DEFPOOL, AZ_OK, AZ_CANCEL, AZ_PREV, AZ_NEXT}, 4),
          optimizer_(optimizer), pool_(pool), mode_(mode), hours_(hours),
          smallest_(std::clamp(smallest, kGroupsLow, kGroupsHigh))
    {
        ReadSetting(kSection, "Preserved-Timeout", timeout, 0, 8640001);
        ReadSetting(kSection, "Preserved-AnzahlGruppen", groups, kGroupsLow, kGroupsHigh);
        // The remembered count is only a start when optimising; a new plan starts at the fewest
        // groups that can cover the busiest day.
        if (mode_ != AZWIZARD_OPTIMIZE)
            groups = smallest_;
        if (mode_ == AZWIZARD_OPTIMIZE)
            page = 2;
    }

    long groups = 1;

protected:
    void DescribePages(ControlDesc& sheet) override
    {
        ControlDesc p1 = Ctl::Tab("Schichtgruppen").Id(AZ_TAB1).Name("?TAB1");
        p1.Add(Ctl::Prompt("Die Anzahl der Schichtgruppen definiert zusammen mit der Länge des Bezugsrahmens die "
                           "Zykluslänge des Arbeitszeitplans, sowie die durchschnittliche Wochenarbeitszeit.")
                   .Id(AZ_TEXT1).At(10, kPageTextTop, kPageTextWidth, kPageTextHeight));
        p1.Add(Ctl::Prompt("Anzahl Schichtgruppen:").Id(AZ_GRUPPEN_PROMPT).At(10, kPageRow1, 110, 10));
        p1.Add(Ctl::Spin("@n3", kGroupsLow, kGroupsHigh).Id(AZ_GRUPPEN).Name("?ANZAHLGRUPPEN").Use(UseVar(groups))
                   .At(150, kPageRow1 - 2, 40, 13));
        p1.Add(Ctl::Prompt("resultierende Wochenarbeitszeit:").Id(AZ_WAZ_PROMPT).At(10, kPageRow2, 130, 10));
        p1.Add(Ctl::Prompt("").Id(AZ_WAZ).Name("?WAZ").At(150, kPageRow2, 40, 10));
        p1.Add(Ctl::Prompt("Stunden").Id(AZ_WAZ_UNIT).At(194, kPageRow2, 50, 10));

        ControlDesc p2 = Ctl::Tab("Definitionspool").Id(AZ_TAB2).Name("?TAB2");
        p2.Add(Ctl::Prompt("Im Definitionspool können Sie alle Rahmenbedingungen festlegen, die Einfluß auf die "
                           "Erzeugung des Arbeitszeitplans haben. Sie können die voreingestellten Werte auch ohne "
                           "Änderung übernehmen.")
                   .Id(AZ_TEXT2).At(10, kPageTextTop, kPageTextWidth, kPageTextHeight));
        p2.Add(Ctl::Prompt("Rahmenbedingungen festlegen:").Id(AZ_DEFPOOL_PROMPT).At(10, kPageRow1, 120, 10));
        p2.Add(Ctl::Button("Definitionspool anzeigen").Id(AZ_DEFPOOL).Name("?BUTTONDEFPOOL").Icon("mini_defpool.ico")
                   .Disabled(pool_ == nullptr).At(150, kPageRow1 - 4, 110, 16));

        ControlDesc p3 = TimeoutPage(AZ_TAB3, AZ_TEXT3, AZ_TIMEOUT_PROMPT, AZ_TIMEOUT_UNIT);
        p3.Name("?TAB3");

        ControlDesc p4 = Ctl::Tab("Generierung").Id(AZ_TAB4).Name("?TAB4");
        p4.Add(Ctl::Prompt("Sie haben alle benötigten Einstellungen vorgenommen. Klicken Sie jetzt auf "
                           "\"Arbeitszeitplan generieren\", um die Generierung zu starten. Bereits vorhandene "
                           "Einträge im Arbeitszeitplan werden überschrieben.")
                   .Id(AZ_TEXT4).At(10, kPageTextTop, kPageTextWidth, kPageTextHeight));
        p4.Add(Ctl::Prompt("Generierung starten:").Id(AZ_OK_PROMPT).At(10, kPageRow1, 110, 10));
        p4.Add(Ctl::Button("Arbeitszeitplan generieren").Id(AZ_OK).Name("?BUTTONOK").Icon("generieren.ico")
                   .At(150, kPageRow1 - 4, 120, 16));

        sheet.Add(std::move(p1)).Add(std::move(p2)).Add(std::move(p3)).Add(std::move(p4));
    }

    void ShowPage() override
    {
        PropertySet(AZ_GRUPPEN, Prop::RangeLow, smallest_);
        const double waz = groups > 0 ? hours_ / static_cast<double>(groups) : 0.0;
        PropertySet(AZ_WAZ, Prop::Text, FormatPicture(waz, "@n-9`2"));
        // When optimising the group count stays as it is, so its page cannot be reached.
        const bool prev = page > 2 || (page == 2 && mode_ != AZWIZARD_OPTIMIZE);
        if (prev)
            ControlEnable(AZ_PREV);
        else
            ControlDisable(AZ_PREV);
        if (page < pages_)
            ControlEnable(AZ_NEXT);
        else
            ControlDisable(AZ_NEXT);
    }

    int OnAccepted() override
    {
        if (EventAccepted() == AZ_GRUPPEN) {
            Refresh();
            return LEVEL_BENIGN;
        }
        return CGenerationWizard::OnAccepted();
    }

    int OnNewSelection() override
    {
        if (EventControl() == AZ_GRUPPEN) {
            ControlUpdate(AZ_GRUPPEN);
            Refresh();
        }
        return CGenerationWizard::OnNewSelection();
    }

    int PageField() const override { return page == 1 ? AZ_GRUPPEN : page == 3 ? AZ_TIMEOUT : 0; }

    void EditPool() override
    {
        if (pool_)
            pool_->EditForAZWizard();
    }

    void Apply() override
    {
        optimizer_.Timeout(TimeoutForGenerator());
        if (mode_ != AZWIZARD_OPTIMIZE)
            optimizer_.GroupCount(groups);
    }

    void WriteSettings() override
    {
        WriteSetting(kSection, "Preserved-Timeout", timeout);
        WriteSetting(kSection, "Preserved-AnzahlGruppen", groups);
    }

private:
    CAZPOptimizer& optimizer_;
    CDefinitionspool* pool_;
    uint8_t mode_;
    double hours_;
    long smallest_;
};

} // namespace

void AZWizard(CAZPOptimizer& optimizer, long smallestGroupCount, CDefinitionspool* pool, uint8_t mode,
              double weeklyHours)
{
    AZWizardWindow w(optimizer, smallestGroupCount, pool, mode, weeklyHours);
    w.RunWizard();
}
