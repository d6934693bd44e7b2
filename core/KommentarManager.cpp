#include "core/KommentarManager.h"

#include "core/ProjektDialogs.h"
#include "core/Utilities.h"
#include "platform/records/RecordBuffer.h"

namespace {
} // namespace

void KommentarInfo::ToRecord(RecordBuffer& r) const
{
    r.SetString("KOMMENTAR", KOMMENTAR);
    r.SetString("BEZEICHNUNGARBEITSPLATZ", BEZEICHNUNGARBEITSPLATZ);
    r.SetString("KURZBEZEICHNUNG", KURZBEZEICHNUNG);
    for (int i = 1; i <= 6; ++i)
        r.SetString("TAETIGKEITEN", TAETIGKEITEN[static_cast<size_t>(i - 1)], i);
    r.SetString("ABTEILUNG", ABTEILUNG);
    r.SetInt("ANZAHLARBEITSPLAETZE", ANZAHLARBEITSPLAETZE);
    for (int i = 1; i <= 15; ++i)
        r.SetString("ARBEITNEHMER", ARBEITNEHMER[static_cast<size_t>(i - 1)], i);
    r.SetInt("BISHERIGESCHICHTZEIT", BISHERIGESCHICHTZEIT);
    r.SetInt("LETZTEAENDERUNG", LETZTEAENDERUNG);
    r.SetString("BEARBEITER", BEARBEITER);
    r.SetString("ANSPRECHPARTNER", ANSPRECHPARTNER);
}

void KommentarInfo::FromRecord(const RecordBuffer& r)
{
    KOMMENTAR = r.GetString("KOMMENTAR");
    BEZEICHNUNGARBEITSPLATZ = r.GetString("BEZEICHNUNGARBEITSPLATZ");
    KURZBEZEICHNUNG = r.GetString("KURZBEZEICHNUNG");
    for (int i = 1; i <= 6; ++i)
        TAETIGKEITEN[static_cast<size_t>(i - 1)] = r.GetString("TAETIGKEITEN", i);
    ABTEILUNG = r.GetString("ABTEILUNG");
    ANZAHLARBEITSPLAETZE = static_cast<int32_t>(r.GetInt("ANZAHLARBEITSPLAETZE"));
    for (int i = 1; i <= 15; ++i)
        ARBEITNEHMER[static_cast<size_t>(i - 1)] = r.GetString("ARBEITNEHMER", i);
    BISHERIGESCHICHTZEIT = static_cast<int32_t>(r.GetInt("BISHERIGESCHICHTZEIT"));
    LETZTEAENDERUNG = static_cast<int32_t>(r.GetInt("LETZTEAENDERUNG"));
    BEARBEITER = r.GetString("BEARBEITER");
    ANSPRECHPARTNER = r.GetString("ANSPRECHPARTNER");
}

CKommentarManager::CKommentarManager() = default;
CKommentarManager::~CKommentarManager() = default;

int CKommentarManager::Edit()
{
    if (!INFO)
        return 0;
    const KommentarInfo before = *INFO;
    UpdateKommentar(*INFO);
    if (!(*INFO == before) && ONCHANGED)
        ONCHANGED();
    return 0;
}

std::string CKommentarManager::TextFor(const KommentarInfo& info)
{
    std::string note = Clip(info.KOMMENTAR);
    std::string place = Clip(info.BEZEICHNUNGARBEITSPLATZ);
    if (note.empty() && place.empty())
        return "Notizen (leer)";
    if (note.empty())
        return place;
    // A line break typed on this system is a lone LF: it shows as a blank as CR LF does.
    note = ReplaceText(note, "\r\n", " ");
    for (char& c : note)
        if (c == '\n' || c == '\r')
            c = ' ';
    if (Utf8Length(note) < 30)
        return note;
    return std::string(Utf8Prefix(note, 40)) + "...";
}

std::string CKommentarManager::GetText()
{
    return INFO ? TextFor(*INFO) : TextFor(KommentarInfo{});
}

void CKommentarManager::RefreshTree(int level, CTree& tree)
{
    tree.AddEntry(*this, level, GetText(), GetIcon());
}

uint8_t CKommentarManager::TakeRequest(int request, const std::string&)
{
    if (request == TREE_OPEN)
        return static_cast<uint8_t>(Edit());
    TREESTDBEHAVIOUR.TakeRequest(request);
    return 0;
}
