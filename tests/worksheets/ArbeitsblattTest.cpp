// The worksheet as a stored part and a tree node: a new worksheet, its record, copy, rename and
// the requests it offers, in a project of real worksheets.
#include "worksheets/Arbeitsblatt.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "core/Files.h"
#include "core/Projektmanager.h"
#include "core/Schicht.h"
#include "plans/AKBData.h"
#include "plans/AZPData.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"
#include "platform/values/Date.h"
#include "ScratchProjectSupport.h"

namespace {

class ArbeitsblattTest : public ScratchProject {
protected:
    ArbeitsblattTest() : ScratchProject(ARBEITSBLATT_AZ) {}

    static CArbeitsblatt& sheet(int i) { return *static_cast<CArbeitsblatt*>(projekt().GetArbeitsblatt(i)); }
    // The records of the worksheet table in the working copy.
    static int32_t StoredRecords() { return sheet(1).CountInstances(); }
};

TEST_F(ArbeitsblattTest, NewWorksheetsOfBothKinds)
{
    CArbeitsblatt& az = sheet(1);
    EXPECT_EQ(az.GetTyp(), ARBEITSBLATT_AZ);
    EXPECT_EQ(az.GetText(), "Arbeitszeitblatt");
    EXPECT_EQ(az.GetBezugsrahmen(), 1);
    EXPECT_EQ(az.GetSchichtgruppenstaerke(), 1);
    EXPECT_EQ(az.GetIcon(), "~mini_tabelle.ico");
    EXPECT_EQ(az.CountEntries(), 4);
    EXPECT_EQ(StoredRecords(), 1);   // stored once at once

    auto& flex = *static_cast<CArbeitsblatt*>(projekt().AddArbeitsblatt(ARBEITSBLATT_FLEX));
    EXPECT_EQ(flex.GetText(), "Flex-Arbeitszeitblatt");
    EXPECT_EQ(flex.GetIcon(), "~mini_kalender.ico");
    EXPECT_EQ(flex.CountEntries(), 3);
    EXPECT_EQ(StoredRecords(), 2);
    flex.SetBezugsrahmen(4, false);   // a flex worksheet has no reference period
    flex.SetSchichtgruppenstaerke(3, false);
    EXPECT_EQ(flex.GetBezugsrahmen(), 1);
    EXPECT_EQ(flex.GetSchichtgruppenstaerke(), 1);
    az.SetBezugsrahmen(4, false);
    az.SetSchichtgruppenstaerke(3, false);
    az.SetBezugsrahmen(7, true);      // keep: the value stays
    EXPECT_EQ(az.GetBezugsrahmen(), 4);
    EXPECT_EQ(az.GetSchichtgruppenstaerke(), 3);
}

TEST_F(ArbeitsblattTest, TheWorksheetHasNoStepsOfItsOwn)
{
    CArbeitsblatt& s = sheet(1);
    EXPECT_EQ(s.StoreStep(), STORE_REFUSED);
    EXPECT_FALSE(s.CanUndo(1));
    EXPECT_FALSE(s.CanRedo(1));
    EXPECT_EQ(s.Undo(1), STORE_REFUSED);
    EXPECT_EQ(s.Redo(1), STORE_REFUSED);
}

TEST_F(ArbeitsblattTest, RenameRefusesBlankNamesAndCutsLongOnes)
{
    CArbeitsblatt& s = sheet(1);
    ASSERT_TRUE(s.AcceptsRequest(TREE_RENAME));
    EXPECT_EQ(s.TakeRequest(TREE_RENAME, ""), STORE_REFUSED);
    EXPECT_EQ(s.TakeRequest(TREE_RENAME, "    "), STORE_REFUSED);
    EXPECT_EQ(s.GetText(), "Arbeitszeitblatt");
    EXPECT_FALSE(projekt().IsChanged());
    EXPECT_EQ(s.TakeRequest(TREE_RENAME, "Spätdienst Süd"), STORE_DONE);
    EXPECT_EQ(s.GetText(), "Spätdienst Süd");
    EXPECT_TRUE(projekt().IsChanged());   // closing now asks to save the new name
    std::string longName;
    for (int i = 0; i < 90; ++i) longName += "ä";
    EXPECT_EQ(s.TakeRequest(TREE_RENAME, longName), STORE_DONE);
    EXPECT_EQ(s.GetText(), longName.substr(0, 80 * 2));   // 80 characters of two bytes each
}

TEST_F(ArbeitsblattTest, DeleteIsOfferedOnlyWhileTheProjectHasTwoWorksheets)
{
    EXPECT_FALSE(sheet(1).AcceptsRequest(TREE_DELETE));
    projekt().AddArbeitsblatt(ARBEITSBLATT_FLEX);
    EXPECT_TRUE(sheet(1).AcceptsRequest(TREE_DELETE));
    EXPECT_TRUE(sheet(2).AcceptsRequest(TREE_DELETE));
    for (int r : {1, 2, 3, 6, 8, 9}) EXPECT_TRUE(sheet(1).AcceptsRequest(r)) << r;
    for (int r : {5, 7, 10}) EXPECT_FALSE(sheet(1).AcceptsRequest(r)) << r;
}

TEST_F(ArbeitsblattTest, DuplicateNamesTheCopyAndCopiesItsOwnData)
{
    CArbeitsblatt& source = sheet(1);
    source.TakeRequest(TREE_RENAME, std::string(75, 'x'));
    source.SetBezugsrahmen(6, false);
    source.GetKommentar().KOMMENTAR = "Notiz";
    source.GetKommentar().ARBEITNEHMER[14] = "Meier";
    GlobalProjektmanager.DuplicateArbeitsblatt(source);
    ASSERT_EQ(projekt().CountArbeitsblaetter(), 2);
    CArbeitsblatt& copy = sheet(2);
    EXPECT_EQ(copy.GetText(), "Kopie von " + std::string(70, 'x'));   // cut to 80
    EXPECT_EQ(copy.GetTyp(), ARBEITSBLATT_AZ);
    EXPECT_EQ(copy.GetBezugsrahmen(), 6);
    EXPECT_EQ(copy.GetKommentar(), source.GetKommentar());
    EXPECT_TRUE(projekt().IsChanged());
    copy.GetKommentar().KOMMENTAR = "geändert";
    EXPECT_EQ(source.GetKommentar().KOMMENTAR, "Notiz");
}

TEST_F(ArbeitsblattTest, SavedFieldsLoadBackInTheirOrder)
{
    CArbeitsblatt& first = sheet(1);
    first.TakeRequest(TREE_RENAME, "Früh");
    first.SetBezugsrahmen(5, false);
    first.SetSchichtgruppenstaerke(2, false);
    KommentarInfo& notes = first.GetKommentar();
    notes.KOMMENTAR = "Zeile 1\r\nZeile 2";
    notes.BEZEICHNUNGARBEITSPLATZ = "Leitstelle";
    notes.TAETIGKEITEN[5] = "Funk";
    notes.ANZAHLARBEITSPLAETZE = 12;
    notes.ARBEITNEHMER[0] = "Özdemir";
    notes.BISHERIGESCHICHTZEIT = 8 * 360000 + 1;
    notes.BEARBEITER = "Planer";
    notes.ANSPRECHPARTNER = "Betriebsrat";
    auto& flex = *static_cast<CArbeitsblatt*>(projekt().AddArbeitsblatt(ARBEITSBLATT_FLEX));
    flex.TakeRequest(TREE_RENAME, "Gleitzeit");
    projekt().AddArbeitsblatt(ARBEITSBLATT_AZ);
    projekt().SetFileName("blaetter");
    ASSERT_EQ(projekt().Save(), STORE_DONE);
    const KommentarInfo saved = notes;
    projekt().Close();

    projekt().SetFileName(dir_ + "/blaetter.prj");
    ASSERT_EQ(projekt().Load(), STORE_DONE);
    ASSERT_EQ(projekt().CountArbeitsblaetter(), 3);
    EXPECT_EQ(sheet(1).GetText(), "Früh");
    EXPECT_EQ(sheet(1).GetBezugsrahmen(), 5);
    EXPECT_EQ(sheet(1).GetSchichtgruppenstaerke(), 2);
    KommentarInfo expected = saved;
    expected.LETZTEAENDERUNG = static_cast<int32_t>(DateToday());   // the date of the save
    EXPECT_EQ(sheet(1).GetKommentar(), expected);
    EXPECT_EQ(sheet(2).GetText(), "Gleitzeit");
    EXPECT_EQ(sheet(2).GetTyp(), ARBEITSBLATT_FLEX);
    EXPECT_EQ(sheet(3).GetText(), "Arbeitszeitblatt");
}

// Early, late and night shifts, two days of staff demand and a plan of two groups; the cells of
// the plan as their shift types' short names ("." free), group by group.
std::string FillPlanParts(CArbeitsblatt& s)
{
    s.SetBezugsrahmen(2, false);
    std::vector<uint32_t> ids;
    for (auto [name, letter, from] : {std::tuple{"Frühschicht", "F", 360u}, std::tuple{"Spätschicht", "S", 840u},
                                      std::tuple{"Nachtschicht", "N", 1320u}}) {
        CSchicht shift;
        shift.Clear();
        shift.ART = ART_NORMAL;
        shift.BEZEICHNUNG = name;
        shift.KURZBEZEICHNUNG = letter;
        shift.TERMIN = {from, (from + 480) % 1440};
        shift.ClassifyLageByStart();
        s.GetSchichttypen().AddSchicht(shift, true);
        ids.push_back(shift.SYSID);
    }
    s.GetSBP().SyncSchichttypen();
    CAKBEintrag span;
    span.TERMIN = {360, 2 * 1440 + 1320};
    span.ANZAHL = 3;
    s.GetAKB().MergeDemand(span, true);
    s.GetAZP().SetGroupCount(2);
    const char* rows[2] = {"FFSSNN..FFSSNN", "SSNN..FFSSNN.."};
    for (uint32_t g = 1; g <= 2; ++g)
        for (uint32_t d = 1; d <= 14; ++d)
            if (rows[g - 1][d - 1] != '.')
                s.GetAZP().SetCell(d, g, ids[std::string("FSN").find(rows[g - 1][d - 1])]);
    s.ComputeSBPFromAZP();
    for (ISavable* part : {&s.GetSchichttypen().GetSavable(), &s.GetAKB().GetSavable(), &s.GetSBP().GetSavable(),
                           &s.GetAZP().GetSavable()})
        EXPECT_EQ(part->StoreStep(), STORE_DONE);
    return std::string(rows[0]) + rows[1];
}

std::string PlanCells(CArbeitsblatt& s)
{
    std::string cells;
    for (uint32_t g = 1; g <= s.GetAZP().CountGroups(); ++g)
        for (uint32_t d = 1; d <= 14; ++d) {
            const CSchicht* shift = s.GetAZP().GetCellSchicht(d, g);
            cells += shift ? shift->KURZBEZEICHNUNG : ".";
        }
    return cells;
}

TEST_F(ArbeitsblattTest, EveryPlanPartSurvivesSaveAndReopen)
{
    const std::string cells = FillPlanParts(sheet(1));
    // The shift demand counted from the plan: one early shift on Monday of week 1, group 1's.
    const uint32_t early = sheet(1).GetSchichttypen().FindByKurzbezeichnung("F")->SYSID;
    EXPECT_EQ(sheet(1).GetSBP().GetCountBySysId(1, early), 1);
    EXPECT_EQ(sheet(1).GetSBP().GetCountBySysId(7, early), 1);   // group 2's Sunday
    const long spans = sheet(1).GetAKB().Count();
    ASSERT_GT(spans, 0);
    projekt().SetFileName("teile");
    ASSERT_EQ(projekt().Save(), STORE_DONE);
    projekt().Close();

    projekt().SetFileName(dir_ + "/teile.prj");
    ASSERT_EQ(projekt().Load(), STORE_DONE);
    CArbeitsblatt& s = sheet(1);
    EXPECT_EQ(s.GetSchichttypen().Count(), 3);
    EXPECT_EQ(s.GetAKB().Count(), spans);
    EXPECT_EQ(s.GetSBP().CountRows(), 3);
    EXPECT_EQ(s.GetSBP().GetCountBySysId(1, early), 1);
    EXPECT_EQ(PlanCells(s), cells);
}

// What the plan parts hold, as text: the shift types in list order, the shift demand plan's rows
// with their counts, the plan's ids.
std::string PartsState(CArbeitsblatt& s)
{
    std::string out = "types";
    for (long n = 1; const CSchicht* type = s.GetSchichttypen().GetByIndex(n); ++n)
        out += " " + std::to_string(type->SYSID) + "/" + type->KURZBEZEICHNUNG;
    out += "\nshift demand";
    for (long n = 1; n <= s.GetSBP().CountRows(); ++n) {
        const uint32_t id = s.GetSBP().GetRowSysId(n);
        const CSchicht* type = s.GetSchichttypen().FindBySysId(id, false);
        out += "\n" + std::to_string(id) + "/" + (type ? type->KURZBEZEICHNUNG : "(none)") + ":";
        for (uint16_t d = 1; d <= 14; ++d)
            out += " " + std::to_string(s.GetSBP().GetCount(d, uint16_t(n)));
    }
    out += "\nplan";
    for (uint32_t g = 1; g <= s.GetAZP().CountGroups(); ++g)
        for (uint32_t d = 1; d <= 14; ++d)
            out += " " + std::to_string(s.GetAZP().GetCell(d, g));
    return out;
}

// A plan naming a shift type the list lacks gets its "?" placeholder when the project opens; the
// shift demand plan has the placeholder's row at once, as after saving and opening again. The
// row is the shift demand plan's own in memory: it stores no step and changes nothing there.
TEST_F(ArbeitsblattTest, APlaceholderShiftTypeHasItsShiftDemandRowAtOnce)
{
    FillPlanParts(sheet(1));
    constexpr uint32_t kMissing = 4'000'000;
    sheet(1).GetAZP().SetCell(3, 1, kMissing);
    sheet(1).GetAZP().SetCell(10, 2, kMissing);
    ASSERT_EQ(sheet(1).GetAZP().GetSavable().StoreStep(), STORE_DONE);
    projekt().SetFileName("fehlt");
    ASSERT_EQ(projekt().Save(), STORE_DONE);
    projekt().Close();

    projekt().SetFileName(dir_ + "/fehlt.prj");
    ASSERT_EQ(projekt().Load(), STORE_DONE);
    CArbeitsblatt& opened = sheet(1);
    const CSchicht* placeholder = opened.GetSchichttypen().FindBySysId(kMissing, false);
    ASSERT_NE(placeholder, nullptr);
    EXPECT_EQ(placeholder->BEZEICHNUNG, "unbekannt");
    EXPECT_EQ(opened.GetSchichttypen().Count(), 4);
    ASSERT_EQ(opened.GetSBP().CountRows(), 4);
    ASSERT_NE(opened.GetSBP().FindRowBySysId(kMissing), 0);
    for (uint16_t d = 1; d <= 14; ++d)
        EXPECT_EQ(opened.GetSBP().GetCountBySysId(d, kMissing), 0) << "day " << d;
    EXPECT_FALSE(opened.GetSBP().GetSavable().CanUndo(1));
    EXPECT_FALSE(opened.GetSBP().GetSavableManager().FileManager().HasChanged());
    const std::string atOpening = PartsState(opened);
    // The placeholder itself is a step of the shift types, still to be saved.
    EXPECT_TRUE(projekt().IsChanged());

    ASSERT_EQ(projekt().Save(), STORE_DONE);
    projekt().Close();
    projekt().SetFileName(dir_ + "/fehlt.prj");
    ASSERT_EQ(projekt().Load(), STORE_DONE);
    EXPECT_EQ(PartsState(sheet(1)), atOpening);
    EXPECT_FALSE(projekt().IsChanged()) << "the placeholder is stored now: nothing to make at opening";
}

TEST_F(ArbeitsblattTest, ACopyUndoesToItsFirstStepNeverToEmptyParts)
{
    const std::string cells = FillPlanParts(sheet(1));
    GlobalProjektmanager.DuplicateArbeitsblatt(sheet(1));
    ASSERT_EQ(projekt().CountArbeitsblaetter(), 2);
    CArbeitsblatt& copy = sheet(2);
    EXPECT_EQ(PlanCells(copy), cells);
    copy.GetAZP().SetCell(1, 1, 0);
    ASSERT_EQ(copy.GetAZP().GetSavable().StoreStep(), STORE_DONE);
    ASSERT_EQ(copy.GetAZP().GetSavable().Undo(1), STORE_DONE);
    EXPECT_EQ(PlanCells(copy), cells);
    EXPECT_FALSE(copy.GetAZP().GetSavable().CanUndo(1));
}

TEST_F(ArbeitsblattTest, ADeletedWorksheetLeavesNothingInTheFile)
{
    // The records of the first worksheet's parts in a saved file, with and without a second one
    // that was deleted before the save.
    auto savedRecords = [this](const std::string& name) {
        projekt().SetFileName(name);
        EXPECT_EQ(projekt().Save(), STORE_DONE);
        projekt().Close();
        projekt().SetFileName(dir_ + "/" + name + ".prj");
        EXPECT_EQ(projekt().Load(), STORE_DONE);
        std::vector<int32_t> records{StoredRecords()};
        for (ISavable* part : {&sheet(1).GetSchichttypen().GetSavable(), &sheet(1).GetAKB().GetSavable(),
                               &sheet(1).GetSBP().GetSavable(), &sheet(1).GetAZP().GetSavable()})
            records.push_back(part->CountInstances());
        return records;
    };
    FillPlanParts(sheet(1));
    const std::vector<int32_t> alone = savedRecords("allein");
    const std::string cells = PlanCells(sheet(1));
    auto& second = *static_cast<CArbeitsblatt*>(projekt().AddArbeitsblatt(ARBEITSBLATT_AZ));
    FillPlanParts(second);
    projekt().RemoveArbeitsblatt(2, true);
    EXPECT_EQ(savedRecords("geloescht"), alone);
    ASSERT_EQ(projekt().CountArbeitsblaetter(), 1);
    EXPECT_EQ(PlanCells(sheet(1)), cells);
}

TEST_F(ArbeitsblattTest, TreeShowsEveryPartBelowItsWorksheetAndTheNotesFollowTheirText)
{
    CArbeitsblatt& s = sheet(1);
    projekt().AddArbeitsblatt(ARBEITSBLATT_FLEX);
    CTree tree;
    tree.Refresh(&projekt());
    // A flex worksheet has no shift-types child.
    const std::vector<std::pair<std::string, int>> expected = {
        {"Arbeitszeitblatt", 2},
        {"Notizen (leer)", 3},
        {"Schichttypen", 3},
        {"Belastungseinschätzung nach EBA", 3},
        {"Ökonomische Kostenfaktoren", 3},
        {"Definitionspool (Rahmenbedingungen und Kriterieneinstellungen)", 3},
        {"Flex-Arbeitszeitblatt", 2},
        {"Notizen (leer)", 3},
        {"Belastungseinschätzung nach EBA", 3},
        {"Ökonomische Kostenfaktoren", 3},
        {"Definitionspool (Rahmenbedingungen und Kriterieneinstellungen)", 3},
    };
    ASSERT_EQ(tree.RowCount(), 2 + long(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(tree.Row(long(i) + 3)->SCREENTEXT, expected[i].first) << i;
        EXPECT_EQ(std::abs(tree.Row(long(i) + 3)->LEVEL), expected[i].second) << i;   // negative: has children
    }
    s.GetKommentar().BEZEICHNUNGARBEITSPLATZ = "Pforte";
    tree.Refresh();
    EXPECT_EQ(tree.Row(4)->SCREENTEXT, "Pforte");
}

} // namespace
