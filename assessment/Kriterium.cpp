#include "assessment/Kriterium.h"

#include "core/Files.h"
#include "core/IniFile.h"
#include "core/Utilities.h"

#include <algorithm>

namespace {

constexpr const char* kGewichtungSection = "Kriteriengewichtung";

// The 21 criteria: number, class, label, interfaces, links, default weight and factor of the
// divisor (weight 0: fixed 100000).
constexpr KriteriumEintrag kTabelle[] = {
    {1, "CKriteriumPausen", "Pausenregelungen einhalten", KR_ST, "RB11, RB12, RB13", 0, 0.0},
    {2, "CKriteriumRuhezeit", "Mindestruhezeiten zwischen Schichten einhalten", KR_AZP, "RB4", 2, 120.0},
    {3, "CKriteriumSonntagsruhe", "arbeitsfreie Sonntage/Ersatzruhetag einhalten", KR_AZP, "RB6, KR2", 0, 0.0},
    {4, "CKriteriumFreieSonntage", "Anzahl freier Sonntage im Jahr einhalten", KR_AZP, "RB5, RB6", 0, 0.0},
    {5, "CKriteriumNachtFrueh", "Schichtwechsel Nacht-frei-Früh vermeiden", KR_AZP, "RB21", 40, 60.0},
    {6, "CKriteriumSchichtlaenge", "Schichtzeiten einhalten", KR_ST | KR_LP, "RB10", 0, 0.0},
    {7, "CKriteriumWerktagAZ", "werktägliche Arbeitszeit einhalten", KR_AZP | KR_ST, "RB14", 0, 0.0},
    {8, "CKriteriumWAZMittel", "durchschnittliche Wochenarbeitszeit einhalten", KR_AZP, "RB15", 0, 0.0},
    {9, "CKriteriumWAZGrenzen", "wöchentliche Mindest-/Höchstarbeitszeit einhalten", KR_AZP, "RB15, RB16", 60,
     60.0},
    {10, "CKriteriumKontArbeitstage", "Anzahl kontinuierlicher Arbeitstage einhalten", KR_AZP, "RB7", 20, 1000.0},
    {11, "CKriteriumNachtschlafEinzel", "Höchstzahl einzelner Störungen des Nachtschlafs einhalten",
     KR_AZP | KR_LP, "RB18", 20, 1000.0},
    {12, "CKriteriumNachtschlafKont", "Höchstzahl kont. Störungen des Nachtschlafs einhalten", KR_AZP | KR_LP,
     "RB18", 20, 1000.0},
    {13, "CKriteriumSozialzeitEinzel", "Höchstzahl einzelner Störungen der Sozialzeiten einhalten",
     KR_AZP | KR_LP, "RB19", 20, 1000.0},
    {14, "CKriteriumSozialzeitKont", "Höchstzahl kont. Störungen der Sozialzeiten einhalten", KR_AZP | KR_LP,
     "RB19", 20, 1000.0},
    {15, "CKriteriumFamilienzeitEinzel", "Höchstzahl einzelner Störungen der Familienzeiten einhalten",
     KR_AZP | KR_LP, "RB20", 20, 1000.0},
    {16, "CKriteriumFamilienzeitKont", "Höchstzahl kont. Störungen der Familienzeiten einhalten",
     KR_AZP | KR_LP, "RB20", 20, 1000.0},
    {17, "CKriteriumWochenende", "Wochenendruhe einhalten", KR_AZP, "RB17", 14, 1.0},
    {18, "CKriteriumRuhezeitAnzeige", "Ruhezeiten anzeigen (kein Bewertungskriterium)", KR_AZP, "RB22", 0, 0.0},
    {19, "CKriteriumBelastung", "Belastungssituation für Schichtlänge berücksichtigen", KR_ST | KR_LP,
     "Belastungseinschätzungen", 0, 0.0},
    {21, "CKriteriumSchichtkosten", "Kosten der generierten Schichten minimieren", KR_ST | KR_LP, "Kosten", 0,
     0.0},
    {22, "CKriteriumPlankosten", "Kosten des Arbeitszeitplans minimieren", KR_AZP, "Kosten, RB15", 200, 1.0},
};

bool ValidNummer(long n) { return n >= 1 && n <= kKriteriumNummerMax; }

} // namespace

std::span<const KriteriumEintrag> KriterienTabelle() { return kTabelle; }

const KriteriumEintrag* FindKriteriumEintrag(long number)
{
    for (const KriteriumEintrag& e : kTabelle)
        if (e.NUMMER == number)
            return &e;
    return nullptr;
}

CKriterium::CKriterium() = default;
CKriterium::~CKriterium() = default;

void CKriterium::SetNummer(long n)
{
    NUMMER = n;
    LoadFromKRI();
}

void CKriterium::GetNames(std::string* name, std::string* groupName) const
{
    if (name)
        *name = NAME;
    if (groupName)
        *groupName = GROUPNAME;
}

long CKriterium::ReadWeight(long d)
{
    const std::string key = "Kriterium " + std::to_string(NUMMER);
    long weight = GlobalIni.ReadAndWriteBack(kGewichtungSection, key, d);
    if (weight < 1) {
        weight = d;
        GlobalIni.WriteValue(kGewichtungSection, key, std::to_string(d));
    }
    return weight;
}

void CKriterium::SetTableDivisor()
{
    const KriteriumEintrag* e = FindKriteriumEintrag(NUMMER);
    if (e && e->GEWICHT > 0)
        TEILER = double(ReadWeight(e->GEWICHT)) * e->FAKTOR;
    else
        TEILER = kTeilerStandard;
}

std::string CKriterium::GetIcon()
{
    if (!AKTIVIERT)
        return "~unchecked.ico";
    return IsLegal() ? "~checked_gesetzlich.ico" : "~checked.ico";
}

void CKriterium::RefreshTree(int level, CTree& tree)
{
    tree.AddEntry(*this, level, GetText(), GetIcon());
    TREEENTRYFORCERESET = 0;
}

bool CKriterium::AcceptsRequest(int request)
{
    return request == TREE_OPEN || request == TREE_TOGGLE;
}

uint8_t CKriterium::TakeRequest(int request, const std::string&)
{
    if (request == TREE_OPEN) {
        Edit();
    } else if (request == TREE_TOGGLE && ToggleActive() == 0) {
        StoreToKRI();
        TREEENTRYFORCERESET = 1;
        if (DEFINITIONSMANAGER)
            DEFINITIONSMANAGER->NotifyArbeitsblatt();
    }
    return 0;
}

void CKriterium::Assign(const CKriterium& other, IKriterienPool* pool)
{
    NUMMER = other.NUMMER;
    NAME = other.NAME;
    GROUPNAME = other.GROUPNAME;
    TEILER = other.TEILER;
    TREEENTRYFORCERESET = other.TREEENTRYFORCERESET;
    TYP = other.TYP;
    AKTIVIERT = other.AKTIVIERT;
    RELEVANZ = other.RELEVANZ;
    DEFINITIONSMANAGER = pool;
}

uint8_t CKriterium::Edit()
{
    if (!DEFINITIONSMANAGER)
        return 5;
    const uint8_t result = DEFINITIONSMANAGER->EditKriterium(NUMMER);
    if (result == 0)
        TREEENTRYFORCERESET = 1;
    return result;
}

uint8_t CKriterium::ToggleActive()
{
    AKTIVIERT = AKTIVIERT ? 0 : 1;
    return 0;
}

void CKriterium::LoadFrom(const RecordBuffer& record)
{
    if (!ValidNummer(NUMMER))
        return;
    const int i = static_cast<int>(NUMMER);
    TYP = static_cast<uint8_t>(record.GetInt("TYP", i));
    AKTIVIERT = static_cast<uint8_t>(record.GetInt("AKTIVIERT", i));
    RELEVANZ = static_cast<uint8_t>(record.GetInt("RELEVANZ", i));
    NAME = std::string(Utf8Prefix(record.GetString("BEZEICHNUNG", i), kKriteriumNameMax));
}

void CKriterium::LoadFromKRI() { LoadFrom(KRI); }

void CKriterium::LoadDefaults() { LoadFrom(KRIDEFAULT); }

void CKriterium::StoreToKRI()
{
    if (!ValidNummer(NUMMER))
        return;
    const int i = static_cast<int>(NUMMER);
    KRI.SetInt("TYP", TYP, i);
    KRI.SetInt("AKTIVIERT", AKTIVIERT, i);
    KRI.SetInt("RELEVANZ", RELEVANZ, i);
}

double CKriterium::GetWeight() const
{
    return TEILER / ((90.0 + 10.0 * RELEVANZ) / 100.0);
}

void CKriterium::FreeRecordText(VERSTOSSINFO& record) { record.TEXT.reset(); }

void KriterienAssign(std::span<CKriterium* const> destination, std::span<CKriterium* const> source,
                     IKriterienPool* pool)
{
    const std::size_t n = std::min(destination.size(), source.size());
    for (std::size_t i = 0; i < n; ++i)
        if (destination[i] && source[i])
            destination[i]->Assign(*source[i], pool);
}
