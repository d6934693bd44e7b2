// The criteria the optimiser runs keep what does not change between checks (the relevant-times
// criteria what a shift's times decide per weekday). A check with a long-lived criterion must
// leave exactly the records a fresh criterion without that store leaves - on random plans, over
// changed settings and over changed shift types.
#include "assessment/KriterienArbeitszeit.h"
#include "assessment/KriterienKosten.h"
#include "assessment/KriterienRelevanteZeiten.h"
#include "assessment/KriterienRuhe.h"
#include "assessment/KriterienWochenende.h"
#include "assessment/Kosten.h"
#include "assessment/RahmenbedingungArbeitszeit.h"
#include "assessment/RahmenbedingungRelevanteZeiten.h"
#include "assessment/RahmenbedingungRuhezeiten.h"
#include "assessment/RahmenbedingungWochenende.h"

#include "CriteriaTestSupport.h"
#include "platform/values/Random.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

using namespace bewertungtest;
using namespace criteriatest;

namespace {

constexpr uint32_t H(uint32_t hours, uint32_t minutes = 0) { return hours * 60 + minutes; }

// The constraints the twelve criteria read, with values that make every criterion find something.
struct Constraints {
    Constraints()
    {
        rb4.RZ_DAUER_OHNE_AUSGLEICH = T(11);
        rb7.KONTAZ_MIN = 2;
        rb7.KONTAZ_MAX = 5;
        rb15.WOCHENBEGINN = T(6);
        rb15.WAZ = Decimal::FromCents(3850);
        rb15.WAZ_AUSGLEICHSZEITRAUM = 4;
        rb16.WOCHENBEGINN = T(6);
        rb16.WAZ_MIN = Decimal::FromCents(3000);
        rb16.WAZ_MAX = Decimal::FromCents(4800);
        rb17.WE_ANFANGSTAG = 6;
        rb17.WE_ANFANGSZEIT = T(14);
        rb17.WE_ENDTAG = 1;
        rb17.WE_ENDZEIT = T(6);
        rb17.WE_DAUER_MIN = Decimal::FromCents(3600);
        rb21.RZNACHTARBEIT_MIN = Decimal::FromCents(2400);
        // Relevant times that differ by weekday, one reaching over midnight.
        for (std::size_t w = 0; w < 7; ++w) {
            sleep.RELEVANTEZEITEN[w] = {T(22), T(1), T(8)};
            social.RELEVANTEZEITEN[w] = {T(18), T(20), T(3)};
            family.RELEVANTEZEITEN[w] = w < 5 ? RELEVANTEZEIT{T(16), T(19), T(4)} : RELEVANTEZEIT{T(9), T(14), T(6)};
        }
        sleep.RELEVANTEZEITEN[4] = {T(23), T(2), T(9)};
        sleep.EINZELSTOERUNGEN = social.EINZELSTOERUNGEN = family.EINZELSTOERUNGEN = 1;
        sleep.KONT_STOERUNGEN = social.KONT_STOERUNGEN = family.KONT_STOERUNGEN = 2;
    }

    CRahmenbedingungMindestruhezeit rb4;
    CRahmenbedingungKontArbeitstage rb7;
    CRahmenbedingungWAZMittel rb15;
    CRahmenbedingungWAZGrenzen rb16;
    CRahmenbedingungWochenende rb17;
    CRahmenbedingungRZNachtarbeit rb21;
    CRahmenbedingungNachtschlafzeiten sleep;
    CRahmenbedingungSozialzeiten social;
    CRahmenbedingungFamilienzeiten family;
    CKosten kosten;
};

// The twelve criteria of the optimiser, in its order, linked to the constraints.
struct Twelve {
    Twelve(Constraints& c, bool cache)
    {
        kr2.SetRahmenbedingung(&c.rb4);
        kr5.SetRahmenbedingung(&c.rb21);
        kr9.SetRahmenbedingung(&c.rb15, &c.rb16);
        kr10.SetRahmenbedingung(&c.rb7);
        kr11.SetRahmenbedingung(&c.sleep);
        kr12.SetRahmenbedingung(&c.sleep);
        kr13.SetRahmenbedingung(&c.social);
        kr14.SetRahmenbedingung(&c.social);
        kr15.SetRahmenbedingung(&c.family);
        kr16.SetRahmenbedingung(&c.family);
        kr17.SetRahmenbedingung(&c.rb17);
        kr22.SetKostenUndRB(&c.kosten, &c.rb15);
        for (CKriteriumRelevanteZeiten* k : {static_cast<CKriteriumRelevanteZeiten*>(&kr11), static_cast<CKriteriumRelevanteZeiten*>(&kr12),
                                             static_cast<CKriteriumRelevanteZeiten*>(&kr13), static_cast<CKriteriumRelevanteZeiten*>(&kr14),
                                             static_cast<CKriteriumRelevanteZeiten*>(&kr15), static_cast<CKriteriumRelevanteZeiten*>(&kr16)})
            k->UseCache(cache);
    }

    // What CheckPlan with the quick flag does, whether a criterion is switched on or not.
    void Check(CAZPBewertung& e)
    {
        for (CKriterium* k : std::initializer_list<CKriterium*>{&kr10, &kr9, &kr2, &kr5, &kr17, &kr11, &kr12, &kr13,
                                                                &kr14, &kr15, &kr16, &kr22})
            k->GetAZPChecker()->Check(e, 1);
    }

    CKriteriumRuhezeit kr2;
    CKriteriumNachtFrueh kr5;
    CKriteriumWAZGrenzen kr9;
    CKriteriumKontArbeitstage kr10;
    CKriteriumNachtschlafEinzel kr11;
    CKriteriumNachtschlafKont kr12;
    CKriteriumSozialzeitEinzel kr13;
    CKriteriumSozialzeitKont kr14;
    CKriteriumFamilienzeitEinzel kr15;
    CKriteriumFamilienzeitKont kr16;
    CKriteriumWochenende kr17;
    CKriteriumPlankosten kr22;
};

// Every record of every cell: the criterion's number, position, amount, INFO and text.
struct Full {
    long cell;
    long number;
    uint8_t position;
    uint32_t amount, info;
    bool hasText;
    std::string text;
    bool operator==(const Full&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Full& r)
{
    return os << "{cell " << r.cell << ", KR" << r.number << ", pos " << int(r.position) << ", " << r.amount
              << ", info " << r.info << (r.hasText ? ", \"" + r.text + "\"" : std::string()) << "}";
}

std::vector<Full> AllRecords(const CAZPBewertung& e)
{
    std::vector<Full> out;
    for (long i = 1; i <= e.CellCount(); ++i)
        if (const CVerstossliste* list = e.GetVerstossliste(i))
            for (long k = 1; k <= list->Count(); ++k) {
                const VERSTOSSINFO* r = list->At(k);
                out.push_back({i, r->KRITERIUM ? r->KRITERIUM->GetNummer() : 0, r->POSITION, r->WERT, r->INFO,
                               r->TEXT.has_value(), r->TEXT.value_or(std::string())});
            }
    return out;
}

class CriteriaCache : public ::testing::Test {
protected:
    CriteriaCache()
    {
        // Shift times that meet the relevant times in every way: overlapping, touching, over
        // midnight, within the night before, long.
        p.Define('D', Shift("D", H(18), H(2)));
        p.Define('A', Shift("A", H(13), H(21)));
        p.Define('E', Shift("E", H(4), H(12)));
        p.Define('L', Shift("L", H(7), H(19)));
        p.Define('M', Shift("M", H(0), H(8)));
    }

    // A random plan of `groups` groups over `weeks` weeks from the letters (free cells included).
    void RandomPlan(uint64_t start, uint32_t groups, uint32_t weeks)
    {
        static const std::string letters = "FSNXDAELM....";
        RandomRestart(start);
        std::vector<std::string> rows(groups, std::string(weeks * 7, '.'));
        for (std::string& row : rows)
            for (char& c : row)
                c = letters[std::size_t(RandomBetween(0, int32_t(letters.size()) - 1))];
        p.Set(rows);
    }

    // The long-lived criteria and a fresh set without the store check the plan; the records
    // must be the same, and not all plans may be free of them.
    void Compare(const std::string& what)
    {
        CAZPBewertung cached, reference;
        cached.Evaluate(p.plan);
        reference.Evaluate(p.plan);
        kept.Check(cached);
        Twelve fresh(c, false);
        fresh.Check(reference);
        const std::vector<Full> got = AllRecords(cached);
        ASSERT_EQ(got, AllRecords(reference)) << what;
        for (const Full& r : got)
            ++seen[r.number];
        cached.Release();
        reference.Release();
    }

    TempIni ini;  // the criteria read and write their weights
    Constraints c;
    LetterPlan p;
    Twelve kept{c, true};
    std::map<long, long> seen;  // records by criterion over all plans
};

TEST_F(CriteriaCache, RandomPlansGiveTheRecordsOfAFreshCheck)
{
    const struct {
        uint32_t groups, weeks;
    } sizes[] = {{1, 1}, {3, 2}, {8, 4}, {5, 3}};
    uint64_t start = 11;
    for (const auto& size : sizes)
        for (int n = 0; n < 3; ++n, ++start) {
            RandomPlan(start, size.groups, size.weeks);
            Compare(std::to_string(size.groups) + " x " + std::to_string(size.weeks) + ", start " +
                    std::to_string(start));
        }
    // Every relevant-times criterion and the weekend rest found something to compare.
    for (long number : {11, 12, 13, 14, 15, 16, 17})
        EXPECT_GT(seen[number], 0) << "KR" << number;
}

TEST_F(CriteriaCache, ChangedSettingsAndShiftTimesAreNotAnsweredFromTheStore)
{
    RandomPlan(5, 6, 4);
    Compare("start");
    // Each relevant time's earliest begin, latest begin and length in turn, on one weekday.
    for (int field = 0; field < 3; ++field) {
        RELEVANTEZEIT& z = c.sleep.RELEVANTEZEITEN[2];
        (field == 0 ? z.ANFANGSZEIT_MIN : field == 1 ? z.ANFANGSZEIT_MAX : z.DAUER_MIN) += 90 * 6'000;
        Compare("night sleep field " + std::to_string(field));
    }
    c.family.RELEVANTEZEITEN[6] = {T(5), T(6), T(10)};
    Compare("family time on Sunday");
    c.rb17.WE_DAUER_MIN = Decimal::FromCents(4800);
    Compare("weekend rest");
    // Another constraint linked, then the one of another criterion copied in.
    CRahmenbedingungNachtschlafzeiten other;
    for (RELEVANTEZEIT& z : other.RELEVANTEZEITEN)
        z = {T(20), T(23), T(10)};
    kept.kr11.SetRahmenbedingung(&other);
    Twelve otherFresh(c, false);
    otherFresh.kr11.SetRahmenbedingung(&other);
    RandomPlan(6, 6, 4);
    {
        CAZPBewertung a, b;
        a.Evaluate(p.plan);
        b.Evaluate(p.plan);
        kept.kr11.Check(a, 1);
        otherFresh.kr11.Check(b, 1);
        EXPECT_EQ(AllRecords(a), AllRecords(b)) << "another constraint";
    }
    kept.kr11.SetRahmenbedingung(&c.sleep);
    Compare("own constraint again");
    // The single and the continuous criterion of a constraint share the days they find on one
    // evaluation; a change of the times between their checks is not answered from the shared list.
    {
        CAZPBewertung a, b;
        a.Evaluate(p.plan);
        b.Evaluate(p.plan);
        kept.kr11.Check(a, 1);
        c.sleep.RELEVANTEZEITEN[3] = {T(20), T(23), T(10)};
        kept.kr12.Check(a, 1);
        Twelve fresh(c, false);
        fresh.kr11.Check(b, 1);
        fresh.kr12.Check(b, 1);
        std::vector<Full> got = AllRecords(a), want = AllRecords(b);
        std::erase_if(got, [](const Full& r) { return r.number != 12; });
        std::erase_if(want, [](const Full& r) { return r.number != 12; });
        EXPECT_FALSE(want.empty());
        EXPECT_EQ(got, want) << "times changed between the pair's checks";
    }
    // A shift type's times changed in place: the plan keeps its cells, the times are new.
    CSchicht* d = p.types.FindBySysId(p.ids.at('D'));
    ASSERT_NE(d, nullptr);
    d->TERMIN = {H(18), H(23)};
    Compare("shift times changed");
}

} // namespace
