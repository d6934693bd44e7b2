#include "generation/SBWizard.h"

#include <array>
#include <string>

#include "assessment/Definitionspool.h"
#include "generation/GenerationWizard.h"
#include "generation/SBPGenerator.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

namespace {

constexpr const char* kSection = "SBWizard";

enum SBControl {
    SB_SHEET = 6, SB_TAB1, SB_TEXT1, SB_STAERKE_PROMPT, SB_STAERKE,
    SB_TAB2, SB_TEXT2, SB_DT_PROMPT, SB_DT,
    SB_TAB3, SB_TEXT3, SB_DEFPOOL_PROMPT, SB_DEFPOOL,
    SB_TAB4, SB_TEXT4, SB_TIMEOUT_PROMPT, SB_TIMEOUT, SB_TIMEOUT_UNIT,
    SB_TAB5, SB_TEXT5, SB_OK_PROMPT, SB_OK, SB_CANCEL, SB_PREV, SB_NEXT,
};
static_assert(SB_STAERKE == 10 && SB_DT == 14 && SB_DEFPOOL == 18 && SB_TIMEOUT == 22 && SB_OK == 27 &&
              SB_NEXT == 30);

struct Raster {
    const char* text;
    long minutes;
};
// The grids offered, as "10 Minuten|#10|15 Minuten|#15|...".
constexpr std::array<Raster, 6> kRaster{{
    {"10 Minuten", 10}, {"15 Minuten", 15}, {"20 Minuten", 20}, {"30 Minuten", 30}, {"1 Stunde", 60},
    {"2 Stunden", 120},
}};

long RasterRow(long minutes)
{
    for (size_t i = 0; i < kRaster.size(); ++i)
        if (kRaster[i].minutes == minutes)
            return static_cast<long>(i) + 1;
    return 0;
}

class SBWizardWindow : public CGenerationWizard {
public:
    SBWizardWindow(CSBPGenerator& generator, CDefinitionspool* pool)
        : CGenerationWizard({"SBWizard", "P63$WINDOW", "Schichtbedarfsplan generieren",
                             "Assistent zur Schichtbedarfsplan-Generierung",
                             "Dieser Assistent leitet Sie in mehreren Schritten durch alle Einstellungen, die zur "
                             "Generierung des Schichtbedarfsplans benötigt werden."},
                            {SB_SHEET, SB_TIMEOUT, SB_DEFPOOL, SB_OK, SB_CANCEL, SB_PREV, SB_NEXT}, 5),
          generator_(generator), pool_(pool)
    {
        long dt = 60;
        ReadSetting(kSection, "Preserved-dt", dt, 1, 1440);
        // Only a grid the list offers is taken; anything else starts at one hour.
        dtRow = RasterRow(dt) ? RasterRow(dt) : RasterRow(60);
        ReadSetting(kSection, "Preserved-Timeout", timeout, 0, 8640001);
        persons = generator_.GroupStrength(0, true);
    }

    long persons = 1;
    long dtRow = 0;

    long Dt() const { return kRaster[static_cast<size_t>(dtRow - 1)].minutes; }

protected:
    void DescribePages(ControlDesc& sheet) override
    {
        ControlDesc p1 = Ctl::Tab("Schichtgruppenstärke").Id(SB_TAB1);
        p1.Add(Ctl::Prompt("Die Anzahl der Personen je Schichtgruppen definiert die Gesamtzahl an Arbeitskräften, "
                           "die für die Abdeckung des Arbeitskräftebedarfs zur Verfügung steht.")
                   .Id(SB_TEXT1).At(10, kPageTextTop, kPageTextWidth, kPageTextHeight));
        p1.Add(Ctl::Prompt("Personen/Schichtgruppe:").Id(SB_STAERKE_PROMPT).At(10, kPageRow1, 110, 10));
        p1.Add(Ctl::Spin("@n3", 1, 40).Id(SB_STAERKE).Name("?SCHICHTGRUPPENSTAERKE").Use(UseVar(persons))
                   .At(150, kPageRow1 - 2, 40, 13));

        ControlDesc p2 = Ctl::Tab("Zeitraster").Id(SB_TAB2);
        p2.Add(Ctl::Prompt("Das Zeitraster definiert die Einteilung der generierten Schichttypen. Je feiner das "
                           "Zeitraster, desto länger dauert der Generierungsprozeß, und desto genauer wird die "
                           "Abdeckung des Arbeitskräftebedarfs.")
                   .Id(SB_TEXT2).At(10, kPageTextTop, kPageTextWidth, kPageTextHeight));
        p2.Add(Ctl::Prompt("Zeitraster für Schichttypen:").Id(SB_DT_PROMPT).At(10, kPageRow1, 120, 10));
        std::vector<std::string> rows;
        for (const Raster& r : kRaster)
            rows.push_back(std::string(r.text) + "|" + std::to_string(r.minutes));
        p2.Add(Ctl::DropList("52L(2)|M@S30@").Id(SB_DT).Name("?DT").From(rows).DropRows(6).Use(UseVar(dtRow))
                   .At(150, kPageRow1 - 2, 80, 12));

        ControlDesc p3 = Ctl::Tab("Definitionspool").Id(SB_TAB3);
        p3.Add(Ctl::Prompt("Im Definitionspool können Sie alle Rahmenbedingungen festlegen, die Einfluß auf die "
                           "Erzeugung der Schichttypen haben. Sie können die voreingestellten Werte auch ohne "
                           "Änderung übernehmen.")
                   .Id(SB_TEXT3).At(10, kPageTextTop, kPageTextWidth, kPageTextHeight));
        p3.Add(Ctl::Prompt("Rahmenbedingungen festlegen:").Id(SB_DEFPOOL_PROMPT).At(10, kPageRow1, 120, 10));
        p3.Add(Ctl::Button("Definitionspool anzeigen").Id(SB_DEFPOOL).Name("?BUTTONDEFPOOL").Icon("mini_defpool.ico")
                   .Disabled(pool_ == nullptr).At(150, kPageRow1 - 4, 110, 16));

        ControlDesc p4 = TimeoutPage(SB_TAB4, SB_TEXT4, SB_TIMEOUT_PROMPT, SB_TIMEOUT_UNIT);

        ControlDesc p5 = Ctl::Tab("Generierung").Id(SB_TAB5);
        p5.Add(Ctl::Prompt("Sie haben alle benötigten Einstellungen vorgenommen. Klicken Sie jetzt auf "
                           "\"Schichtbedarfsplan generieren\", um die Generierung zu starten. Bereits vorhandene "
                           "Einträge im Schichtbedarfsplan werden überschrieben.")
                   .Id(SB_TEXT5).At(10, kPageTextTop, kPageTextWidth, kPageTextHeight));
        p5.Add(Ctl::Prompt("Generierung starten:").Id(SB_OK_PROMPT).At(10, kPageRow1, 110, 10));
        p5.Add(Ctl::Button("Schichtbedarfsplan generieren").Id(SB_OK).Name("?BUTTONOK").Icon("generieren.ico")
                   .At(150, kPageRow1 - 4, 130, 16));

        sheet.Add(std::move(p1)).Add(std::move(p2)).Add(std::move(p3)).Add(std::move(p4)).Add(std::move(p5));
    }

    void ShowPage() override
    {
        if (page > 1)
            ControlEnable(SB_PREV);
        else
            ControlDisable(SB_PREV);
        if (page < pages_)
            ControlEnable(SB_NEXT);
        else
            ControlDisable(SB_NEXT);
    }

    int PageField() const override
    {
        return page == 1 ? SB_STAERKE : page == 2 ? SB_DT : page == 4 ? SB_TIMEOUT : 0;
    }

    void EditPool() override
    {
        if (pool_)
            pool_->EditForSBWizard();
    }

    void Apply() override
    {
        generator_.TimeGrid(static_cast<uint16_t>(Dt()));
        generator_.Timeout(TimeoutForGenerator());
        generator_.GroupStrength(persons);
    }

    void WriteSettings() override
    {
        WriteSetting(kSection, "Preserved-dt", Dt());
        WriteSetting(kSection, "Preserved-Timeout", timeout);
    }

private:
    CSBPGenerator& generator_;
    CDefinitionspool* pool_;
};

} // namespace

void SBWizard(CSBPGenerator& generator, CDefinitionspool* pool)
{
    SBWizardWindow w(generator, pool);
    w.RunWizard();
}
