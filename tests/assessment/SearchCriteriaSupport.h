#pragma once
// The twelve criteria of the rota search with constraints of their own, set by a profile: every
// criterion switched on with ordinary limits, none switched on (KR9 still runs), or every one
// switched on at extreme limits. For the tests that compare the search's incremental assessment
// with a full one; the other criteria that check plans can be added.
#include "assessment/KriterienArbeitszeit.h"
#include "assessment/KriterienChecker.h"
#include "assessment/KriterienKosten.h"
#include "assessment/KriterienRelevanteZeiten.h"
#include "assessment/KriterienRuhe.h"
#include "assessment/KriterienWochenende.h"
#include "assessment/Kosten.h"
#include "assessment/RahmenbedingungArbeitszeit.h"
#include "assessment/RahmenbedingungRelevanteZeiten.h"
#include "assessment/RahmenbedingungRuhezeiten.h"
#include "assessment/RahmenbedingungWochenende.h"

#include <initializer_list>
#include <random>
#include <string>
#include <vector>

namespace searchcriteria {

enum class Profile { Ordinary, NoneOn, Extreme };

struct SearchCriteria {
    explicit SearchCriteria(Profile profile, int32_t weekBegin)
    {
        const bool extreme = profile == Profile::Extreme;
        rb4.RZ_DAUER_OHNE_AUSGLEICH = Clock(extreme ? 23 : 11);
        rb7.KONTAZ_MIN = extreme ? 7 : 2;
        rb7.KONTAZ_MAX = extreme ? 1 : 5;
        rb15.WAZ = Decimal::FromCents(extreme ? 100 : 3850);
        rb15.WAZ_AUSGLEICHSZEITRAUM = 4;
        rb15.WOCHENBEGINN = weekBegin;
        rb16.WAZ_MIN = Decimal::FromCents(extreme ? 16800 : 3000);
        rb16.WAZ_MAX = Decimal::FromCents(extreme ? 0 : 4000);
        rb21.RZNACHTARBEIT_MIN = Decimal::FromCents(extreme ? 16800 : 4800);
        rb17.WE_ANFANGSTAG = 6;
        rb17.WE_ANFANGSZEIT = Clock(0);
        rb17.WE_ENDTAG = 7;
        rb17.WE_ENDZEIT = Clock(23, 59);
        rb17.WE_DAUER_MIN = Decimal::FromCents(4800);
        for (CRahmenbedingungRelevanteZeiten* rb : std::initializer_list<CRahmenbedingungRelevanteZeiten*>{&rb18, &rb19, &rb20}) {
            rb->EINZELSTOERUNGEN = extreme ? 0 : 2;
            rb->KONT_STOERUNGEN = extreme ? 0 : 3;
        }
        for (RELEVANTEZEIT& t : rb18.RELEVANTEZEITEN)
            t = {Clock(22), Clock(2), Clock(6)};   // night sleep
        for (RELEVANTEZEIT& t : rb19.RELEVANTEZEITEN)
            t = {Clock(17), Clock(19), Clock(4)};  // evenings
        for (RELEVANTEZEIT& t : rb20.RELEVANTEZEITEN)
            t = {Clock(14), Clock(16), Clock(6)};  // afternoons
        kosten.KOSTEN.SetReal("STUNDENLOHN", 20.0);
        kosten.KOSTEN.SetReal("WAZ1VON", extreme ? 0.0 : 38.0);
        kosten.KOSTEN.SetReal("WAZ1BIS", 0.0);
        kosten.KOSTEN.SetReal("WAZ1BETRAG", extreme ? 1000.0 : 7.5);
        rb5.FREIE_SONNTAGE = extreme ? 52 : 15;
        rb6.WRZ_DAUER_MIN = Decimal::FromCents(extreme ? 6000 : 3500);
        rb6.ERSATZ_WRZ_DAUER_MIN = Decimal::FromCents(extreme ? 6000 : 3500);
        rb6.SAZ_VERSCHIEBUNG = extreme ? 0 : Clock(6);
        rb6.SAZ_AUSGLEICHSZEITRAUM = 2;
        rb14.WTAZ_OHNE_AUSGLEICH = Clock(7);
        rb22.RZANZEIGE_MIN = Decimal::FromCents(extreme ? 1100 : 2400);

        kr2.SetRahmenbedingung(&rb4);
        kr5.SetRahmenbedingung(&rb21);
        kr9.SetRahmenbedingung(&rb15, &rb16);
        kr10.SetRahmenbedingung(&rb7);
        kr11.SetRahmenbedingung(&rb18);
        kr12.SetRahmenbedingung(&rb18);
        kr13.SetRahmenbedingung(&rb19);
        kr14.SetRahmenbedingung(&rb19);
        kr15.SetRahmenbedingung(&rb20);
        kr16.SetRahmenbedingung(&rb20);
        kr17.SetRahmenbedingung(&rb17);
        kr22.SetKostenUndRB(&kosten, &rb15);
        kr3.SetRahmenbedingung(&rb6);
        kr3.SetKriteriumRuhezeit(&kr2);
        kr4.SetRahmenbedingung(&rb5, &rb6);
        kr7.SetRahmenbedingung(&rb14);
        kr8.SetRahmenbedingung(&rb15);
        kr18.SetRahmenbedingung(&rb22);
        // In the search's order.
        all = {&kr10, &kr9, &kr2, &kr5, &kr17, &kr11, &kr12, &kr13, &kr14, &kr15, &kr16, &kr22};
        for (CKriterium* k : all) {
            k->AKTIVIERT = profile == Profile::NoneOn ? 0 : 1;
            k->RELEVANZ = 5;
            checker.Add(k);
        }
    }

    static constexpr int32_t Clock(int hours, int minutes = 0) { return hours * 360000 + minutes * 6000 + 1; }

    // Adds the daily working time (KR7, which only a full check judges) after KR5, so that
    // records of a full check stand between the others in the cells.
    void WithFullCheck()
    {
        kr7.AKTIVIERT = 1;
        std::vector<CKriterium*> list = all;
        list.insert(list.begin() + 4, &kr7);
        checker.SetKriterien(list);
    }

    // Every criterion that checks plans, in the pool's order (KR3 before KR2), switched on as the
    // profile says; KR3 only when asked (KR8, like KR9, runs anyway).
    void WithEveryCriterion(bool sundays)
    {
        const bool on = !all.empty() && all.front()->AKTIVIERT != 0;
        for (CKriterium* k : std::initializer_list<CKriterium*>{&kr3, &kr4, &kr7, &kr8, &kr18}) {
            k->AKTIVIERT = on;
            k->RELEVANZ = 5;
        }
        kr3.AKTIVIERT = on && sundays;
        std::vector<CKriterium*> list;
        for (long number : kKriterienReihenfolge)
            for (CKriterium* k : Every())
                if (k->NUMMER == number)
                    list.push_back(k);
        checker.SetKriterien(list);
    }

    // Every criterion here, whether listed in the checker or not.
    std::vector<CKriterium*> Every()
    {
        std::vector<CKriterium*> every = all;
        every.insert(every.end(), {&kr3, &kr4, &kr7, &kr8, &kr18});
        return every;
    }

    CRahmenbedingungMindestruhezeit rb4;
    CRahmenbedingungKontArbeitstage rb7;
    CRahmenbedingungWAZMittel rb15;
    CRahmenbedingungWAZGrenzen rb16;
    CRahmenbedingungWochenende rb17;
    CRahmenbedingungNachtschlafzeiten rb18;
    CRahmenbedingungSozialzeiten rb19;
    CRahmenbedingungFamilienzeiten rb20;
    CRahmenbedingungRZNachtarbeit rb21;
    CRahmenbedingungWerktagAZ rb14;
    CRahmenbedingungFreieSonntage rb5;
    CRahmenbedingungKontWochenruhezeit rb6;
    CRahmenbedingungRZAnzeige rb22;
    CKosten kosten;
    CKriteriumWerktagAZ kr7;
    CKriteriumRuhezeit kr2;
    CKriteriumSonntagsruhe kr3;
    CKriteriumFreieSonntage kr4;
    CKriteriumWAZMittel kr8;
    CKriteriumRuhezeitAnzeige kr18;
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
    std::vector<CKriterium*> all;
    CKriterienChecker checker;
};

// Rows of random letters of the alphabet ("." free), one per group.
inline std::vector<std::string> RandomRows(std::mt19937& random, uint32_t groups, uint32_t weeks,
                                           const std::string& alphabet)
{
    std::vector<std::string> rows(groups, std::string(weeks * 7, '.'));
    for (std::string& row : rows)
        for (char& cell : row)
            cell = alphabet[random() % alphabet.size()];
    return rows;
}

} // namespace searchcriteria
