#include "assessment/Verstossliste.h"

#include "assessment/Kriterium.h"
#include "core/Utilities.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <ostream>

namespace {

// Cuts a UTF-8 text to at most n characters without splitting one.
void CutCharacters(std::string& text, std::size_t n)
{
    text.resize(Utf8Prefix(text, n).size());
}

void ClipBlanks(std::string& text)
{
    text.erase(text.find_last_not_of(' ') + 1);
}

} // namespace

// ---- VerstossText -------------------------------------------------------------------------------

std::string_view VerstossText::value() const
{
    if (!has_value())
        throw std::bad_optional_access();
    return **this;
}

std::string_view VerstossText::HeapView() const noexcept
{
    const char* data = nullptr;
    uint32_t size = 0;
    std::memcpy(&data, buf_, sizeof data);
    std::memcpy(&size, buf_ + sizeof data, sizeof size);
    return {data, size};
}

void VerstossText::FreeHeap() noexcept
{
    char* data = nullptr;
    std::memcpy(&data, buf_, sizeof data);
    delete[] data;
    state_ = kNone;
}

void VerstossText::assign(std::string_view text)
{
    // No text has more characters than bytes: only a long one needs counting.
    if (text.size() > kVerstossTextMax)
        text = Utf8Prefix(text, kVerstossTextMax);
    if (text.size() <= kInline) {
        // Through a copy: the text may be this one's own.
        char copy[kInline];
        if (!text.empty())
            std::memcpy(copy, text.data(), text.size());
        reset();
        std::memcpy(buf_, copy, text.size());
        state_ = uint8_t(text.size());
        return;
    }
    // The new buffer first, for the same reason.
    char* data = new char[text.size()];
    std::memcpy(data, text.data(), text.size());
    const uint32_t size = uint32_t(text.size());
    reset();
    std::memcpy(buf_, &data, sizeof data);
    std::memcpy(buf_ + sizeof data, &size, sizeof size);
    state_ = kHeap;
}

void VerstossText::CopyFrom(const VerstossText& other)
{
    if (other.state_ == kHeap) {
        state_ = kNone;
        assign(other.HeapView());
        return;
    }
    std::memcpy(buf_, other.buf_, sizeof buf_);
    state_ = other.state_;
}

std::ostream& operator<<(std::ostream& os, const VerstossText& text)
{
    if (!text)
        return os << "(none)";
    return os << '"' << *text << '"';
}

// ---- CVerstossliste -----------------------------------------------------------------------------

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
    // Only a record with a text has anything to free (INFO never holds an address), and the
    // text itself goes with the record: the hook is for criteria that want more. The rare
    // condition first, so that the branches are foreseeable while texts come and go.
    for (VERSTOSSINFO& r : VERSTOESSE)
        if (r.KRITERIUM && r.KRITERIUM->FREERECORDTEXT && r.TEXT)
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
        std::string body(*r.TEXT);
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
