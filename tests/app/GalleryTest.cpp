// The gallery: every window and dialog of the program, opened offscreen on sample data by the real
// renderer, one PNG each in the build folder's "gallery" directory, so that the whole program can
// be looked at in a minute. Run it alone with
//     build/test/tests/app_tests --gtest_filter='Gallery*'
// A new window is one more line in kSheets: a name for its picture and the call that opens it on
// the program's thread (it sets up what it needs; the run is unwound after the picture).
#include "app/Program.h"
#include "app/WindowPictures.h"
#include "assessment/BelastungDialoge.h"
#include "assessment/DefinitionsDialog.h"
#include "assessment/Definitionspool.h"
#include "assessment/Belastungseinschaetzung.h"
#include "assessment/Belastungseinschaetzungen.h"
#include "assessment/KostenDialog.h"
#include "assessment/KriterienBelastung.h"
#include "assessment/SchichttypDialoge.h"
#include "assessment/VorgabenDialoge.h"
#include "core/Files.h"
#include "core/Frame.h"
#include "core/KommentarManager.h"
#include "core/MessageDialog.h"
#include "core/ProjektDialogs.h"
#include "core/Projektmanager.h"
#include "core/ProjektmanagerWindow.h"
#include "core/Startup.h"
#include "generation/AZPOptimizer.h"
#include "generation/AZWizard.h"
#include "generation/ProgressWindow.h"
#include "generation/SBPGenerator.h"
#include "generation/SBWizard.h"
#include "platform/fw/FwFileManager.h"
#include "platform/qt/Renderer.h"
#include "platform/qt/WindowView.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Date.h"
#include "platform/values/Locale.h"
#include "plans/AKBEintrag.h"
#include "plans/AZPData.h"
#include "plans/FlexAZ.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"
#include "worksheets/AKBEintragDialog.h"
#include "worksheets/Arbeitsblatt.h"
#include "worksheets/FlexzeitDialog.h"
#include "worksheets/Legende.h"

#include "CutTextSupport.h"
#include "PictureRunSupport.h"
#include "SampleWorksheets.h"

#include <QAbstractButton>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

using namespace apptest;

namespace {

// Sample data the windows show.
CBelastungseinschaetzung Assessment(const std::string& name, uint8_t days, int fromHour, int toHour, uint32_t sysid)
{
    CBelastungseinschaetzung a;
    a.TAETIGKEIT = name;
    a.WOCHENTAGE = days;
    a.TERMIN = {static_cast<uint32_t>(fromHour * 60), static_cast<uint32_t>(toHour * 60)};
    a.SYSID = sysid;
    for (int n = 1; n <= 18; ++n)
        if (CBelastungseinschaetzung::IsRatedItem(n))
            a.SetItem(n, 1 + n % 4);
    return a;
}

void SampleAssessments()
{
    CBelastungseinschaetzungen list;
    list.Add(Assessment("Frühdienst Kasse", 31, 6, 14, 11));
    list.Add(Assessment("Spätdienst Lager", 31, 14, 22, 12));
    CBelastungseinschaetzung partial = Assessment("Nachtdienst Überwachung", 96, 22, 24, 13);
    partial.SetItem(1, 0);
    list.Add(partial);
    list.WriteToFile(*Access::TMPBEL);
}


// The definitions dialog on one of its tabs: opened for a criterion on that tab.
void Definitionen(long kriterium, uint8_t mode = DEFINITIONS_AZP | DEFINITIONS_SCHICHTEN)
{
    UseDefaultRecords();
    UpdateDefinitionsmanager(kriterium ? mode | DEFINITIONS_KRITERIUM : mode, kriterium, nullptr);
}

struct Sheet {
    const char* name;
    std::function<void()> open;   // on the program's thread
    const char* title = nullptr;  // the window to picture; nullptr: the newest one
    const char* tab = nullptr;    // a tab to choose first, as the user would
    int forward = 0;              // times "weiter >>" is clicked first (a wizard's later pages)
};

// A generation wizard with a definitions pool of the defaults behind its button.
void SBWizardSample()
{
    UseDefaultRecords();
    CSBPGenerator generator;
    generator.GroupStrength(2);
    CDefinitionspool pool;
    SBWizard(generator, &pool);
}

void AZWizardSample(uint8_t mode)
{
    UseDefaultRecords();
    CAZPOptimizer optimizer;
    CDefinitionspool pool;
    AZWizard(optimizer, 6, &pool, mode, 240.0);
}

// A progress window as a generator shows it in the middle of its work; it runs until the run is
// unwound.
void Progress(ProgressLayout layout)
{
    UseScratchProgramFiles();
    CProgressWindow w(layout);
    long done = 40;
    w.Create(UseVar(done));
    w.SetRange(0, 100);
    if (layout == ProgressLayout::ShiftDemand)
        w.SetText(w.MessageControl(), "Nach Zielfunktion Nr. 1 optimieren ...");
    w.SetText(w.PercentControl(), "40 % fertiggestellt.");
    // The search's lines at their widest.
    if (layout == ProgressLayout::Optimizer) {
        w.SetText(w.InfoControl(1), "Verbesserungen: 123456");
        w.SetText(w.InfoControl(2), "bei Iteration Nr: 1234567");
        w.SetText(w.InfoControl(3), "aktuelle Plangüte: 12345678,1234");
        w.SetText(w.InfoControl(4), "aktuelle Iteration: 1234567");
    }
    w.ShowMaxTime(60001);
    w.Open();
    w.ShowProgress();
    w.RunLoop([] { return true; });
}

const Sheet kSheets[] = {
    {"flex_arbeitsblatt", [] { SampleFlexWorksheet(); }, "Flex-Arbeitszeitblatt"},
    {"flex_eintrag", [] { UseScratchProgramFiles(); CFlexAZ plan; CFlexSchicht e = FlexEntry(2, 7 * 60, 15 * 60 + 30, 11 * 60, 30);
                          e.PAUSEN[1] = {420, 15, 1}; UpdateFlexzeit(plan, e); }},
    {"arbeitsblatt", [] { SampleWorksheet(); }, "Arbeitszeitblatt"},
    {"tabellen_inspektor", [] { SampleWorksheet(); }, "Tabellen-Inspektor"},
    {"tabellen_inspektor_akb", [] { SampleWorksheet(); }, "Tabellen-Inspektor", "AKB"},
    // Four weeks of a large shift demand: thousands of hours per shift and week.
    {"tabellen_inspektor_sbp", [] { SampleWorksheet([](CArbeitsblatt& sheet, const uint32_t* ids) {
                                        sheet.SetBezugsrahmen(4, false);
                                        sheet.SetSchichtgruppenstaerke(12, false);
                                        for (uint32_t d = 1; d <= 28; ++d)
                                            sheet.GetSBP().AddCount(d, ids[d % 3], d < 8 ? 6 : 1);
                                    }); }, "Tabellen-Inspektor", "SBP"},
    // With an evaluation the working-time plan shows its weekly columns.
    {"arbeitsblatt_bewertet", [] { SampleWorksheet().ShowBewertungInspektor(); }, "Arbeitszeitblatt"},
    {"oeko_inspektor", [] { SampleWorksheet().ShowOekoInspektor(); }, "Ökonomie-Inspektor"},
    {"bewertungs_inspektor", [] { SampleWorksheet().ShowBewertungInspektor(); }, "Bewertungs-Inspektor"},
    {"gesamtbewertung", [] { SampleWorksheet().ShowGesamtbewertung(); }, "Gesamtbewertung AZP"},
    {"legende", [] { UseScratchProgramFiles(); Legende(); }, "Legende"},
    {"willkommen", [] { ProgramMain(); }, "Willkommen bei Varn-4"},
    {"projektinformationen", [] { UseScratchProgramFiles(); GlobalProjektmanager.Projekt().New(ARBEITSBLATT_AZ);
                                   GlobalProjektmanager.Projekt().GetProjektInfo().Edit(); }},
    {"notiz", [] { UseScratchProgramFiles(); KommentarInfo n; n.KOMMENTAR = "Übergabe um 13:45 im Büro.";
                   n.BEZEICHNUNGARBEITSPLATZ = "Pforte Süd"; n.TAETIGKEITEN[0] = "Empfang";
                   UpdateKommentar(n); }},
    {"arbeitsblatt_typ", [] { UseScratchProgramFiles(); SelectArbeitsblattTyp(); }},
    {"kosten", [] { UseScratchProgramFiles(); PendingRequest = 2; TMPKOST.Clear(); TMPKOST.SetReal("STUNDENLOHN", 20.5);
                    UpdateKosten(); }},
    {"lohnrechner", [] { UseScratchProgramFiles(); double lohn = 20.5; Lohnrechner(lohn); }},
    {"belastung_liste", [] { UseScratchProgramFiles(); SampleAssessments(); PendingRequest = 2; BrowseBelastungseinschaetzungen(); }},
    {"belastung_formular", [] { UseScratchProgramFiles(); PendingRequest = 2;
                                CBelastungseinschaetzung a = Assessment("Frühdienst Kasse", 31, 6, 14, 11);
                                UpdateBelastungseinschaetzung(a); }},
    {"belastung_skala", [] { UseScratchProgramFiles(); PendingRequest = 2;
                             CBelastungseinschaetzung a = Assessment("Frühdienst Kasse", 31, 6, 14, 11);
                             UpdateBelastungseinschaetzung(a); }, nullptr, "Mentale Belastung"},
    {"belastung_loeschen", [] { UseScratchProgramFiles(); PendingRequest = 3;
                                CBelastungseinschaetzung a = Assessment("Spätdienst Lager", 31, 14, 22, 12);
                                UpdateBelastungseinschaetzung(a); }},
    {"belastung_konstanten", [] { UseScratchProgramFiles(); BearbeiteEBAKonstanten(); }},
    {"belastung_rechenwerte", [] { UseScratchProgramFiles(); EBA_RECHENWERTE w;
                                   for (size_t h = 0; h < w.ANZRWG.size(); ++h) {
                                       w.ANZRWG[h] = 3.5 + double(h); w.EBA_IDX[h] = 1.25 * double(h);
                                       w.BELA_STD[h] = 0.5 * double(h); w.BELA_SUM[h] = 2.0 * double(h);
                                   }
                                   ViewEbaDaten(w); }},
    {"projektmanager", [] { UseScratchProgramFiles(); GlobalProjektmanager.Projekt().New(ARBEITSBLATT_AZ);
                            GlobalProjektmanager.Projekt().AddArbeitsblatt(ARBEITSBLATT_AZ);
                            Projektmanager(""); }, "Projektmanager"},
    {"belastung_hinweis", [] { UseScratchProgramFiles(); EBAHinweis(); }},
    {"schichttypen", [] { UseScratchProgramFiles(); InstallSchichttypDialoge(); CSchichttypen types; CSchicht s;
                          s.Clear(); s.BEZEICHNUNG = "Frühdienst"; s.KURZBEZEICHNUNG = "F";
                          s.TERMIN = {6 * 60, 14 * 60}; types.AddSchicht(s, false); types.Edit(); }},
    {"schichttyp", [] { UseScratchProgramFiles(); InstallSchichttypDialoge(); CSchichttypen types; CSchicht s;
                        s.Clear(); s.BEZEICHNUNG = "Spätdienst"; s.KURZBEZEICHNUNG = "S";
                        s.TERMIN = {14 * 60, 22 * 60}; types.EditSchicht(s); }},
    {"definitionspool_arbeitszeit", [] { Definitionen(0); }},
    {"definitionspool_ruhezeit", [] { Definitionen(2); }},
    {"definitionspool_wochenende", [] { Definitionen(17); }},
    {"definitionspool_nachtschlaf", [] { Definitionen(11); }},
    {"definitionspool_freizeit", [] { Definitionen(13); }},
    {"definitionspool_schichten", [] { Definitionen(6); }},
    {"definitionspool_belastung", [] { Definitionen(19); }},
    {"definitionspool_oekonomie", [] { Definitionen(21); }},
    {"definitionspool_schichtbedarf", [] { Definitionen(0, DEFINITIONS_SCHICHTEN); }},
    {"definitionspool_grenzwerte", [] { Definitionen(0, DEFINITIONS_AZP | DEFINITIONS_SCHICHTEN | DEFINITIONS_GRENZWERTE); }},
    {"definitionspool_kriterienvorgaben", [] { Definitionen(0, DEFINITIONS_AZP | DEFINITIONS_SCHICHTEN | 0x80); }},
    {"vorgaben", [] { UseDefaultRecords(); UpdateVorgaben(); }},
    {"warntexte", [] { UseDefaultRecords(); PendingRequest = 2; UpdateWarntexte(); }},
    {"warntext", [] { UseDefaultRecords(); PendingRequest = 2; EventPost(EVENT_ACCEPTED, 4); UpdateWarntexte(); }, "Warnungstext"},
    {"meldung", [] { UseScratchProgramFiles(); MessageRequest m; m.caption = "Planungsprojekt schließen";
                     m.text = "Sollen die Änderungen am Planungsprojekt gespeichert werden?";
                     m.icon = MessageIcon::Question; m.buttonBits = BUTTON_YES | BUTTON_NO | BUTTON_CANCEL;
                     MessageShow(m); }},
    {"schichtbedarf_assistent_1", SBWizardSample, "Schichtbedarfsplan generieren"},
    {"schichtbedarf_assistent_2", SBWizardSample, "Schichtbedarfsplan generieren", nullptr, 1},
    {"schichtbedarf_assistent_3", SBWizardSample, "Schichtbedarfsplan generieren", nullptr, 2},
    {"schichtbedarf_assistent_4", SBWizardSample, "Schichtbedarfsplan generieren", nullptr, 3},
    {"schichtbedarf_assistent_5", SBWizardSample, "Schichtbedarfsplan generieren", nullptr, 4},
    {"arbeitszeitplan_assistent_1", [] { AZWizardSample(AZWIZARD_GENERATE); }, "Arbeitszeitplan generieren"},
    {"arbeitszeitplan_assistent_2", [] { AZWizardSample(AZWIZARD_GENERATE); }, "Arbeitszeitplan generieren", nullptr, 1},
    {"arbeitszeitplan_assistent_3", [] { AZWizardSample(AZWIZARD_GENERATE); }, "Arbeitszeitplan generieren", nullptr, 2},
    {"arbeitszeitplan_assistent_4", [] { AZWizardSample(AZWIZARD_GENERATE); }, "Arbeitszeitplan generieren", nullptr, 3},
    {"arbeitszeitplan_optimieren", [] { AZWizardSample(AZWIZARD_OPTIMIZE); }, "Arbeitszeitplan generieren"},
    {"fortschritt_arbeitszeitplan", [] { Progress(ProgressLayout::Optimizer); }, "Berechnung läuft..."},
    {"fortschritt_schichtbedarf", [] { Progress(ProgressLayout::ShiftDemand); }, "Berechnung läuft..."},
    {"arbeitskraeftebedarf_eintrag", [] { UseScratchProgramFiles(); CAKBEintrag span; span.TERMIN = {2 * 1440 + 6 * 60, 2 * 1440 + 14 * 60};
                                         span.ANZAHL = 3; int32_t weeks = 2; uint8_t continuous = 0;
                                         UpdateAKBEintrag(span, weeks, continuous); }},
    {"drucken_nicht_moeglich", [] { UseScratchProgramFiles(); MessageRequest m; m.caption = "Drucken nicht möglich";
                                    m.text = "Der Arbeitszeitplan konnte nicht gedruckt werden:||Kein Drucker eingerichtet.||"
                                             "Sie können ihn stattdessen als PDF-Datei speichern.";
                                    m.icon = MessageIcon::Exclamation; m.buttonTexts = "Als &PDF speichern|&Abbrechen";
                                    MessageShow(m); }},
    {"meldung_ohne_symbol", [] { UseScratchProgramFiles(); MessageRequest m; m.caption = "Hinweis";
                                 m.text = "Das Planungsprojekt wurde gespeichert."; MessageShow(m); }},
};

void PrintTo(const Sheet& sheet, std::ostream* out) { *out << sheet.name; }

class Gallery : public PictureRun, public ::testing::WithParamInterface<Sheet> {};

TEST_P(Gallery, Picture)
{
    const Sheet& sheet = GetParam();
    renderer = std::make_unique<Renderer>();
    renderer->Start(sheet.open);
    // A worksheet starts its window and its table inspector, each on a thread of its own: on a busy
    // machine with the sanitizers that takes several seconds.
    const int window = SettledWindow(*renderer, sheet.title, apptest::kScreenWaitMs);
    ASSERT_NE(window, 0) << sheet.name << ": no window";
    QWidget* top = renderer->WindowWidget(window)->window();
    for (int n = 0; n < sheet.forward; ++n) {
        QAbstractButton* next = nullptr;
        for (QAbstractButton* b : top->findChildren<QAbstractButton*>())
            if (b->isVisible() && b->text() == QStringLiteral("weiter >>"))
                next = b;
        ASSERT_NE(next, nullptr) << "page " << n + 1;
        next->click();
        ASSERT_TRUE(renderer->Settle());
    }
    if (sheet.tab) {
        bool chosen = false;
        for (QTabWidget* tabs : top->findChildren<QTabWidget*>())
            for (int i = 0; i < tabs->count() && !chosen; ++i)
                if (tabs->tabText(i) == QString::fromUtf8(sheet.tab)) {
                    emit tabs->tabBarClicked(i);
                    chosen = true;
                }
        ASSERT_TRUE(chosen) << sheet.tab;
        ASSERT_TRUE(renderer->Settle());
    }
    const QString folder = QString::fromStdString(
        (std::filesystem::path(VARN_TEST_INSTALL_DIR).parent_path() / "gallery").string());
    QDir().mkpath(folder);
    const QString file = folder + QStringLiteral("/") + QString::fromLatin1(sheet.name) + QStringLiteral(".png");
    ASSERT_TRUE(top->grab().save(file)) << file.toStdString();
    // Every text of the window is whole.
    EXPECT_EQ(CutTexts(top), std::vector<std::string>{}) << sheet.name;
}

INSTANTIATE_TEST_SUITE_P(Windows, Gallery, ::testing::ValuesIn(kSheets),
                         [](const ::testing::TestParamInfo<Sheet>& info) { return std::string(info.param.name); });

} // namespace
