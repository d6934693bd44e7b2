#include "assessment/KriterienBelastung.h"

#include <sys/stat.h>

#include "assessment/Belastungseinschaetzungen.h"
#include "assessment/RahmenbedingungPausen.h"
#include "core/Files.h"
#include "core/Schicht.h"
#include "core/TimeHelpers.h"
#include "core/Utilities.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// The explanation into the caller's buffer, never more bytes than it holds (whole characters).
void PutText(std::string& buffer, std::string text, std::size_t size)
{
    text.resize(Utf8PrefixBytes(text, size).size());
    buffer = std::move(text);
}

template <class C, class R>
void AssignConstraint(R* C::*member, C& self, const CKriterium& other)
{
    if (const auto* same = dynamic_cast<const C*>(&other); same && same->*member && self.*member)
        (self.*member)->Assign(*(same->*member));
}

constexpr const char* kTagKuerzel[7] = {"Mo, ", "Di, ", "Mi, ", "Do, ", "Fr, ", "Sa, ", "So"};

// Neutral work (every item at its neutral rating) sums to 17; the worst rating to 717.
constexpr double kAnzrwgNeutral = 17.0;
constexpr double kAnzrwgSpanne = 700.0;

std::function<void()>& Hinweis()
{
    static std::function<void()> show;
    return show;
}

std::function<void(const EBA_RECHENWERTE&)>& Rechenwerte()
{
    static std::function<void(const EBA_RECHENWERTE&)> show;
    return show;
}

// The excess of an hour's strain over the sustainable level, carried over by the divisor; a
// divisor of 0 carries nothing.
double Uebertrag(double strain, double max, double divisor)
{
    if (!(strain > max) || divisor == 0)
        return 0;
    const double carried = (strain - max) / divisor;
    return std::isfinite(carried) ? carried : 0;
}

} // namespace

// ---- KR1 ----------------------------------------------------------------------------------------

CKriteriumPausen::CKriteriumPausen()
{
    SetNummer(1);
    SetTableDivisor();
}

void CKriteriumPausen::SetRahmenbedingungen(CRahmenbedingungPausen* rb11, CRahmenbedingungErstePause* rb12,
                                            CRahmenbedingungMindestpausenlaenge* rb13)
{
    RB11 = rb11;
    RB12 = rb12;
    RB13 = rb13;
}

void CKriteriumPausen::Assign(const CKriterium& other, IKriterienPool* pool)
{
    CKriterium::Assign(other, pool);
    AssignConstraint(&CKriteriumPausen::RB11, *this, other);
    AssignConstraint(&CKriteriumPausen::RB12, *this, other);
    AssignConstraint(&CKriteriumPausen::RB13, *this, other);
}

uint32_t CKriteriumPausen::Check(const CSchicht& shift, uint8_t, std::string& text, std::size_t size)
{
    text.clear();
    if (!AKTIVIERT || shift.ART != ART_NORMAL)
        return 0;
    uint32_t amount = 0;
    std::string lines;
    const int32_t total = shift.PauseMinutes(PauseKind::All);

    if (RB11) {
        // The working time as a clock value, not folded into one day: a 24-hour shift needs the
        // breaks of the longest step too.
        const int64_t gross = int64_t(std::max(shift.GrossMinutes(), 0)) * kClockPerMinute + 1;
        int32_t required = 0;
        for (int i = 3; i >= 0; --i) {
            const PAUSENREGEL& step = RB11->PAUSEN[std::size_t(i)];
            if (step.AZ_AB != 0 && step.AZ_AB < gross) {
                required = step.PAUSENLAENGE;
                break;
            }
        }
        if (total < required) {
            ++amount;
            AppendLine(lines, "- Die Gesamtpausendauer dieser Schicht unterschreitet die geforderte Minimaldauer von " +
                                  std::to_string(required) + " Minuten um " + std::to_string(required - total) +
                                  " Minuten.");
        }
    }
    if (total >= 540) {
        ++amount;
        AppendLine(lines, "- Die Gesamtpausendauer dieser Schicht muß kleiner sein als 9 Stunden (540 Minuten)");
    }
    // The first break's distance from the begin is its LAGE: taken from the clock times it would
    // turn negative for a break after midnight. A first break of 0 (no time) sets no limit.
    const PAUSE& first = shift.PAUSEN[0];
    if (RB12 && RB12->ERSTE_PAUSE > 0 && first.DAUER != 0) {
        const int64_t offset = int64_t(first.LAGE) * kClockPerMinute;
        if (offset > RB12->ERSTE_PAUSE) {
            ++amount;
            AppendLine(lines, "- Die erste Pause beginnt " +
                                  std::to_string(TimeToMinutesLong(int32_t(offset + 1 - RB12->ERSTE_PAUSE))) +
                                  " Minuten zu spät.");
        }
    }
    if (RB13) {
        for (int i = 1; i <= 5; ++i) {
            const int32_t length = shift.PAUSEN[std::size_t(i - 1)].DAUER;
            if (length != 0 && length < RB13->MINDESTPAUSENLAENGE) {
                ++amount;
                AppendLine(lines, "- Die " + std::to_string(i) + ". Pause ist " +
                                      std::to_string(RB13->MINDESTPAUSENLAENGE - length) + " Minuten zu kurz.");
            }
        }
    }
    PutText(text, std::move(lines), size);
    return amount;
}

// ---- the constants ------------------------------------------------------------------------------

void EBA_KONSTANTEN::FromRecord(const RecordBuffer& r)
{
    for (int v = 1; v <= kEbaWerte; ++v)
        for (int n = 1; n <= kEbaAnzahl; ++n)
            GEWICHTUNG[std::size_t(v - 1)][std::size_t(n - 1)] = r.GetReal("GEWICHTUNG_" + std::to_string(v), n);
    MUL_CIRCADYAN = r.GetReal("MUL_CIRCADYAN");
    MUL_PSYSO = r.GetReal("MUL_PSYSO");
    for (int h = 1; h <= kEbaStunden; ++h) {
        FAK_CIRCADYAN[std::size_t(h - 1)] = r.GetReal("FAK_CIRCADYAN", h);
        FAK_PSYSO[std::size_t(h - 1)] = r.GetReal("FAK_PSYSO", h);
    }
    MAX_BELA = r.GetReal("MAX_BELA");
    DIV_BELA_KUM_1 = r.GetReal("DIV_BELA_KUM_1");
    DIV_BELA_KUM_2 = r.GetReal("DIV_BELA_KUM_2");
    MUL_AZZ8 = r.GetReal("MUL_AZZ8");
    MUL_AZZ10 = r.GetReal("MUL_AZZ10");
    MUL_AZZ12 = r.GetReal("MUL_AZZ12");
    BELA_GRENZE = r.GetReal("BELA_GRENZE");
}

bool ReadEbaKonstanten(EBA_KONSTANTEN& out)
{
    // The constants are asked for with every shift price; the file is read again only when its
    // name, size or time of change differ from the last read.
    struct Cache {
        std::string name;
        std::int64_t size = -1;
        std::int64_t changed = 0;
        bool found = false;
        EBA_KONSTANTEN values;
    };
    static Cache cache;
    const std::string name = EBA.Name();
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0)
        return false;
    const std::int64_t changed = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    if (cache.name == name && cache.size == std::int64_t(st.st_size) && cache.changed == changed) {
        if (cache.found)
            out = cache.values;
        return cache.found;
    }

    // EBA lives as long as the program; the reader borrows its layout.
    static RecordFile reader("EBA", std::shared_ptr<const Layout>(std::shared_ptr<const Layout>(), &EBA.GetLayout()));
    reader.SetName(name);
    if (FileOpen(reader, FILE_READ_ONLY | FILE_DENY_NONE) != ERR_NONE)
        return false;
    const bool found = FileSet(reader) == ERR_NONE && FileNext(reader) == ERR_NONE;
    if (found)
        cache.values.FromRecord(reader);
    FileClose(reader);
    cache.name = name;
    cache.size = st.st_size;
    cache.changed = changed;
    cache.found = found;
    if (found)
        out = cache.values;
    return found;
}

int32_t EbaRechenwert(int item, int32_t x)
{
    switch (item) {
    case 1: case 2: case 3: case 4: case 7: case 9: case 10: case 15:
        return x;
    case 5: case 8: case 14:
        return 10 - x;
    case 13: case 16: case 17:
        return std::abs(x - 5) * 2 + 1;
    case 6:
        return x < 5 ? 3 : 8;
    default:
        return 0;
    }
}

void SetEbaHinweisProcedure(std::function<void()> show) { Hinweis() = std::move(show); }

void SetEbaRechenwerteProcedure(std::function<void(const EBA_RECHENWERTE&)> show)
{
    Rechenwerte() = std::move(show);
}

// ---- KR19 ---------------------------------------------------------------------------------------

CKriteriumBelastung::CKriteriumBelastung()
{
    SetNummer(19);
    SetTableDivisor();
}

void CKriteriumBelastung::Assign(const CKriterium& other, IKriterienPool* pool)
{
    CKriterium::Assign(other, pool);
    if (const auto* same = dynamic_cast<const CKriteriumBelastung*>(&other))
        EBALISTE = same->EBALISTE;
}

uint8_t CKriteriumBelastung::ToggleActive()
{
    CKriterium::ToggleActive();
    if (AKTIVIERT && Hinweis())
        Hinweis()();
    return 0;
}

void CKriteriumBelastung::Compute(const ::TERMIN& span)
{
    EBA_ITEMS = {};
    EBA_RW = {};
    WERTE = {};
    BELA_GRENZE = 0;
    STUNDEN = 0;
    if (!EBALISTE)
        return;
    EBA_KONSTANTEN k;
    if (!ReadEbaKonstanten(k))
        return;
    BELA_GRENZE = k.BELA_GRENZE;

    // Every begun clock hour of the span, at most a day's 24: a span that runs to the same clock
    // time of the next day is 24 hours long, not none.
    const uint32_t h0 = span.BEGINN / 60;
    const uint32_t he = uint32_t((uint64_t(span.ENDE) + 59) / 60);
    const int n = he > h0 ? int(std::min<uint32_t>(he - h0, kEbaStunden)) : 0;
    STUNDEN = n;
    const uint32_t hour0 = h0 % 24;

    for (int k1 = 0; k1 < n; ++k1) {
        // The hour at its place on the time line, so that the hours after midnight take the
        // assessments of the day they fall on.
        const uint32_t from = (h0 + uint32_t(k1)) * 60;
        const CBelastungseinschaetzung rating = EBALISTE->AssessInterval(::TERMIN{from, from + 60});
        std::array<int, kEbaWerte + 1> count{};
        for (int item = 1; item <= kEbaItems; ++item) {
            const int32_t x = rating.Item(item);
            const int32_t v = EbaRechenwert(item, x);
            EBA_ITEMS[std::size_t(k1)][std::size_t(item - 1)] = x;
            EBA_RW[std::size_t(k1)][std::size_t(item - 1)] = v;
            if (v >= 1 && v <= kEbaWerte)
                ++count[std::size_t(v)];
        }
        double sum = 0;
        for (int v = 1; v <= kEbaWerte; ++v) {
            const int c = count[std::size_t(v)];
            if (c > 0)   // at most 15: items 11, 12 and 18 never count
                sum += double(v) * c * k.GEWICHTUNG[std::size_t(v - 1)][std::size_t(c - 1)];
        }
        const double index = (sum - kAnzrwgNeutral) * 100.0 / kAnzrwgSpanne + 100.0;
        const std::size_t clock = (hour0 + uint32_t(k1)) % 24;
        WERTE.ANZRWG[std::size_t(k1)] = sum;
        WERTE.EBA_IDX[std::size_t(k1)] = index;
        WERTE.BELA_STD[std::size_t(k1)] = index + index * k.MUL_CIRCADYAN * k.FAK_CIRCADYAN[clock] / 100.0 +
                                          index * k.MUL_PSYSO * k.FAK_PSYSO[clock] / 100.0;
    }

    const auto& hourly = WERTE.BELA_STD;
    for (int i = 0; i < n; ++i) {
        double sum = hourly[std::size_t(i)];
        if (i >= 1)
            sum += Uebertrag(hourly[std::size_t(i - 1)], k.MAX_BELA, k.DIV_BELA_KUM_1);
        if (i >= 2)
            sum += Uebertrag(hourly[std::size_t(i - 2)], k.MAX_BELA, k.DIV_BELA_KUM_2);
        const int hour = i + 1;
        if (hour >= 9)
            sum *= 1.0 + k.MUL_AZZ8 + (hour > 10 ? k.MUL_AZZ10 : 0.0) + (hour > 12 ? k.MUL_AZZ12 : 0.0);
        WERTE.BELA_SUM[std::size_t(i)] = sum;
    }
}

bool CKriteriumBelastung::Exceeds(double strain) const { return BELA_GRENZE > 0 && strain > BELA_GRENZE; }

uint16_t CKriteriumBelastung::Result() const
{
    for (int h = 1; h <= kEbaStunden; ++h)
        if (Exceeds(WERTE.BELA_SUM[std::size_t(h - 1)]))
            return uint16_t((h - 1) * 60);
    return uint16_t(kMinutesPerDay);
}

uint32_t CKriteriumBelastung::Check(const CSchicht& shift, uint8_t weekdays, std::string& text, std::size_t size)
{
    text.clear();
    if (!AKTIVIERT || shift.ART != ART_NORMAL)
        return 0;
    uint32_t amount = 0;
    std::string days;
    const uint32_t length = IntervalDuration(shift.TERMIN);
    for (uint32_t w = 1; w <= 7; ++w) {
        if (!(weekdays & BitOfDay(uint8_t(w))))
            continue;
        ::TERMIN span = shift.TERMIN;
        MoveIntervalToDay(span, w);
        Compute(span);
        const uint16_t recommended = Result();
        if (length > recommended) {
            amount += length - recommended;
            days += kTagKuerzel[w - 1];
        }
    }
    if (amount != 0)
        PutText(text, "- Die Belastung durch diese Schicht überschreitet den empfohlenen Grenzwert an folgenden Tagen: " +
                          days,
                size);
    return amount;
}

double CKriteriumBelastung::GetCost(const CSchicht& shift, uint16_t, uint8_t)
{
    if (!AKTIVIERT || shift.ART != ART_NORMAL)
        return 0.0;
    Compute(shift.TERMIN);
    for (double strain : WERTE.BELA_SUM)
        if (Exceeds(strain))
            return 1.0;
    return 0.0;
}

void CKriteriumBelastung::ShowRechenwerte()
{
    if (Rechenwerte())
        Rechenwerte()(WERTE);
}
