// The definitions pool: its objects and their order, a new pool from the installed defaults,
// the links Apply makes, copying a pool, the undo steps of both records in the project store,
// the transfer area left as it was found, and the edit cycle through the dialog's seam.
// The installed varn4.cfg comes from VARN_INSTALL_DIR (set by the build); the test works on a copy.
#include "assessment/Definitionspool.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "BewertungTestSupport.h"
#include "assessment/Belastungseinschaetzungen.h"
#include "assessment/Kosten.h"
#include "assessment/KriterienArbeitszeit.h"
#include "assessment/KriterienBelastung.h"
#include "assessment/KriterienKosten.h"
#include "assessment/KriterienRelevanteZeiten.h"
#include "assessment/KriterienRuhe.h"
#include "assessment/KriterienWochenende.h"
#include "assessment/Rahmenbedingungen.h"
#include "core/Files.h"
#include "core/ProjektFileManager.h"
#include "platform/records/FileError.h"
#include "platform/ui/MessageShow.h"

namespace fs = std::filesystem;

namespace {

constexpr int32_t T(int hours, int minutes = 0) { return hours * 360'000 + minutes * 6'000 + 1; }

template <class T>
T* As(CRahmenbedingung* r)
{
    return dynamic_cast<T*>(r);
}

template <class T>
T* As(CKriterium* k)
{
    return dynamic_cast<T*>(k);
}

std::vector<uint8_t> Bytes(const RecordBuffer& r) { return {r.Bytes().begin(), r.Bytes().end()}; }

// The record without its key fields ID and STEP (the first 8 bytes of every project layout).
std::vector<uint8_t> Content(const RecordBuffer& r) { return {r.Bytes().begin() + 8, r.Bytes().end()}; }

class Owner : public IDefinitionspoolOwner {
public:
    CBelastungseinschaetzungen* GetBelastungseinschaetzungen() override { return &strain; }
    CKosten* GetKosten() override { return &costs; }
    void OnDefinitionsChanged() override { ++changes; }

    CBelastungseinschaetzungen strain;
    CKosten costs;
    int changes = 0;
};

struct DialogCall {
    uint8_t mode;
    long kriterium;
    IDefinitionspoolOwner* worksheet;
};

class DefinitionspoolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* installed = std::getenv("VARN_INSTALL_DIR");
        const fs::path from = installed ? fs::path(installed) : fs::current_path() / ".." / "app";
        ASSERT_TRUE(fs::exists(from / "varn4.cfg")) << (from / "varn4.cfg") << " fehlt: erst bauen";
        std::string t = (fs::temp_directory_path() / "varnpoolXXXXXX").string();
        ASSERT_NE(::mkdtemp(t.data()), nullptr);
        dir = t;
        fs::copy_file(from / "varn4.cfg", dir / "varn4.cfg");
        InitFileAccess();
        NameProgramFiles(dir.string());
        // As start-up does: the first record of each defaults table into its buffer.
        for (FwFileManager* a : {Access::RBDEFAULT, Access::KRIDEFAULT, Access::RBWARN, Access::RBFEHLER}) {
            ASSERT_EQ(a->TryOpen(), 0) << a->GetName();
            FileSet(*a->File());
            ASSERT_EQ(a->TryNext(), 0) << a->GetName();
            a->Close();
        }
        RB.Clear();
        KRI.Clear();
        ASSERT_EQ(files.OpenNew(Path("plan.prj")), STORE_DONE);
        pool = NewPool(owner);
    }

    void TearDown() override
    {
        CDefinitionspool::SetDialogProcedure({});
        for (auto& p : pools)
            p->Release(files);
        pools.clear();
        files.Close();
        ReleaseFileAccess();
        for (const ProgramFile& f : ProgramFiles())
            if (FileIsOpen(*f.file))
                FileClose(*f.file);
        GlobalFileName.clear();
        fs::remove_all(dir);
        // The shared buffers go back empty: the next test must not find this pool's settings.
        RB.Clear();
        KRI.Clear();
    }

    std::string Path(const std::string& name) const { return (dir / name).string(); }

    // A pool of a worksheet of the project, set to the defaults.
    CDefinitionspool* NewPool(Owner& worksheet, bool reset = true)
    {
        pools.push_back(std::make_unique<CDefinitionspool>());
        CDefinitionspool* p = pools.back().get();
        p->SetArbeitsblatt(&worksheet);
        EXPECT_EQ(p->Init(files, nullptr), STORE_DONE);
        if (reset) {
            EXPECT_EQ(p->ResetNew(), STORE_DONE);
        }
        return p;
    }

    // Records of a project table (all pools together).
    static int64_t Records(RecordFile& file) { return FileRecords(file); }

    // A few settings of every kind changed in the objects.
    static void Change(CDefinitionspool& p)
    {
        As<CRahmenbedingungMindestruhezeit>(p.GetRahmenbedingung(4))->RZ_DAUER_OHNE_AUSGLEICH = T(12);
        As<CRahmenbedingungFreieSonntage>(p.GetRahmenbedingung(5))->FREIE_SONNTAGE = 26;
        As<CRahmenbedingungWAZMittel>(p.GetRahmenbedingung(15))->WAZ = Decimal::FromCents(3850);
        p.GetKriterium(5)->AKTIVIERT = 0;
        p.GetKriterium(5)->RELEVANZ = 2;
        p.GetKriterium(22)->AKTIVIERT = 1;
        p.GetKriterium(18)->TYP = 5;
    }
    static void ExpectChanged(CDefinitionspool& p, bool changed)
    {
        EXPECT_EQ(As<CRahmenbedingungMindestruhezeit>(p.GetRahmenbedingung(4))->RZ_DAUER_OHNE_AUSGLEICH,
                  changed ? T(12) : T(11));
        EXPECT_EQ(As<CRahmenbedingungFreieSonntage>(p.GetRahmenbedingung(5))->FREIE_SONNTAGE, changed ? 26 : 15);
        EXPECT_EQ(As<CRahmenbedingungWAZMittel>(p.GetRahmenbedingung(15))->WAZ.Cents(), changed ? 3850 : 4000);
        EXPECT_EQ(p.GetKriterium(5)->AKTIVIERT, changed ? 0 : 1);
        EXPECT_EQ(p.GetKriterium(5)->RELEVANZ, changed ? 2 : 3);
        EXPECT_EQ(p.GetKriterium(22)->AKTIVIERT, changed ? 1 : 0);
        EXPECT_EQ(p.GetKriterium(18)->TYP, changed ? 5 : 3);
    }

    bewertungtest::TempIni ini;   // the criteria write their weights
    fs::path dir;
    CProjektFileManager files;
    Owner owner;
    std::vector<std::unique_ptr<CDefinitionspool>> pools;
    CDefinitionspool* pool = nullptr;
};

// ---- the objects ---------------------------------------------------------------------------

TEST_F(DefinitionspoolTest, HoldsTheCriteriaInPoolOrderAndTheConstraintsInNumberOrder)
{
    EXPECT_EQ(RB.Size(), 432);
    EXPECT_EQ(KRI.Size(), 1834);
    const auto& criteria = pool->GetKriterien();
    ASSERT_EQ(criteria.size(), kKriterienReihenfolge.size());
    std::set<const CKriterium*> distinct;
    for (std::size_t i = 0; i < criteria.size(); ++i) {
        ASSERT_NE(criteria[i], nullptr);
        EXPECT_EQ(criteria[i]->NUMMER, kKriterienReihenfolge[i]) << "place " << i + 1;
        EXPECT_EQ(criteria[i], pool->GetKriterium(kKriterienReihenfolge[i]));
        EXPECT_EQ(criteria[i]->DEFINITIONSMANAGER, pool);
        distinct.insert(criteria[i]);
    }
    EXPECT_EQ(distinct.size(), 21u);
    EXPECT_EQ(criteria[1]->NUMMER, 3) << "KR3 stands before KR2";
    for (long n : {0L, 20L, 23L, -1L})
        EXPECT_EQ(pool->GetKriterium(n), nullptr) << n;

    const auto& constraints = pool->GetRahmenbedingungen();
    for (int n = 1; n <= 22; ++n) {
        ASSERT_EQ(constraints[std::size_t(n - 1)], pool->GetRahmenbedingung(n));
        const auto same = NewRahmenbedingung(n);
        EXPECT_EQ(typeid(*constraints[std::size_t(n - 1)]), typeid(*same)) << "RB" << n;
    }
    EXPECT_EQ(pool->GetRahmenbedingung(0), nullptr);
    EXPECT_EQ(pool->GetRahmenbedingung(23), nullptr);

    // Each class is the one the criteria table names for the number.
    const std::map<long, const std::type_info*> classes = {
        {1, &typeid(CKriteriumPausen)},          {2, &typeid(CKriteriumRuhezeit)},
        {3, &typeid(CKriteriumSonntagsruhe)},    {4, &typeid(CKriteriumFreieSonntage)},
        {5, &typeid(CKriteriumNachtFrueh)},      {6, &typeid(CKriteriumSchichtlaenge)},
        {7, &typeid(CKriteriumWerktagAZ)},       {8, &typeid(CKriteriumWAZMittel)},
        {9, &typeid(CKriteriumWAZGrenzen)},      {10, &typeid(CKriteriumKontArbeitstage)},
        {11, &typeid(CKriteriumNachtschlafEinzel)}, {12, &typeid(CKriteriumNachtschlafKont)},
        {13, &typeid(CKriteriumSozialzeitEinzel)},  {14, &typeid(CKriteriumSozialzeitKont)},
        {15, &typeid(CKriteriumFamilienzeitEinzel)}, {16, &typeid(CKriteriumFamilienzeitKont)},
        {17, &typeid(CKriteriumWochenende)},     {18, &typeid(CKriteriumRuhezeitAnzeige)},
        {19, &typeid(CKriteriumBelastung)},      {21, &typeid(CKriteriumSchichtkosten)},
        {22, &typeid(CKriteriumPlankosten)},
    };
    for (const auto& [n, type] : classes)
        EXPECT_EQ(typeid(*pool->GetKriterium(n)), *type) << "KR" << n;
}

TEST_F(DefinitionspoolTest, TheTreeNodeIsOneLeafThatOpensTheDialogForTheWorksheet)
{
    CTree tree;
    tree.Refresh(pool);
    ASSERT_EQ(tree.RowCount(), 1);
    EXPECT_EQ(tree.Row(1)->SCREENTEXT, "Definitionspool (Rahmenbedingungen und Kriterieneinstellungen)");
    EXPECT_EQ(tree.ICONLIST.NameAt(tree.Row(1)->ICONNR), "~MINI_DEFPOOL.ICO");
    EXPECT_EQ(pool->CountEntries(), 1);
    EXPECT_TRUE(pool->IsExpanded());
    EXPECT_FALSE(pool->ForceReset());
    for (int request : {TREE_DUPLICATE, TREE_NEW, TREE_DELETE, TREE_RENAME, TREE_COLLAPSE, TREE_EXPAND, TREE_TOGGLE}) {
        EXPECT_FALSE(pool->AcceptsRequest(request)) << request;
        EXPECT_EQ(pool->TakeRequest(request, ""), 5) << request;
    }
    std::vector<DialogCall> calls;
    CDefinitionspool::SetDialogProcedure([&](uint8_t mode, long n, IDefinitionspoolOwner* w) {
        calls.push_back({mode, n, w});
        return 2;
    });
    EXPECT_TRUE(pool->AcceptsRequest(TREE_OPEN));
    EXPECT_EQ(pool->TakeRequest(TREE_OPEN, ""), 0);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].mode, 3);
    EXPECT_EQ(calls[0].kriterium, 0);
    EXPECT_EQ(calls[0].worksheet, &owner);
}

// ---- defaults ------------------------------------------------------------------------------

TEST_F(DefinitionspoolTest, ANewPoolTakesTheInstalledDefaultsAndStoresThemAsItsOnlyStep)
{
    // The objects.
    EXPECT_EQ(As<CRahmenbedingungMindestruhezeit>(pool->GetRahmenbedingung(4))->RZ_DAUER_OHNE_AUSGLEICH, T(11));
    EXPECT_EQ(As<CRahmenbedingungFreieSonntage>(pool->GetRahmenbedingung(5))->FREIE_SONNTAGE, 15);
    for (const CKriterium* k : pool->GetKriterien()) {
        const int n = int(k->NUMMER);
        SCOPED_TRACE(n);
        EXPECT_EQ(k->TYP, KRIDEFAULT.GetInt("TYP", n));
        EXPECT_EQ(k->AKTIVIERT, KRIDEFAULT.GetInt("AKTIVIERT", n));
        EXPECT_EQ(k->RELEVANZ, KRIDEFAULT.GetInt("RELEVANZ", n));
        EXPECT_EQ(k->NAME, KRIDEFAULT.GetString("BEZEICHNUNG", n));
    }
    // One step in each table, holding the defaults as they are: storing the objects changes none.
    EXPECT_FALSE(pool->CanUndo(1));
    EXPECT_FALSE(pool->CanRedo(1));
    EXPECT_EQ(pool->CountInstances(), 1);
    EXPECT_EQ(Records(KRI), 1);
    pool->StoreAll();
    EXPECT_EQ(Content(RB), Content(RBDEFAULT));
    EXPECT_EQ(Content(KRI), Content(KRIDEFAULT));
    EXPECT_EQ(Content(pool->RecordRB()), Content(RBDEFAULT));
}

// The installed criteria defaults: every criterion named as the dialog labels it, the ones with
// a relevance choice in a mode that shows it, every value within its range.
TEST_F(DefinitionspoolTest, TheInstalledCriteriaDefaultsAreComplete)
{
    std::map<long, std::string> labels;
    for (const KriteriumEintrag& e : KriterienTabelle())
        labels[e.NUMMER] = e.BEZEICHNUNG;
    labels[20] = "Belastungssituation für Schichtabfolge berücksichtigen";
    for (int n = 1; n <= 22; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(KRIDEFAULT.GetString("BEZEICHNUNG", n), labels[n]);
        const auto typ = KRIDEFAULT.GetInt("TYP", n);
        EXPECT_GE(typ, 1);
        EXPECT_LE(typ, 5);
        EXPECT_LE(KRIDEFAULT.GetInt("AKTIVIERT", n), 1);
        EXPECT_GE(KRIDEFAULT.GetInt("RELEVANZ", n), 1);
        EXPECT_LE(KRIDEFAULT.GetInt("RELEVANZ", n), 5);
        const KriteriumEintrag* e = FindKriteriumEintrag(n);
        if (e && e->GEWICHT > 0) {
            EXPECT_LE(typ, 2) << "a relevance choice is shown in modes 1 and 2 only";
        }
    }
    // The legal rules of the working-time act are on and shown as legal.
    for (int n : {1, 2, 3, 4, 7}) {
        EXPECT_EQ(KRIDEFAULT.GetInt("AKTIVIERT", n), 1) << n;
        EXPECT_TRUE(KRIDEFAULT.GetInt("TYP", n) == 1 || KRIDEFAULT.GetInt("TYP", n) == 4) << n;
    }
    // What needs data a new worksheet does not have yet starts off.
    for (int n : {19, 20, 21, 22})
        EXPECT_EQ(KRIDEFAULT.GetInt("AKTIVIERT", n), 0) << n;
}

// A configuration without a criteria record: zeros and blanks, but no nameless tree rows.
TEST_F(DefinitionspoolTest, EmptyDefaultsRecordsGiveZerosAndTheLabelsAsNames)
{
    RBDEFAULT.Clear();
    KRIDEFAULT.Clear();
    ASSERT_EQ(pool->ResetNew(), STORE_DONE);
    EXPECT_EQ(As<CRahmenbedingungMindestruhezeit>(pool->GetRahmenbedingung(4))->RZ_DAUER_OHNE_AUSGLEICH, 0);
    for (const CKriterium* k : pool->GetKriterien()) {
        EXPECT_EQ(k->TYP, 0);
        EXPECT_EQ(k->AKTIVIERT, 0);
        EXPECT_EQ(k->NAME, FindKriteriumEintrag(k->NUMMER)->BEZEICHNUNG);
    }
    // The stored record keeps its blanks: the names are not written back.
    pool->StoreAll();
    EXPECT_EQ(KRI.GetString("BEZEICHNUNG", 2), "");
}

// ---- links ---------------------------------------------------------------------------------

TEST_F(DefinitionspoolTest, ApplyLinksEveryCriterionToThisPoolsObjects)
{
    auto rb = [&](int n) -> const void* { return pool->GetRahmenbedingung(n); };
    auto kr = [&](long n) { return pool->GetKriterium(n); };
    struct Case {
        long kr;
        std::vector<const void*> linked;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {1, {As<CKriteriumPausen>(kr(1))->RB11, As<CKriteriumPausen>(kr(1))->RB12, As<CKriteriumPausen>(kr(1))->RB13},
         {11, 12, 13}},
        {2, {As<CKriteriumRuhezeit>(kr(2))->RB4}, {4}},
        {3, {As<CKriteriumSonntagsruhe>(kr(3))->RB6}, {6}},
        {4, {As<CKriteriumFreieSonntage>(kr(4))->RB5, As<CKriteriumFreieSonntage>(kr(4))->RB6}, {5, 6}},
        {5, {As<CKriteriumNachtFrueh>(kr(5))->RB21}, {21}},
        {6, {As<CKriteriumSchichtlaenge>(kr(6))->RB10}, {10}},
        {7, {As<CKriteriumWerktagAZ>(kr(7))->RB14}, {14}},
        {8, {As<CKriteriumWAZMittel>(kr(8))->RB15}, {15}},
        {9, {As<CKriteriumWAZGrenzen>(kr(9))->RB15, As<CKriteriumWAZGrenzen>(kr(9))->RB16}, {15, 16}},
        {10, {As<CKriteriumKontArbeitstage>(kr(10))->RB7}, {7}},
        {11, {As<CKriteriumRelevanteZeiten>(kr(11))->RBRELEVANTEZEITEN}, {18}},
        {12, {As<CKriteriumRelevanteZeiten>(kr(12))->RBRELEVANTEZEITEN}, {18}},
        {13, {As<CKriteriumRelevanteZeiten>(kr(13))->RBRELEVANTEZEITEN}, {19}},
        {14, {As<CKriteriumRelevanteZeiten>(kr(14))->RBRELEVANTEZEITEN}, {19}},
        {15, {As<CKriteriumRelevanteZeiten>(kr(15))->RBRELEVANTEZEITEN}, {20}},
        {16, {As<CKriteriumRelevanteZeiten>(kr(16))->RBRELEVANTEZEITEN}, {20}},
        {17, {As<CKriteriumWochenende>(kr(17))->RB17}, {17}},
        {18, {As<CKriteriumRuhezeitAnzeige>(kr(18))->RB22}, {22}},
        {22, {As<CKriteriumPlankosten>(kr(22))->RB15}, {15}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kr);
        ASSERT_EQ(c.linked.size(), c.expected.size());
        for (std::size_t i = 0; i < c.linked.size(); ++i)
            EXPECT_EQ(c.linked[i], rb(c.expected[i])) << "RB" << c.expected[i];
    }
    EXPECT_EQ(As<CKriteriumSonntagsruhe>(kr(3))->KR2, kr(2));
    EXPECT_EQ(As<CKriteriumBelastung>(kr(19))->EBALISTE, &owner.strain);
    EXPECT_EQ(As<CKriteriumSchichtkosten>(kr(21))->KOSTEN, &owner.costs);
    EXPECT_EQ(As<CKriteriumPlankosten>(kr(22))->KOSTEN, &owner.costs);
    // Linking the relevant-times criteria reads their weights.
    for (long n = 11; n <= 16; ++n)
        EXPECT_EQ(kr(n)->TEILER, 20000.0) << n;

    // What the dialog leaves in the buffers reaches the criteria through their links.
    pool->StoreAll();
    RB.SetInt("RZ_DAUER_OHNE_AUSGLEICH", T(13));
    KRI.SetInt("AKTIVIERT", 0, 2);
    pool->Apply();
    EXPECT_EQ(As<CKriteriumRuhezeit>(kr(2))->RB4->RZ_DAUER_OHNE_AUSGLEICH, T(13));
    EXPECT_EQ(kr(2)->AKTIVIERT, 0);
}

TEST_F(DefinitionspoolTest, WithoutAWorksheetTheStrainAndCostCriteriaReadNothing)
{
    CDefinitionspool alone;
    alone.Apply();
    EXPECT_EQ(As<CKriteriumBelastung>(alone.GetKriterium(19))->EBALISTE, nullptr);
    EXPECT_EQ(As<CKriteriumSchichtkosten>(alone.GetKriterium(21))->KOSTEN, nullptr);
    EXPECT_EQ(As<CKriteriumPlankosten>(alone.GetKriterium(22))->KOSTEN, nullptr);
    EXPECT_EQ(As<CKriteriumRuhezeit>(alone.GetKriterium(2))->RB4, alone.GetRahmenbedingung(4));
    alone.NotifyArbeitsblatt();   // nobody to tell
    // Not part of a project: storing is refused, the objects stay.
    Change(alone);
    EXPECT_EQ(alone.StoreStep(), STORE_REFUSED);
    EXPECT_EQ(alone.Undo(1), STORE_REFUSED);
    EXPECT_EQ(alone.GetKriterium(5)->RELEVANZ, 2);
}

// ---- copying -------------------------------------------------------------------------------

TEST_F(DefinitionspoolTest, AssignFromCopiesSettingsValuesAndTextsButKeepsItsOwnLinks)
{
    Change(*pool);
    pool->GetKriterium(11)->GROUPNAME = "Nachtschlaf";
    // KR20 has no object: only the record carries it.
    pool->StoreAll();
    KRI.SetInt("AKTIVIERT", 1, 20);
    pool->Apply();
    pool->GetRahmenbedingung(7)->WARNTEXT = "eigener Hinweis";
    ASSERT_EQ(pool->StoreStep(), STORE_DONE);

    Owner second;
    CDefinitionspool* copy = NewPool(second);
    copy->AssignFrom(*pool);

    ExpectChanged(*copy, true);
    EXPECT_EQ(copy->GetKriterium(11)->GROUPNAME, "Nachtschlaf");
    EXPECT_EQ(copy->GetRahmenbedingung(7)->WARNTEXT, "eigener Hinweis");
    for (int n = 1; n <= 22; ++n)
        EXPECT_EQ(copy->GetRahmenbedingung(n)->ERRORTEXT, pool->GetRahmenbedingung(n)->ERRORTEXT) << n;
    pool->StoreAll();
    const auto rb = Content(RB), kri = Content(KRI);
    copy->StoreAll();
    EXPECT_EQ(Content(RB), rb);
    EXPECT_EQ(Content(KRI), kri);
    EXPECT_EQ(KRI.GetInt("AKTIVIERT", 20), 1);

    // Everything points into the copy and its worksheet, not at the source.
    for (const CKriterium* k : copy->GetKriterien())
        EXPECT_EQ(k->DEFINITIONSMANAGER, copy) << k->NUMMER;
    EXPECT_EQ(As<CKriteriumRuhezeit>(copy->GetKriterium(2))->RB4, copy->GetRahmenbedingung(4));
    EXPECT_EQ(As<CKriteriumSonntagsruhe>(copy->GetKriterium(3))->KR2, copy->GetKriterium(2));
    EXPECT_EQ(As<CKriteriumBelastung>(copy->GetKriterium(19))->EBALISTE, &second.strain);
    EXPECT_EQ(As<CKriteriumSchichtkosten>(copy->GetKriterium(21))->KOSTEN, &second.costs);
    EXPECT_EQ(As<CKriteriumPlankosten>(copy->GetKriterium(22))->KOSTEN, &second.costs);
    EXPECT_EQ(As<CKriteriumPlankosten>(copy->GetKriterium(22))->RB15, copy->GetRahmenbedingung(15));

    // The two are independent.
    copy->GetKriterium(5)->RELEVANZ = 4;
    As<CRahmenbedingungFreieSonntage>(copy->GetRahmenbedingung(5))->FREIE_SONNTAGE = 20;
    EXPECT_EQ(pool->GetKriterium(5)->RELEVANZ, 2);
    EXPECT_EQ(As<CRahmenbedingungFreieSonntage>(pool->GetRahmenbedingung(5))->FREIE_SONNTAGE, 26);
}

// ---- the project store ---------------------------------------------------------------------

TEST_F(DefinitionspoolTest, IsOnePartOfTheProjectWithTwoSubfiles)
{
    int listed = 0;
    for (ISavable* s : files.Savables())
        listed += s == pool;
    EXPECT_EQ(listed, 1);
    std::set<std::string> tables;
    for (CSubfileManager* s : files.Subfiles())
        if (s == &pool->FileManagerRB() || s == &pool->FileManagerKRI())
            tables.insert(s->TableName());
    EXPECT_EQ(tables, (std::set<std::string>{"Rahmenbedingungen", "Kriterien"}));

    pool->Release(files);
    for (ISavable* s : files.Savables())
        EXPECT_NE(s, pool);
    for (CSubfileManager* s : files.Subfiles())
        EXPECT_TRUE(s != &pool->FileManagerRB() && s != &pool->FileManagerKRI());
    ASSERT_EQ(pool->Init(files, nullptr), STORE_DONE);
}

TEST_F(DefinitionspoolTest, StepsOfBothRecordsUndoRedoSaveAndReload)
{
    Change(*pool);
    ASSERT_EQ(pool->StoreStep(), STORE_DONE);
    EXPECT_EQ(Records(RB), 2);
    EXPECT_EQ(Records(KRI), 2);
    ExpectChanged(*pool, true);

    ASSERT_TRUE(pool->CanUndo(1));
    ASSERT_EQ(pool->Undo(1), STORE_DONE);
    ExpectChanged(*pool, false);
    EXPECT_FALSE(pool->CanUndo(1));
    ASSERT_EQ(pool->Redo(1), STORE_DONE);
    ExpectChanged(*pool, true);
    EXPECT_EQ(pool->Redo(1), STORE_REFUSED);
    ExpectChanged(*pool, true);

    // A new step after an undo replaces the step undone.
    ASSERT_EQ(pool->Undo(1), STORE_DONE);
    pool->GetKriterium(17)->AKTIVIERT = 0;
    ASSERT_EQ(pool->StoreStep(), STORE_DONE);
    EXPECT_EQ(Records(RB), 2);
    EXPECT_EQ(Records(KRI), 2);
    EXPECT_FALSE(pool->CanRedo(1));
    ExpectChanged(*pool, false);
    ASSERT_EQ(pool->Undo(1), STORE_DONE);
    EXPECT_EQ(pool->GetKriterium(17)->AKTIVIERT, 1);
    ASSERT_EQ(pool->Redo(1), STORE_DONE);
    EXPECT_EQ(pool->GetKriterium(17)->AKTIVIERT, 0);

    // Saved and opened again: one step holding the last state.
    Change(*pool);
    ASSERT_EQ(pool->StoreStep(), STORE_DONE);
    ASSERT_EQ(files.Save(Path("plan.prj"), false), STORE_DONE);
    EXPECT_EQ(Records(RB), 1);
    EXPECT_EQ(Records(KRI), 1);
    pool->Release(files);
    files.Close();
    ASSERT_EQ(files.Open(Path("plan.prj")), STORE_DONE);
    RB.Clear();
    KRI.Clear();
    CDefinitionspool* read = NewPool(owner, false);
    ASSERT_EQ(read->Load(true), STORE_DONE);
    ExpectChanged(*read, true);
    EXPECT_EQ(read->GetKriterium(17)->AKTIVIERT, 0);
    EXPECT_EQ(read->GetKriterium(2)->NAME, "Mindestruhezeiten zwischen Schichten einhalten");
    EXPECT_FALSE(read->CanUndo(1));
    EXPECT_EQ(read->CountInstances(), 1);
}

// Undo without an older step applies the pool's own values again - also when another worksheet's
// pool has used the shared buffers since.
TEST_F(DefinitionspoolTest, UndoWithoutAnOlderStepKeepsThePoolsOwnValues)
{
    Change(*pool);
    ASSERT_EQ(pool->Save(), STORE_DONE);
    ASSERT_FALSE(pool->CanUndo(1));

    Owner second;
    CDefinitionspool* other = NewPool(second);   // the defaults through RB and KRI
    ExpectChanged(*other, false);
    RB.CopyFrom(RBDEFAULT);
    KRI.CopyFrom(KRIDEFAULT);

    EXPECT_EQ(pool->Undo(1), STORE_REFUSED);
    ExpectChanged(*pool, true);
    EXPECT_EQ(pool->Redo(1), STORE_REFUSED);
    ExpectChanged(*pool, true);
    ExpectChanged(*other, false);
}

// The element of KR20 and the criteria names have no object; they stay the pool's own when
// another pool has filled the buffers.
TEST_F(DefinitionspoolTest, WhatNoObjectHoldsStaysThePoolsOwn)
{
    pool->StoreAll();
    KRI.SetInt("AKTIVIERT", 1, 20);
    KRI.SetString("BEZEICHNUNG", "Ruhe zwischen Schichten", 2);
    pool->Apply();
    ASSERT_EQ(pool->StoreStep(), STORE_DONE);

    // Another worksheet's pool left its record in the buffer.
    KRI.CopyFrom(KRIDEFAULT);
    pool->StoreAll();
    EXPECT_EQ(KRI.GetInt("AKTIVIERT", 20), 1);
    EXPECT_EQ(KRI.GetString("BEZEICHNUNG", 2), "Ruhe zwischen Schichten");
    EXPECT_EQ(pool->GetKriterium(2)->NAME, "Ruhe zwischen Schichten");
    ASSERT_EQ(pool->StoreStep(), STORE_DONE);
    ASSERT_EQ(pool->Undo(1), STORE_DONE);
    EXPECT_EQ(pool->RecordKRI().GetInt("AKTIVIERT", 20), 1);
}

// Storing, undoing, saving and loading use RB and KRI only as their transfer area: a dialog
// editing them for another worksheet finds them as it left them.
TEST_F(DefinitionspoolTest, StoringAndLoadingLeaveTheTransferAreaAsTheyFoundIt)
{
    Change(*pool);
    ASSERT_EQ(pool->StoreStep(), STORE_DONE);
    RecordBuffer editedRB = RB, editedKRI = KRI;
    editedRB.SetInt("KONTAZ_MAX", 5);
    editedRB.SetInt("ID", 77);
    editedKRI.SetInt("RELEVANZ", 4, 10);
    editedKRI.SetString("BEZEICHNUNG", "im Dialog", 6);

    struct Case {
        const char* name;
        std::function<uint8_t()> run;
    };
    const Case cases[] = {
        {"StoreStep", [&] { return pool->StoreStep(); }},
        {"Undo", [&] { return pool->Undo(1); }},
        {"Redo", [&] { return pool->Redo(1); }},
        {"Undo ohne Schritt", [&] { return pool->Undo(5) == STORE_REFUSED ? STORE_DONE : STORE_REFUSED; }},
        {"Save", [&] { return pool->Save(); }},
        {"Load", [&] { return pool->Load(true); }},
        {"ResetNew", [&] { return pool->ResetNew(); }},
        {"DeleteAllSteps", [&] { return pool->DeleteAllSteps(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RB.CopyFrom(editedRB);
        KRI.CopyFrom(editedKRI);
        EXPECT_EQ(c.run(), STORE_DONE);
        EXPECT_EQ(Bytes(RB), Bytes(editedRB));
        EXPECT_EQ(Bytes(KRI), Bytes(editedKRI));
    }
    // And none of it took the dialog's values.
    EXPECT_NE(As<CRahmenbedingungKontArbeitstage>(pool->GetRahmenbedingung(7))->KONTAZ_MAX, 5);
}

// A step that fails on the second record leaves both sub-files at the step before: no record
// of the first is lost or added.
TEST_F(DefinitionspoolTest, AFailedStepLeavesBothRecordsAsTheyWere)
{
    Change(*pool);
    ASSERT_EQ(pool->StoreStep(), STORE_DONE);   // step 2
    ASSERT_EQ(pool->Undo(1), STORE_DONE);       // back to 1; step 2 can be redone
    const int32_t id = pool->FileManagerKRI().GetID();
    pool->FileManagerKRI().AssignID(CSubfileManager::kNoID);   // the KRI step cannot be taken

    pool->GetKriterium(10)->AKTIVIERT = 0;
    EXPECT_EQ(pool->StoreStep(), STORE_REFUSED);
    EXPECT_EQ(pool->GetKriterium(10)->AKTIVIERT, 0) << "the objects keep the edit";
    EXPECT_EQ(Records(RB), 2) << "the redo step of RB was not deleted";
    EXPECT_EQ(pool->FileManagerRB().CurrentStep(), 1);
    EXPECT_EQ(pool->FileManagerRB().StepsInFile(), 2);

    pool->FileManagerKRI().AssignID(id);
    ASSERT_TRUE(pool->CanRedo(1));
    ASSERT_EQ(pool->Redo(1), STORE_DONE);
    ExpectChanged(*pool, true);
    EXPECT_EQ(pool->GetKriterium(10)->AKTIVIERT, 1);

    // Saving fails as a whole too: both sub-files keep their two steps.
    pool->FileManagerKRI().AssignID(CSubfileManager::kNoID);
    EXPECT_EQ(pool->Save(), STORE_REFUSED);
    pool->FileManagerKRI().AssignID(id);
    EXPECT_EQ(Records(RB), 2);
    EXPECT_EQ(Records(KRI), 2);
    EXPECT_TRUE(pool->CanUndo(1));
}

TEST_F(DefinitionspoolTest, LoadingWithoutItsRecordsKeepsThePoolsValuesAndFails)
{
    Change(*pool);
    ASSERT_EQ(pool->Save(), STORE_DONE);
    // The criteria record is gone; the constraints record is still there.
    ASSERT_EQ(pool->FileManagerKRI().DeleteAll(false), STORE_DONE);
    RB.CopyFrom(RBDEFAULT);
    KRI.CopyFrom(KRIDEFAULT);
    EXPECT_EQ(pool->Load(true), STORE_REFUSED);
    ExpectChanged(*pool, true);

    // Both gone.
    ASSERT_EQ(pool->DeleteAllSteps(), STORE_DONE);
    EXPECT_EQ(Records(RB), 0);
    EXPECT_EQ(pool->Load(true), STORE_REFUSED);
    ExpectChanged(*pool, true);
}

// ---- the edit cycle ------------------------------------------------------------------------

TEST_F(DefinitionspoolTest, TheEntriesOpenTheDialogWithTheirModes)
{
    std::vector<DialogCall> calls;
    CDefinitionspool::SetDialogProcedure([&](uint8_t mode, long n, IDefinitionspoolOwner* w) {
        calls.push_back({mode, n, w});
        return 2;
    });
    EXPECT_EQ(pool->EditForAZWizard(), 0);
    EXPECT_EQ(pool->EditForSBWizard(), 0);
    EXPECT_EQ(pool->EditFromWorksheet(), 0);
    EXPECT_EQ(pool->EditKriterium(9), 0);
    // A criterion's tree entry asks its pool.
    EXPECT_EQ(pool->GetKriterium(17)->TakeRequest(TREE_OPEN, ""), 0);
    const std::vector<std::pair<int, long>> expected = {{1, 0}, {2, 0}, {3, 0}, {7, 9}, {7, 17}};
    ASSERT_EQ(calls.size(), expected.size());
    for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].mode, expected[i].first) << i;
        EXPECT_EQ(calls[i].kriterium, expected[i].second) << i;
        EXPECT_EQ(calls[i].worksheet, &owner) << i;
    }
    EXPECT_EQ(owner.changes, 0);
    EXPECT_FALSE(pool->CanUndo(1));
}

TEST_F(DefinitionspoolTest, TheDialogsEditsAreAppliedAndStoredOnlyWhenItEndsWithOK)
{
    Change(*pool);
    ASSERT_EQ(pool->Save(), STORE_DONE);
    RB.Clear();
    KRI.Clear();

    // The dialog finds the pool's values in the buffers, changes them and answers.
    auto dialog = [](int answer) {
        return [answer](uint8_t, long, IDefinitionspoolOwner*) {
            EXPECT_EQ(RB.GetInt("RZ_DAUER_OHNE_AUSGLEICH"), T(12));
            EXPECT_EQ(KRI.GetInt("RELEVANZ", 5), 2);
            EXPECT_EQ(KRI.GetString("BEZEICHNUNG", 5), "Schichtwechsel Nacht-frei-Früh vermeiden");
            RB.SetInt("KONTAZ_MAX", 5);
            KRI.SetInt("AKTIVIERT", 0, 2);
            return answer;
        };
    };
    CDefinitionspool::SetDialogProcedure(dialog(2));
    EXPECT_EQ(pool->EditFromWorksheet(), 0);
    EXPECT_EQ(As<CRahmenbedingungKontArbeitstage>(pool->GetRahmenbedingung(7))->KONTAZ_MAX, 6);
    EXPECT_EQ(pool->GetKriterium(2)->AKTIVIERT, 1);
    EXPECT_FALSE(pool->CanUndo(1));
    EXPECT_EQ(owner.changes, 0);

    CDefinitionspool::SetDialogProcedure(dialog(1));
    EXPECT_EQ(pool->GetKriterium(2)->Edit(), 0);
    EXPECT_TRUE(pool->GetKriterium(2)->ForceReset());
    EXPECT_EQ(As<CRahmenbedingungKontArbeitstage>(pool->GetRahmenbedingung(7))->KONTAZ_MAX, 5);
    EXPECT_EQ(pool->GetKriterium(2)->AKTIVIERT, 0);
    ExpectChanged(*pool, true);
    EXPECT_EQ(owner.changes, 1);
    ASSERT_TRUE(pool->CanUndo(1));
    ASSERT_EQ(pool->Undo(1), STORE_DONE);
    EXPECT_EQ(As<CRahmenbedingungKontArbeitstage>(pool->GetRahmenbedingung(7))->KONTAZ_MAX, 6);
    EXPECT_EQ(pool->GetKriterium(2)->AKTIVIERT, 1);

    // Without the dialog nothing happens.
    CDefinitionspool::SetDialogProcedure({});
    EXPECT_EQ(pool->EditFromWorksheet(), 0);
    EXPECT_EQ(owner.changes, 1);
}

// The criteria table goes away under the store (the constraints table stays open): the
// objects keep the dialog's edit, the user is told once, the caller gets 5, and both tables keep
// the step before.
TEST_F(DefinitionspoolTest, AnEditWhoseStepCannotBeStoredIsReportedAndKeepsTheStepBefore)
{
    Change(*pool);
    ASSERT_EQ(pool->StoreStep(), STORE_DONE);
    const int64_t rbRecords = Records(RB), kriRecords = Records(KRI);

    std::vector<MessageRequest> shown;
    SetMessageHook([&](const MessageRequest& m) {
        shown.push_back(m);
        return MessageDefaultAnswer(m);
    });
    ASSERT_EQ(FileClose(KRI), ERR_NONE);
    CDefinitionspool::SetDialogProcedure([](uint8_t, long, IDefinitionspoolOwner*) {
        RB.SetInt("KONTAZ_MAX", 5);
        return 1;
    });
    EXPECT_EQ(pool->EditFromWorksheet(), STORE_REFUSED);
    SetMessageHook({});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Definitionen nicht gespeichert");
    EXPECT_EQ(shown[0].text, "Die geänderten Rahmenbedingungen und Kriterien konnten nicht als "
                             "Bearbeitungsschritt gespeichert werden.|Die Einstellungen bleiben wie "
                             "geändert; der vorige Schritt ist unverändert erhalten.");
    EXPECT_EQ(As<CRahmenbedingungKontArbeitstage>(pool->GetRahmenbedingung(7))->KONTAZ_MAX, 5);
    EXPECT_EQ(owner.changes, 1);

    GlobalFileName = files.PhysFileName() + "\\!Kriterien";
    ASSERT_EQ(FileOpen(KRI, FILE_READ_WRITE | FILE_DENY_ALL), ERR_NONE);
    GlobalFileName.clear();
    EXPECT_EQ(Records(RB), rbRecords);
    EXPECT_EQ(Records(KRI), kriRecords);
    EXPECT_FALSE(pool->CanRedo(1));
    ASSERT_EQ(pool->Undo(1), STORE_DONE);
    ExpectChanged(*pool, false);
    ASSERT_EQ(pool->Redo(1), STORE_DONE);
    ExpectChanged(*pool, true);
    EXPECT_EQ(As<CRahmenbedingungKontArbeitstage>(pool->GetRahmenbedingung(7))->KONTAZ_MAX, 6);
    EXPECT_FALSE(pool->CanRedo(1));
}

} // namespace
