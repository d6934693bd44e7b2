#include "core/Files.h"

#include <stdexcept>

#include "core/TimeHelpers.h"
#include "core/Utilities.h"

namespace {

// ---- layouts ---------------------------------------------------------------------------------

LayoutBuilder& Identity(LayoutBuilder& b) { return b.Long("ID").Long("STEP"); }

LayoutBuilder& Termin(LayoutBuilder& b) { return b.Group("TERMIN").Ulong("BEGINN").Ulong("ENDE").End(); }

LayoutBuilder& Pausen(LayoutBuilder& b) {
    return b.Group("PAUSEN", 5).Ushort("LAGE").Ushort("DAUER").Byte("BEZAHLT").End();
}

LayoutBuilder& KeyID(LayoutBuilder& b) { return b.Key("KeyID", {"ID", "STEP"}, KeyDup); }

std::shared_ptr<const Layout> SchichtLayout() {
    LayoutBuilder b("SCHICHT");
    Identity(b).Ulong("SYSID").Byte("ART").String("BEZEICHNUNG", 30).String("KURZBEZEICHNUNG", 5)
        .Byte("AUSLASTUNG").Byte("AUSLASTUNG_BERUECKSICHTIGEN");
    Pausen(Termin(b));
    KeyID(b).Key("KeyAnfangszeit", {"BEGINN", "ENDE"}, KeyDup);
    return b.Build();
}

std::shared_ptr<const Layout> AzpLayout() {
    LayoutBuilder b("AZP");
    Identity(b).Ushort("GRUPPE").Ulong("SCHICHT", 84);
    return KeyID(b).Build();
}

std::shared_ptr<const Layout> AkbLayout() {
    LayoutBuilder b("AKB");
    Termin(Identity(b)).Byte("ANZAHL");
    return KeyID(b).Build();
}

std::shared_ptr<const Layout> SbpLayout() {
    LayoutBuilder b("SBP");
    Identity(b).Ulong("SYSID").Byte("ANZAHL", 84);
    return KeyID(b).Build();
}

std::shared_ptr<const Layout> FlexLayout() {
    LayoutBuilder b("FLEX");
    Identity(b).Ulong("SYSID").Byte("ART").Long("DATUM").Long("ARBEITNEHMER").Byte("AUSLASTUNG")
        .Byte("AUSLASTUNG_BERUECKSICHTIGEN");
    Pausen(Termin(b));
    KeyID(b).Key("KeyAnfangszeit", {"BEGINN", "ENDE"}, KeyDup);
    return b.Build();
}

std::shared_ptr<const Layout> BelLayout() {
    LayoutBuilder b("BEL");
    Identity(b).Ulong("SYSID").Byte("WOCHENTAGE").String("TAETIGKEIT", 30);
    Termin(b).Long("EINSCHAETZUNG", 18);
    KeyID(b).Key("KeyAnfangszeit", {"BEGINN"}, KeyDup);
    return b.Build();
}

// A cost item: the group is named by its prefix and so are its members (TZ1VON, BDANRECHENBAREAZ).
enum class Extra { None, LongRange, RealRange, Creditable };

void CostItem(LayoutBuilder& b, const std::string& p, Extra extra) {
    b.Group(p).String(p + "BEZEICHNUNG", 40).Real(p + "PROZENT").Real(p + "BETRAG");
    switch (extra) {
    case Extra::LongRange: b.Long(p + "VON").Long(p + "BIS"); break;
    case Extra::RealRange: b.Real(p + "VON").Real(p + "BIS"); break;
    case Extra::Creditable: b.Real(p + "ANRECHENBAREAZ"); break;
    case Extra::None: break;
    }
    b.End();
}

std::shared_ptr<const Layout> KostLayout() {
    LayoutBuilder b("KOST");
    Identity(b).Real("STUNDENLOHN").Byte("SAMSTAGSZUSCHLAGUEBERLAUF");
    const std::pair<const char*, Extra> items[] = {
        {"LZ", Extra::None},           {"SP", Extra::None},           {"SZ1", Extra::None},
        {"SZ2", Extra::None},          {"WS", Extra::None},           {"TZ1", Extra::LongRange},
        {"TZ2", Extra::LongRange},     {"TZ3", Extra::LongRange},     {"ZSA1", Extra::LongRange},
        {"ZSA2", Extra::LongRange},    {"ZSO", Extra::None},          {"SOZ1", Extra::LongRange},
        {"SOZ2", Extra::LongRange},    {"UEBZ1", Extra::RealRange},   {"UEBZ2", Extra::RealRange},
        {"WAZ1", Extra::RealRange},    {"WAZ2", Extra::RealRange},    {"BD", Extra::Creditable},
        {"BDWE", Extra::Creditable},   {"RB", Extra::Creditable},     {"RBWE", Extra::Creditable},
    };
    for (const auto& [prefix, extra] : items) CostItem(b, prefix, extra);
    return KeyID(b).Build();
}

std::shared_ptr<const Layout> KriLayout() {
    LayoutBuilder b("KRI");
    Identity(b).Group("EINSTELLUNGEN", 22).Byte("TYP").Byte("AKTIVIERT").Byte("RELEVANZ")
        .String("BEZEICHNUNG", 80).End();
    return KeyID(b).Build();
}

// One of the three weekly time tables of RB: begin window and minimum length per weekday.
void DayTimes(LayoutBuilder& b, const char* group, const std::string& p) {
    b.Group(group, 7).Long(p + "_ANFANGSZEIT_MIN").Long(p + "_ANFANGSZEIT_MAX").Long(p + "_DAUER_MIN").End()
        .Ushort(p + "_KONT_STOERUNGEN").Ushort(p + "_EINZELSTOERUNGEN");
}

std::shared_ptr<const Layout> RbLayout() {
    LayoutBuilder b("RB");
    Identity(b)
        .Group("NACHTSCHICHT").Long("NACHTAZ_ANFANG").Long("NACHTAZ_LAENGE").Long("NACHTAZ_DAUER_MIN").End()
        .Group("FRUEHSCHICHT").Long("FS_VON").Long("FS_BIS").End()
        .Group("TAGSCHICHT").Long("TS_VON").Long("TS_BIS").End()
        .Group("SPAETSCHICHT").Long("SS_VON").Long("SS_BIS").End()
        .Group("MINDESTRUHEZEIT").Long("RZ_DAUER_OHNE_AUSGLEICH").Long("RZ_DAUER_MIT_AUSGLEICH")
            .Ushort("RZ_AUSGLEICHSZEITRAUM").End()
        .Ushort("FREIE_SONNTAGE")
        .Group("KONT_WOCHENRUHEZEIT").Decimal("WRZ_DAUER_MIN").Decimal("ERSATZ_WRZ_DAUER_MIN")
            .Long("SAZ_VERSCHIEBUNG").Ushort("SAZ_AUSGLEICHSZEITRAUM").End()
        .Group("KONT_ARBEITSTAGE").Ushort("KONTAZ_MIN").Ushort("KONTAZ_MAX").End()
        .Long("BETRIEBSTAGSBEGINN")
        .Long("SCHICHTUEBERGABEZEIT")
        .Group("SCHICHTZEIT").Long("SL_DAUER_MIN").Long("SL_DAUER_MAX").End()
        .Group("PAUSEN", 4).Long("AZ_AB").Ushort("PAUSENLAENGE").End()
        .Long("ERSTE_PAUSE")
        .Long("MINDESTPAUSENLAENGE")
        .Group("WERKTAG_AZ").Long("WTAZ_OHNE_AUSGLEICH").Long("WTAZ_MIT_AUSGLEICH")
            .Ushort("WTAZ_AUSGLEICHSZEITRAUM_NORMAL").Ushort("WTAZ_AUSGLEICHSZEITRAUM_NACHTARBEIT").End()
        .Long("WOCHENBEGINN")
        .Group("WAZ_MITTEL").Decimal("WAZ").Ushort("WAZ_AUSGLEICHSZEITRAUM").End()
        .Group("WAZ_GRENZEN").Decimal("WAZ_MIN").Decimal("WAZ_MAX").End()
        .Group("WOCHENENDE").Ushort("WE_ANFANGSTAG").Long("WE_ANFANGSZEIT").Ushort("WE_ENDTAG")
            .Long("WE_ENDZEIT").Decimal("WE_DAUER_MIN").End();
    DayTimes(b, "NACHTSCHLAFZEITEN", "NS");
    DayTimes(b, "SOZIALZEITEN", "SZ");
    DayTimes(b, "FAMILIENZEITEN", "FZ");
    b.Decimal("RZNACHTARBEIT_MIN").Decimal("RZANZEIGE_MIN");
    return KeyID(b).Build();
}

std::shared_ptr<const Layout> WarntxtLayout() {
    return LayoutBuilder("WARNTXT").String("RAHMENBEDINGUNG", 20).String("INHALT", 4068)
        .Key("KeyRahmenbedingung", {"RAHMENBEDINGUNG"}, KeyUnique).Build();
}

std::shared_ptr<const Layout> InfoLayout() {
    LayoutBuilder b("INFO");
    Identity(b).String("BEZEICHNUNG", 100).String("BEARBEITER", 40).String("NAME_1", 40)
        .String("NAME_2", 40).String("NAME_3", 40).String("STRASSE", 40).String("PLZORT", 100)
        .String("ANSPRECHPARTNER", 40).String("TELEFON_1", 40).String("TELEFON_2", 40)
        .String("TELEFAX", 40).String("EMAIL", 100).String("INTERNET", 40).String("KOMMENTAR", 2048);
    return KeyID(b).Build();
}

std::shared_ptr<const Layout> BlattLayout() {
    LayoutBuilder b("BLATT");
    Identity(b).Byte("TYP").String("BEZEICHNUNG", 80).Ushort("BEZUGSRAHMEN").Ushort("SCHICHTGRUPPENSTAERKE")
        .String("KOMMENTAR", 2048).String("BEZEICHNUNGARBEITSPLATZ", 255).String("KURZBEZEICHNUNG", 20)
        .String("TAETIGKEITEN", 20, 6).String("ABTEILUNG", 40).Long("ANZAHLARBEITSPLAETZE")
        .String("ARBEITNEHMER", 40, 15).Long("BISHERIGESCHICHTZEIT").Long("LETZTEAENDERUNG")
        .String("BEARBEITER", 40).String("ANSPRECHPARTNER", 40);
    return KeyID(b).Build();
}

std::shared_ptr<const Layout> StampLayout() {
    return LayoutBuilder("STAMP").String("VERSION", 20).String("MINORVERSION", 20).Long("IDSEED").Build();
}

std::shared_ptr<const Layout> EbaLayout() {
    LayoutBuilder b("EBA");
    for (int i = 1; i <= 9; ++i) b.Real("GEWICHTUNG_" + std::to_string(i), 15);
    b.Real("MUL_CIRCADYAN").Real("FAK_CIRCADYAN", 24).Real("MUL_PSYSO").Real("FAK_PSYSO", 24)
        .Real("MAX_BELA").Real("DIV_BELA_KUM_1").Real("DIV_BELA_KUM_2").Real("MUL_AZZ8")
        .Real("MUL_AZZ10").Real("MUL_AZZ12").Real("BELA_GRENZE");
    return b.Build();
}

// ---- access objects with values of their own for a new record ----------------------------------

class TmpBelAccess : public FwFileManager {
protected:
    void PrimeFields() override {
        RecordFile& f = *File();
        for (int i = 1; i <= 18; ++i) f.SetInt("EINSCHAETZUNG", 0, i);
        uint32_t id;
        f.SetInt("SYSID", NewSysID(id));
    }
};

class TmpSchichtAccess : public FwFileManager {
protected:
    void PrimeFields() override {
        RecordFile& f = *File();
        for (int i = 1; i <= 5; ++i) {
            f.SetInt("LAGE", 0, i);
            f.SetInt("DAUER", 0, i);
            f.SetInt("BEZAHLT", 0, i);
        }
        f.SetInt("ART", 1);
        f.SetInt("AUSLASTUNG", 100);
        uint32_t id;
        f.SetInt("SYSID", NewSysID(id));
    }
};

// Built before the files; an alias shares the layout of its base file.
const auto kSchichtLayout = SchichtLayout();
const auto kFlexLayout = FlexLayout();
const auto kBelLayout = BelLayout();
const auto kKostLayout = KostLayout();
const auto kKriLayout = KriLayout();
const auto kRbLayout = RbLayout();

} // namespace

std::string GlobalFileName;

RecordFile SCHICHT("SCHICHT", kSchichtLayout);
RecordFile AZP("AZP", AzpLayout());
RecordFile AKB("AKB", AkbLayout());
RecordFile SBP("SBP", SbpLayout());
RecordFile FLEX("FLEX", kFlexLayout);
RecordFile BEL("BEL", kBelLayout);
RecordFile KOST("KOST", kKostLayout);
RecordFile KRI("KRI", kKriLayout);
RecordFile RB("RB", kRbLayout);
RecordFile INFO("INFO", InfoLayout());
RecordFile BLATT("BLATT", BlattLayout());
RecordFile STAMP("STAMP", StampLayout());
RecordFile WARNTXT("WARNTXT", WarntxtLayout());
RecordFile EBA("EBA", EbaLayout());
RecordFile TMPSCHICHT("TMPSCHICHT", kSchichtLayout);
RecordFile XISCHICHT("XISCHICHT", kSchichtLayout);
RecordFile TMPFLEX("TMPFLEX", kFlexLayout);
RecordFile TMPBEL("TMPBEL", kBelLayout);
RecordFile XIBEL("XIBEL", kBelLayout);
RecordFile TMPKOST("TMPKOST", kKostLayout);
RecordFile XIKOST("XIKOST", kKostLayout);
RecordFile KRIDEFAULT("KRIDEFAULT", kKriLayout);
RecordFile RBDEFAULT("RBDEFAULT", kRbLayout);
RecordFile RBWARN("RBWARN", kRbLayout);
RecordFile RBFEHLER("RBFEHLER", kRbLayout);

namespace Access {
FwFileManager* SCHICHT = nullptr;
FwFileManager* AZP = nullptr;
FwFileManager* AKB = nullptr;
FwFileManager* SBP = nullptr;
FwFileManager* FLEX = nullptr;
FwFileManager* BEL = nullptr;
FwFileManager* KOST = nullptr;
FwFileManager* KRI = nullptr;
FwFileManager* RB = nullptr;
FwFileManager* INFO = nullptr;
FwFileManager* BLATT = nullptr;
FwFileManager* STAMP = nullptr;
FwFileManager* WARNTXT = nullptr;
FwFileManager* EBA = nullptr;
FwFileManager* TMPSCHICHT = nullptr;
FwFileManager* XISCHICHT = nullptr;
FwFileManager* TMPFLEX = nullptr;
FwFileManager* TMPBEL = nullptr;
FwFileManager* XIBEL = nullptr;
FwFileManager* TMPKOST = nullptr;
FwFileManager* XIKOST = nullptr;
FwFileManager* KRIDEFAULT = nullptr;
FwFileManager* RBDEFAULT = nullptr;
FwFileManager* RBWARN = nullptr;
FwFileManager* RBFEHLER = nullptr;
} // namespace Access

const std::vector<ProgramFile>& ProgramFiles() {
    // Set-up order: the first group, then the second.
    static const std::vector<ProgramFile> files = {
        {&EBA, &Access::EBA, nullptr, false, 1},
        {&BLATT, &Access::BLATT, nullptr, true, 1},
        {&RB, &Access::RB, nullptr, true, 1},
        {&WARNTXT, &Access::WARNTXT, nullptr, false, 1},
        {&STAMP, &Access::STAMP, nullptr, true, 1},
        {&INFO, &Access::INFO, nullptr, true, 1},
        {&KRI, &Access::KRI, nullptr, true, 1},
        {&SBP, &Access::SBP, nullptr, true, 1},
        {&KOST, &Access::KOST, nullptr, true, 1},
        {&SCHICHT, &Access::SCHICHT, nullptr, true, 1},
        {&AZP, &Access::AZP, nullptr, true, 1},
        {&AKB, &Access::AKB, nullptr, true, 1},
        {&BEL, &Access::BEL, nullptr, true, 1},
        {&FLEX, &Access::FLEX, nullptr, true, 1},
        {&TMPFLEX, &Access::TMPFLEX, &FLEX, true, 1},
        {&TMPKOST, &Access::TMPKOST, &KOST, true, 1},
        {&TMPBEL, &Access::TMPBEL, &BEL, true, 1},
        {&XIKOST, &Access::XIKOST, &KOST, true, 1},
        {&XISCHICHT, &Access::XISCHICHT, &SCHICHT, false, 1},
        {&KRIDEFAULT, &Access::KRIDEFAULT, &KRI, false, 1},
        {&RBWARN, &Access::RBWARN, &RB, false, 2},
        {&TMPSCHICHT, &Access::TMPSCHICHT, &SCHICHT, true, 2},
        {&RBFEHLER, &Access::RBFEHLER, &RB, false, 2},
        {&XIBEL, &Access::XIBEL, &BEL, true, 2},
        {&RBDEFAULT, &Access::RBDEFAULT, &RB, false, 2},
    };
    return files;
}

namespace {

// The access objects themselves; the program reaches them through the references only.
FwFileManager& AccessObject(const RecordFile* file) {
    static TmpBelAccess tmpBel;
    static TmpSchichtAccess tmpSchicht;
    static FwFileManager plain[25];
    if (file == &TMPBEL) return tmpBel;
    if (file == &TMPSCHICHT) return tmpSchicht;
    const auto& files = ProgramFiles();
    for (size_t i = 0; i < files.size(); ++i)
        if (files[i].file == file) return plain[i];
    throw std::logic_error("not a program file");
}

// The files that read their disk name from the shared variable, bound before the main code runs.
const bool kNamesBound = [] {
    for (const ProgramFile& f : ProgramFiles())
        if (f.sharedName) f.file->BindName(&GlobalFileName);
    return true;
}();

} // namespace

void InitFileAccess(FwError& errors) {
    for (const ProgramFile& f : ProgramFiles()) {
        FwFileManager& a = AccessObject(f.file);
        a.Init(*f.file, errors, f.sharedName ? &GlobalFileName : nullptr);
        if (f.aliasOf) a.SetAliasOf(&AccessObject(f.aliasOf));
        for (const KeyDef& k : f.file->GetLayout().Keys()) a.AddKey(k.name);
        *f.access = &a;
    }
}

void ReleaseFileAccess() {
    for (const ProgramFile& f : ProgramFiles()) {
        if (*f.access) (*f.access)->Kill();
        *f.access = nullptr;
    }
}

std::string NameProgramFiles(std::string_view startDirectory) {
    const std::string config = JoinPath(startDirectory, "varn4.cfg");
    EBA.SetName(JoinPath(startDirectory, "eba.cfg"));
    // The edit files live in the program's own folder for temporary files under names no other
    // file has: never in the current folder, where a link or another program's file of that name
    // could stand, and never shared with another running copy of the program.
    TMPSCHICHT.SetName(FileScratchName("schichttypen.tmp"));
    TMPFLEX.SetName(FileScratchName("flexzeiten.tmp"));
    TMPBEL.SetName(FileScratchName("Belastungseinschaetzungen.tmp"));
    TMPKOST.SetName(FileScratchName("Kosten.tmp"));
    const std::pair<RecordFile*, const char*> tables[] = {
        {&KRIDEFAULT, "kriterienvorgaben"}, {&RBDEFAULT, "rahmenbedingungenvorgaben"},
        {&RBWARN, "warngrenzen"},           {&RBFEHLER, "fehlergrenzen"},
        {&WARNTXT, "warntexte"},
    };
    for (const auto& [file, table] : tables) file->SetName(config + "\\!" + table);
    for (const ProgramFile& f : ProgramFiles())
        if (f.aliasOf && *f.access) (*f.access)->SetAliasOf(nullptr);
    return config;
}
