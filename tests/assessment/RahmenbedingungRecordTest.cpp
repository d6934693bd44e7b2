// The 22 constraints as copies of the RB record: every field they cover goes from the record into
// the object and back unchanged, from the defaults record too, and nothing else of the record is
// touched but the shift-window fields the first three keep in step.
#include "assessment/Rahmenbedingungen.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/Files.h"

namespace {

struct Element {
    const Field* field;
    int index;
    bool operator<(const Element& o) const
    {
        return field->offset != o.field->offset ? field->offset < o.field->offset : index < o.index;
    }
};

std::string Name(const Element& e)
{
    return e.field->name + (e.field->count > 1 ? "[" + std::to_string(e.index) + "]" : "");
}

// Every element of every field of the RB layout but the groups.
std::vector<Element> Elements()
{
    std::vector<Element> all;
    for (const auto& f : RB.GetLayout().Fields()) {
        if (f->type == FieldType::Group)
            continue;
        for (int i = 1; i <= f->count; ++i)
            all.push_back({f.get(), f->count > 1 ? i : 0});
    }
    return all;
}

int64_t Get(const RecordBuffer& r, const Element& e)
{
    return e.field->type == FieldType::Decimal ? r.GetDecimal(*e.field, e.index).Cents() : r.GetInt(*e.field, e.index);
}

// A value of its own in every element (none of them 00:00, which RB1 reads as 24:00).
void FillPattern(RecordBuffer& r)
{
    int k = 0;
    for (const Element& e : Elements()) {
        ++k;
        switch (e.field->type) {
        case FieldType::Decimal: r.SetDecimal(*e.field, Decimal::FromCents(1234 + 17 * k), e.index); break;
        case FieldType::Ushort: r.SetInt(*e.field, 100 + k, e.index); break;
        default: r.SetInt(*e.field, 100'000 + 7'919 * k, e.index); break;
        }
    }
}

// The RB layout, not owned (it lives as long as the program's files).
std::shared_ptr<const Layout> RbLayout() { return {std::shared_ptr<const Layout>(), &RB.GetLayout()}; }

struct Coverage {
    int rb;
    std::vector<std::string> fields;                     // DIM members stand for all elements
    std::map<std::string, std::string> follow = {};      // record field := field of the constraint
};

const std::vector<Coverage>& Coverages()
{
    static const std::vector<Coverage> c = {
        {1, {"NACHTAZ_ANFANG", "NACHTAZ_LAENGE", "NACHTAZ_DAUER_MIN"}, {{"SS_BIS", "NACHTAZ_ANFANG"}}},
        {2, {"FS_VON", "FS_BIS"}, {{"TS_VON", "FS_BIS"}}},
        {3, {"TS_VON", "TS_BIS"}, {{"SS_VON", "TS_BIS"}}},
        {4, {"RZ_DAUER_OHNE_AUSGLEICH", "RZ_DAUER_MIT_AUSGLEICH", "RZ_AUSGLEICHSZEITRAUM"}},
        {5, {"FREIE_SONNTAGE"}},
        {6, {"WRZ_DAUER_MIN", "ERSATZ_WRZ_DAUER_MIN", "SAZ_VERSCHIEBUNG", "SAZ_AUSGLEICHSZEITRAUM"}},
        {7, {"KONTAZ_MIN", "KONTAZ_MAX"}},
        {8, {"BETRIEBSTAGSBEGINN"}},
        {9, {"SCHICHTUEBERGABEZEIT"}},
        {10, {"SL_DAUER_MIN", "SL_DAUER_MAX"}},
        {11, {"AZ_AB", "PAUSENLAENGE"}},
        {12, {"ERSTE_PAUSE"}},
        {13, {"MINDESTPAUSENLAENGE"}},
        {14, {"WTAZ_OHNE_AUSGLEICH", "WTAZ_MIT_AUSGLEICH", "WTAZ_AUSGLEICHSZEITRAUM_NORMAL",
              "WTAZ_AUSGLEICHSZEITRAUM_NACHTARBEIT"}},
        {15, {"WOCHENBEGINN", "WAZ", "WAZ_AUSGLEICHSZEITRAUM"}},
        {16, {"WOCHENBEGINN", "WAZ_MIN", "WAZ_MAX"}},
        {17, {"WE_ANFANGSTAG", "WE_ANFANGSZEIT", "WE_ENDTAG", "WE_ENDZEIT", "WE_DAUER_MIN"}},
        {18, {"NS_ANFANGSZEIT_MIN", "NS_ANFANGSZEIT_MAX", "NS_DAUER_MIN", "NS_KONT_STOERUNGEN", "NS_EINZELSTOERUNGEN"}},
        {19, {"SZ_ANFANGSZEIT_MIN", "SZ_ANFANGSZEIT_MAX", "SZ_DAUER_MIN", "SZ_KONT_STOERUNGEN", "SZ_EINZELSTOERUNGEN"}},
        {20, {"FZ_ANFANGSZEIT_MIN", "FZ_ANFANGSZEIT_MAX", "FZ_DAUER_MIN", "FZ_KONT_STOERUNGEN", "FZ_EINZELSTOERUNGEN"}},
        {21, {"RZNACHTARBEIT_MIN"}},
        {22, {"RZANZEIGE_MIN"}},
    };
    return c;
}

class ConstraintRecord : public ::testing::TestWithParam<Coverage> {
protected:
    void SetUp() override
    {
        for (RecordFile* f : {&RB, &RBDEFAULT, &RBWARN, &RBFEHLER})
            f->Clear();
    }

    // After StoreToRB into a cleared record: the covered fields hold the pattern, the fields kept
    // in step hold the pattern of their source, everything else is still clear.
    void ExpectStored(const Coverage& c, const RecordBuffer& pattern)
    {
        const std::set<std::string> own(c.fields.begin(), c.fields.end());
        for (const Element& e : Elements()) {
            SCOPED_TRACE(Name(e));
            int64_t expected = 0;
            if (own.count(e.field->name))
                expected = Get(pattern, e);
            else if (const auto it = c.follow.find(e.field->name); it != c.follow.end())
                expected = pattern.GetInt(it->second);
            EXPECT_EQ(Get(RB, e), expected);
        }
    }
};

void PrintTo(const Coverage& c, std::ostream* os) { *os << "RB" << c.rb; }

TEST_P(ConstraintRecord, FieldsGoFromTheRecordIntoTheObjectAndBack)
{
    const Coverage& c = GetParam();
    RecordBuffer pattern(RbLayout());
    FillPattern(pattern);
    RB.CopyFrom(pattern);
    const std::unique_ptr<CRahmenbedingung> rb = NewRahmenbedingung(c.rb);   // loads the record
    RB.Clear();
    rb->StoreToRB();
    ExpectStored(c, pattern);
}

TEST_P(ConstraintRecord, DefaultsComeFromTheDefaultsRecord)
{
    const Coverage& c = GetParam();
    RecordBuffer pattern(RbLayout());
    FillPattern(pattern);
    const std::unique_ptr<CRahmenbedingung> rb = NewRahmenbedingung(c.rb);   // from a clear record
    RBDEFAULT.CopyFrom(pattern);
    rb->LoadDefaults();
    rb->StoreToRB();
    ExpectStored(c, pattern);
}

TEST_P(ConstraintRecord, AssignMakesAnEqualCopy)
{
    const Coverage& c = GetParam();
    RecordBuffer pattern(RbLayout());
    FillPattern(pattern);
    const std::unique_ptr<CRahmenbedingung> copy = NewRahmenbedingung(c.rb);   // from a clear record
    RB.CopyFrom(pattern);
    const std::unique_ptr<CRahmenbedingung> original = NewRahmenbedingung(c.rb);
    original->WARNTEXT = "W";
    original->ERRORTEXT = "F";
    copy->Assign(*original);
    EXPECT_EQ(copy->WARNTEXT, "W");
    EXPECT_EQ(copy->ERRORTEXT, "F");
    RB.Clear();
    copy->StoreToRB();
    ExpectStored(c, pattern);
}

INSTANTIATE_TEST_SUITE_P(All22, ConstraintRecord, ::testing::ValuesIn(Coverages()));

// The 22 together cover the whole record: only the identity and the late window, which RB1 and
// RB3 maintain, belong to none; only the week start belongs to two.
TEST(ConstraintRecordCoverage, EveryFieldBelongsToAConstraint)
{
    std::map<std::string, int> owners;
    for (const Coverage& c : Coverages())
        for (const std::string& f : c.fields)
            ++owners[f];
    for (const auto& f : RB.GetLayout().Fields()) {
        if (f->type == FieldType::Group)
            continue;
        const bool none = f->name == "ID" || f->name == "STEP" || f->name == "SS_VON" || f->name == "SS_BIS";
        EXPECT_EQ(owners[f->name], none ? 0 : f->name == "WOCHENBEGINN" ? 2 : 1) << f->name;
    }
    EXPECT_EQ(NewRahmenbedingung(0), nullptr);
    EXPECT_EQ(NewRahmenbedingung(23), nullptr);
}

// Decimals at the ends of their field and negative times come back unchanged.
TEST(ConstraintRecordCoverage, ExtremeValuesSurviveTheRoundTrip)
{
    RB.Clear();
    RB.SetDecimal("WAZ", Decimal::FromCents(99'999));
    RB.SetDecimal("WAZ_MIN", Decimal::FromCents(-99'999));
    RB.SetInt("SAZ_VERSCHIEBUNG", -1);
    RB.SetInt("KONTAZ_MAX", 65'535);
    CRahmenbedingungWAZMittel mean;
    CRahmenbedingungWAZGrenzen bounds;
    CRahmenbedingungKontWochenruhezeit weekly;
    CRahmenbedingungKontArbeitstage days;
    RB.Clear();
    for (CRahmenbedingung* c : std::initializer_list<CRahmenbedingung*>{&mean, &bounds, &weekly, &days})
        c->StoreToRB();
    EXPECT_EQ(RB.GetDecimal("WAZ").Cents(), 99'999);
    EXPECT_EQ(RB.GetDecimal("WAZ_MIN").Cents(), -99'999);
    EXPECT_EQ(RB.GetInt("SAZ_VERSCHIEBUNG"), -1);
    EXPECT_EQ(RB.GetInt("KONTAZ_MAX"), 65'535);
}

} // namespace
