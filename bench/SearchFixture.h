#pragma once
// What the search benchmarks share: the installed defaults read from varn4.cfg, the search's
// constraints and criteria linked as a definitions pool links them, and a plan that the
// constructive generator made from a 24/7 shift demand of early, late and night shifts.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "assessment/KriterienArbeitszeit.h"
#include "assessment/KriterienKosten.h"
#include "assessment/KriterienRelevanteZeiten.h"
#include "assessment/KriterienRuhe.h"
#include "assessment/KriterienWochenende.h"
#include "assessment/Kosten.h"
#include "assessment/Rahmenbedingungen.h"
#include "core/Files.h"
#include "core/Schicht.h"
#include "generation/AZPGenerator.h"
#include "platform/fw/FwFileManager.h"
#include "platform/records/RecordFile.h"
#include "platform/values/Random.h"
#include "plans/AZPData.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"

namespace search_fixture {

namespace fs = std::filesystem;

inline constexpr uint32_t kDay = 1440;

// The installed defaults into the RB and KRI buffers, as start-up and a new worksheet do.
inline bool LoadDefaults(const char* argv0)
{
    const char* installed = std::getenv("VARN_INSTALL_DIR");
    const fs::path from = installed ? fs::path(installed) : fs::absolute(argv0).parent_path() / ".." / "app";
    if (!fs::exists(from / "varn4.cfg")) {
        std::fprintf(stderr, "%s fehlt: erst bauen (oder VARN_INSTALL_DIR setzen)\n",
                     (from / "varn4.cfg").string().c_str());
        return false;
    }
    // A copy, so that the benchmark never holds the installed file.
    const fs::path dir = fs::temp_directory_path() / (fs::path(argv0).filename().string() + "_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::copy_file(from / "varn4.cfg", dir / "varn4.cfg", fs::copy_options::overwrite_existing);
    InitFileAccess();
    NameProgramFiles(dir.string());
    bool ok = true;
    for (FwFileManager* a : {Access::RBDEFAULT, Access::KRIDEFAULT}) {
        ok = ok && a->TryOpen() == 0;
        if (ok) {
            FileSet(*a->File());
            ok = a->TryNext() == 0;
            a->Close();
        }
    }
    RB.CopyFrom(RBDEFAULT);
    KRI.CopyFrom(KRIDEFAULT);
    ReleaseFileAccess();
    fs::remove_all(dir);
    if (!ok)
        std::fprintf(stderr, "Vorgaben in varn4.cfg nicht lesbar\n");
    return ok;
}

template <class T>
T* As(const std::unique_ptr<CRahmenbedingung>& rb)
{
    return dynamic_cast<T*>(rb.get());
}

// The constraints and criteria the search and the generator read, linked as a definitions pool
// links them; made after LoadDefaults, so they hold the defaults.
struct Definitions {
    Definitions()
    {
        for (int n = 1; n <= kRahmenbedingungen; ++n)
            rb.push_back(NewRahmenbedingung(n));
        kr2.SetRahmenbedingung(As<CRahmenbedingungMindestruhezeit>(rb[3]));
        kr5.SetRahmenbedingung(As<CRahmenbedingungRZNachtarbeit>(rb[20]));
        kr9.SetRahmenbedingung(As<CRahmenbedingungWAZMittel>(rb[14]), As<CRahmenbedingungWAZGrenzen>(rb[15]));
        kr10.SetRahmenbedingung(As<CRahmenbedingungKontArbeitstage>(rb[6]));
        kr11.SetRahmenbedingung(As<CRahmenbedingungRelevanteZeiten>(rb[17]));
        kr12.SetRahmenbedingung(As<CRahmenbedingungRelevanteZeiten>(rb[17]));
        kr13.SetRahmenbedingung(As<CRahmenbedingungRelevanteZeiten>(rb[18]));
        kr14.SetRahmenbedingung(As<CRahmenbedingungRelevanteZeiten>(rb[18]));
        kr15.SetRahmenbedingung(As<CRahmenbedingungRelevanteZeiten>(rb[19]));
        kr16.SetRahmenbedingung(As<CRahmenbedingungRelevanteZeiten>(rb[19]));
        kr17.SetRahmenbedingung(As<CRahmenbedingungWochenende>(rb[16]));
        kr22.SetKostenUndRB(&kosten, As<CRahmenbedingungWAZMittel>(rb[14]));
        pool.RB4 = As<CRahmenbedingungMindestruhezeit>(rb[3]);
        pool.RB7 = As<CRahmenbedingungKontArbeitstage>(rb[6]);
        pool.KRITERIEN = {&kr2, &kr5, &kr9, &kr10, &kr11, &kr12, &kr13, &kr14, &kr15, &kr16, &kr17, &kr22};
    }

    std::vector<std::unique_ptr<CRahmenbedingung>> rb;
    CKosten kosten;
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
    AZPDefinitionen pool;
};

inline std::unique_ptr<Definitions> gDefinitions;

inline CSchicht Shift(const std::string& name, uint32_t from, uint32_t to, PAUSE pause)
{
    CSchicht s;
    s.Clear();
    s.ART = ART_NORMAL;
    s.BEZEICHNUNG = "Schicht " + name;
    s.KURZBEZEICHNUNG = name;
    s.TERMIN = {from, to > from ? to : to + kDay};
    s.PAUSEN[0] = pause;
    s.ClassifyLageByStart();
    return s;
}

// A plan of `groups` groups over `weeks` weeks as the generate command makes it: early, late and
// night shifts of 8 hours with a 30-minute break, fewer at weekends, about 40 hours a week per
// group.
struct Plan {
    Plan(uint32_t groups, uint16_t weeks)
    {
        CSchicht f = Shift("F", 360, 840, {240, 30, 0});
        CSchicht s = Shift("S", 840, 1320, {240, 30, 0});
        CSchicht n = Shift("N", 1320, 360, {240, 30, 0});
        types.AddSchicht(f, false);
        types.AddSchicht(s, false);
        types.AddSchicht(n, false);
        sbp.SetSchichttypen(&types);
        sbp.SetBezugsrahmen(weeks);
        sbp.SetSchichtgruppenstaerke(1);
        sbp.SyncSchichttypen();
        // Per day: weekdays about 5/7 of the groups, weekends a little less.
        const uint32_t perShift = groups / 4 + 1;
        for (uint32_t d = 1; d <= weeks * 7u; ++d) {
            const bool weekend = (d - 1) % 7 >= 5;
            sbp.SetCount(d, f.SYSID, weekend ? perShift - 1 : perShift);
            sbp.SetCount(d, s.SYSID, weekend ? perShift - 1 : perShift);
            sbp.SetCount(d, n.SYSID, perShift - 1);
        }
        azp.SetSchichttypen(&types, groups);
        azp.SetBezugsrahmen(weeks);
        RandomRestart(1);
        CAZPGenerator generator;
        generator.Init(gDefinitions->pool);
        generator.Generate(sbp, azp);
    }
    CSchichttypen types;
    CSBPData sbp;
    CAZPData azp;
};

} // namespace search_fixture
