#include "assessment/Verstossliste.h"

#include "assessment/Kriterium.h"

#include <algorithm>

namespace {

// Cuts a UTF-8 text to at most n characters without splitting one.
void CutCharacters(std::string& text, std::size_t n)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;
        if (chars == n) {
            text.resize(i);
            return;
        }
        ++chars;
    }
}

void ClipBlanks(std::string& text)
{
    text.erase(text.find_last_not_of(' ') + 1);
}

} // namespace

void CVerstossliste::AddWithText(CKriterium* criterion, uint32_t amount, uint8_t position, std::string_view text,
                                 bool noText, bool noPosition)
{
    // Made in place in the list: most records of a check come this way.
    VERSTOSSINFO& r = VERSTOESSE.Rows().emplace_back();
    r.KRITERIUM = criterion;
    r.WERT = amount;
    r.POSITION = noPosition ? POSITION_EINZELN : position;
    r.INFO = 0;
    r.TEXT.emplace();
    if (!noText) {
        r.TEXT->assign(text);
        CutCharacters(*r.TEXT, kVerstossTextMax);
    }
    SUMME += amount;
}

uint8_t CVerstossliste::Get(long i, VERSTOSSINFO& out)
{
    const VERSTOSSINFO* r = At(i);
    if (!r)
        return 5;
    out = *r;
    CURRENT = i;
    return 0;
}

uint8_t CVerstossliste::Find(const CKriterium* criterion, long number, bool byReferenceOnly, bool continueSearch,
                             VERSTOSSINFO& out)
{
    // Continuing starts behind the record found last, so a loop of continued searches ends.
    const long from = continueSearch ? CURRENT + 1 : 1;
    for (long i = std::max(from, 1L); i <= Count(); ++i) {
        const VERSTOSSINFO& r = VERSTOESSE.Rows()[std::size_t(i - 1)];
        const bool byReference = criterion && r.KRITERIUM == criterion;
        const bool byNumber = !byReferenceOnly && r.KRITERIUM && r.KRITERIUM->GetNummer() == number;
        if (byReference || byNumber) {
            out = r;
            CURRENT = i;
            return 0;
        }
    }
    return 5;
}

void CVerstossliste::ClearRecords()
{
    // Only a record with a text has anything to free (INFO never holds an address); the text
    // itself goes with the record.
    for (VERSTOSSINFO& r : VERSTOESSE)
        if (r.TEXT && r.KRITERIUM)
            r.KRITERIUM->FreeRecordText(r);
    QueueFree(VERSTOESSE);
}

std::string CVerstossliste::FormatText() const
{
    std::string text;
    bool first = true;
    for (const VERSTOSSINFO& r : VERSTOESSE) {
        if (!r.TEXT)
            continue;
        std::string piece = "\r\n";
        if (r.KRITERIUM) {
            std::string name = r.KRITERIUM->NAME;
            ClipBlanks(name);
            piece += name;
            piece += r.KRITERIUM->IsLegal() ? " (§):" : ":";
        } else {
            piece += ":";
        }
        piece += "\r\n";
        std::string body = *r.TEXT;
        ClipBlanks(body);
        piece += body;
        if (first) {
            text = std::move(piece);
            first = false;
        } else {
            ClipBlanks(text);
            text += "\r\n";
            text += piece;
        }
    }
    CutCharacters(text, kVerstossFormatMax);
    return text;
}
