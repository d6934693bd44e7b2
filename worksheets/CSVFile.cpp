#include "worksheets/CSVFile.h"

#include "core/Utilities.h"
#include "platform/records/FileError.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/MessageShow.h"
#include "platform/values/Date.h"
#include "platform/values/Locale.h"
#include "platform/values/Picture.h"
#include "platform/values/Windows1252.h"
#include "plans/AZPData.h"
#include "plans/FlexAZ.h"
#include "plans/Schichttypen.h"

#include <cctype>
#include <cerrno>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <tuple>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kArten[4] = {"normal", "Freischicht", "Bereitschaft", "Rufbereitschaft"};
constexpr size_t kMaxDays = 84;
// A line carries at most this many characters; a file at most this many bytes and lines.
constexpr size_t kMaxLineLength = 4096;
constexpr size_t kMaxBytes = size_t(64) * 1024 * 1024;
constexpr size_t kMaxLines = 100000;
// More shift types than any worksheet uses; the list is looked through by name and by time.
constexpr size_t kMaxSchichttypen = 1000;
// A shift type's name and short name as a file carries them.
constexpr size_t kNameLength = 30;
constexpr size_t kShortNameLength = 5;

const Picture& TimePicture()
{
    static const Picture p("@T7");
    return p;
}
const Picture& DatePicture()
{
    static const Picture p("@D17");
    return p;
}

// The time of day of a minute stamp, as a clock value (hundredths since midnight plus 1).
std::string TimeText(uint32_t stamp)
{
    return FormatPicture(static_cast<long long>(stamp % 1440) * kClockPerMinute + 1, TimePicture());
}

// An end is written as its time of day ("00:00" at midnight), which reading puts back after the
// begin `from`. Only a whole day from midnight to midnight would come back without length from
// "00:00"; its end is written "24:00" (reading takes both).
std::string EndText(uint32_t stamp, uint32_t from)
{
    if (from % 1440 == 0 && stamp == from + 1440)
        return FormatPicture(static_cast<long long>(1440) * kClockPerMinute + 1, TimePicture());
    return TimeText(stamp);
}

void Notice(const std::string& caption, const std::string& text)
{
    MessageRequest m;
    m.caption = caption;
    m.text = text;
    m.icon = MessageIcon::Exclamation;
    m.buttonBits = BUTTON_OK;
    MessageShow(m);
}

bool Ask(const std::string& caption, const std::string& text)
{
    MessageRequest m;
    m.caption = caption;
    m.text = text;
    m.icon = MessageIcon::Question;
    m.buttonBits = BUTTON_YES | BUTTON_NO;
    m.defaultButton = BUTTON_YES;
    return MessageShow(m) == BUTTON_YES;
}

// A time field: blank reads as 0 (midnight, an emptied break); a text the picture cannot read
// makes the file bad.
bool ReadTime(const std::string& field, int32_t& clock)
{
    if (Clip(field).empty() && field.find_first_not_of(' ') == std::string::npos) {
        clock = 0;
        return true;
    }
    const PictureInput in = ParsePicture(field, TimePicture());
    if (!in.ok)
        return false;
    clock = int32_t(in.Whole());
    return true;
}

std::optional<CSVFehler> Fault(long line, const std::string& what)
{
    return CSVFehler{line, what};
}

// The fields of a line, numbered from 1: a field the line does not have reads as empty.
struct Fields {
    std::vector<std::string> f;
    const std::string& operator()(size_t n) const
    {
        static const std::string empty;
        return n >= 1 && n <= f.size() ? f[n - 1] : empty;
    }
};

bool ValidUtf8(std::string_view s)
{
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t more = 0;
        if (c < 0x80)
            more = 0;
        else if (c >= 0xC2 && c <= 0xDF)
            more = 1;
        else if ((c >> 4) == 0xE)
            more = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            more = 3;
        else
            return false;
        if (i + more >= s.size() && more > 0)
            return false;
        for (size_t k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2)
                return false;
        i += more + 1;
    }
    return true;
}

// Control characters (C0 with the tab, DEL, and C1 as UTF-8) have no place in a line of text.
bool HasControl(std::string_view line)
{
    for (size_t i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c < 0x20 || c == 0x7F)
            return true;
        if (c == 0xC2 && i + 1 < line.size() && static_cast<unsigned char>(line[i + 1]) < 0xA0)
            return true;
    }
    return false;
}

int CodeOfErrno(int e)
{
    switch (e) {
    case ENOENT: return ERR_FILE_NOT_FOUND;
    case ENOTDIR: return ERR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return ERR_ACCESS_DENIED;
    default: return ERR_FILE_SYSTEM;
    }
}

std::string ErrnoText(const std::string& path)
{
    const int code = SetError(CodeOfErrno(errno), path);
    return ErrorTextFor(code);
}

// The kind text (trailing spaces removed, any letter case) as 1..4; 0 when it names none.
uint8_t ArtOfText(const std::string& text)
{
    const std::string wanted = LocaleUpper(Clip(text));
    for (uint8_t k = 0; k < 4; ++k)
        if (LocaleUpper(kArten[k]) == wanted)
            return uint8_t(k + 1);
    return 0;
}

// Five pairs of break start and end from field `first` on: start before end, pair by pair.
bool ReadPausen(const Fields& f, size_t first, CSchicht& s, long line, std::optional<CSVFehler>& fault)
{
    for (int k = 1; k <= 5; ++k) {
        int32_t start = 0, end = 0;
        if (!ReadTime(f(first + size_t(2 * (k - 1))), start) || !ReadTime(f(first + size_t(2 * (k - 1)) + 1), end)) {
            fault = Fault(line, "Die Pausenzeiten von Pause " + std::to_string(k) + " sind keine Uhrzeiten.");
            return false;
        }
        s.PauseStart(k, start);
        s.PauseEnd(k, end);
    }
    return true;
}

std::string WrittenName(const std::string& name, size_t length)
{
    return Clip(Utf8Prefix(name, length));
}

// The format has no quoting: "," and ";" in a name split it when it is read back, and a control
// character makes the import refuse its line. Empty when the name is free of both, else the
// character as a message names it.
std::string ForbiddenIn(std::string_view name)
{
    for (size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c == ',')
            return "das Zeichen \",\" (Komma)";
        if (c == ';')
            return "das Zeichen \";\" (Semikolon)";
        if (c == '\t')
            return "einen Tabulator";
        if (c == '\r' || c == '\n')
            return "einen Zeilenumbruch";
        const unsigned code = c == 0xC2 && i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : c;
        if (c < 0x20 || c == 0x7F || (c == 0xC2 && code < 0xA0)) {
            char text[48];
            std::snprintf(text, sizeof text, "ein Steuerzeichen (U+%04X)", code);
            return text;
        }
    }
    return {};
}

// A name as a message shows it: control characters as spaces.
std::string Shown(const std::string& name)
{
    std::string out = Clip(name);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    return out;
}

std::string Schichttyp(const CSchicht& s)
{
    return "Der Schichttyp \"" + Shown(s.BEZEICHNUNG) + "\" (Kurzbezeichnung \"" + Shown(s.KURZBEZEICHNUNG) + "\")";
}

const char* const kNotExported = "|Die Exportdatei wurde nicht erstellt.";

// Why a name cannot go into a file as it is; empty when it can.
std::string NameFault(const CSchicht& s, const std::string& written, const char* which)
{
    const std::string what = ForbiddenIn(written);
    if (what.empty())
        return {};
    const bool separator = what.find("Komma") != std::string::npos || what.find("Semikolon") != std::string::npos;
    return Schichttyp(s) + " kann nicht exportiert werden: seine " + which + " enthält " + what + ".|" +
           (separator ? "Komma und Semikolon trennen in der CSV-Datei die Felder; beim Import käme der Schichttyp "
                        "verändert zurück."
                      : "Steuerzeichen nimmt eine CSV-Datei nicht auf; der Import würde die Datei ablehnen.") +
           " Bitte den Schichttyp umbenennen." + kNotExported;
}

// What a line carries of the times of a shift or entry: begin, end and the breaks that have a
// length, in order (a line writes them packed).
std::string Times(const TERMIN& t, const std::array<PAUSE, 5>& pausen)
{
    std::string out = std::to_string(t.BEGINN) + "-" + std::to_string(t.ENDE);
    for (const PAUSE& p : pausen)
        if (p.DAUER != 0)
            out += " " + std::to_string(p.LAGE) + "+" + std::to_string(p.DAUER);
    return out;
}

const char* const kTimesLost =
    "Beginn, Ende und Pausen stehen in der CSV-Datei als Uhrzeiten; so geschrieben kämen diese Zeiten beim Import "
    "verändert zurück (etwa eine Dauer von 24 Stunden, die nicht um Mitternacht beginnt, oder eine Pause, die vor "
    "ihrem Beginn endet).";

void WritePausen(const CSchicht& s, std::string& line)
{
    for (const PAUSE& p : s.PAUSEN) {
        if (p.DAUER == 0)
            continue;
        const uint32_t start = s.TERMIN.BEGINN + p.LAGE;
        line += TimeText(start) + "," + EndText(start + p.DAUER, s.TERMIN.BEGINN) + ",";
    }
}

} // namespace

// ---- lines -----------------------------------------------------------------------------------------

std::vector<std::string> CCSVFile::SplitFields(const std::string& line)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t i = 0; i <= line.size(); ++i) {
        if (i == line.size() || line[i] == ';' || line[i] == ',') {
            out.emplace_back(line, start, i - start);
            start = i + 1;
        }
    }
    // The separator behind the last field opens no field of its own.
    if (!out.empty() && out.back().empty() && !line.empty() && (line.back() == ';' || line.back() == ','))
        out.pop_back();
    return out;
}

std::string CCSVFile::SchichtLine(const CSchicht& s)
{
    const uint8_t art = s.ART >= 1 && s.ART <= 4 ? s.ART : ART_NORMAL;
    // The names as far as reading keeps them (30 and 5 characters, as the record stores them).
    std::string line = std::string(kArten[art - 1]) + "," + WrittenName(s.BEZEICHNUNG, kNameLength) + "," +
                       WrittenName(s.KURZBEZEICHNUNG, kShortNameLength) + ",";
    line += FormatPicture(static_cast<long long>(s.StartTime()), TimePicture()) + ",";
    line += EndText(s.TERMIN.ENDE, s.TERMIN.BEGINN) + ",";
    WritePausen(s, line);
    return line;
}

std::string CCSVFile::AZPLine(const CAZPData& azp, uint32_t group)
{
    std::string line;
    for (uint32_t d = 1; d <= azp.CountDays(); ++d) {
        if (const CSchicht* s = azp.GetCellSchicht(d, group)) {
            // The short name as its full five characters.
            std::string name(Utf8Prefix(s->KURZBEZEICHNUNG, kShortNameLength));
            name.append(kShortNameLength - std::min(kShortNameLength, Utf8Length(name)), ' ');
            line += name;
        }
        line += ",";
    }
    return line;
}

std::string CCSVFile::FlexLine(const QFLEXAZ& e)
{
    std::string line = FormatPicture(static_cast<long long>(e.DATUM), DatePicture()) + ",";
    line += TimeText(e.TERMIN.BEGINN) + "," + EndText(e.TERMIN.ENDE, e.TERMIN.BEGINN) + "," + std::to_string(int(e.ART)) + ",";
    CSchicht s;
    s.TERMIN = e.TERMIN;
    s.PAUSEN = e.PAUSEN;
    WritePausen(s, line);
    return line;
}

std::optional<CSVFehler> CCSVFile::ReadSchichttypen(const std::vector<std::string>& lines, std::vector<CSchicht>& out)
{
    out.clear();
    if (lines.empty())
        return Fault(0, "Die Datei ist leer.");
    // An unknown kind text keeps the kind of the line before (normal on the first line).
    uint8_t art = ART_NORMAL;
    if (lines.size() > kMaxSchichttypen)
        return Fault(long(kMaxSchichttypen + 1), "Die Datei enthält mehr als " + std::to_string(kMaxSchichttypen) +
                                                     " Schichttypen; mehr nimmt ein Arbeitsblatt nicht auf.");
    for (size_t i = 0; i < lines.size(); ++i) {
        const long n = long(i + 1);
        const Fields f{SplitFields(lines[i])};
        CSchicht s;
        s.Clear();
        if (const uint8_t found = ArtOfText(f(1)))
            art = found;
        s.ART = art;
        s.BEZEICHNUNG = std::string(Utf8Prefix(f(2), kNameLength));
        s.KURZBEZEICHNUNG = std::string(Utf8Prefix(f(3), kShortNameLength));
        int32_t begin = 0, end = 0;
        if (!ReadTime(f(4), begin) || !ReadTime(f(5), end))
            return Fault(n, "Beginn oder Ende ist keine Uhrzeit.");
        s.StartTime(begin);
        s.EndTime(end);
        std::optional<CSVFehler> fault;
        if (!ReadPausen(f, 6, s, n, fault))
            return fault;
        out.push_back(std::move(s));
    }
    return std::nullopt;
}

std::optional<CSVFehler> CCSVFile::ReadAZP(const std::vector<std::string>& lines, const CSchichttypen& types,
                                           uint16_t& weeks, std::vector<std::vector<uint32_t>>& groups)
{
    groups.clear();
    if (lines.empty())
        return Fault(1, "Die Datei ist leer.");
    // The first line's separators give the weeks; a line without a final separator has one less.
    const std::string first = Clip(lines[0]);
    size_t count = 0;
    for (char c : first)
        count += c == ';' || c == ',';
    if (count % 7 == 6)
        ++count;
    if (count == 0 || count % 7 != 0)
        return Fault(1, "Die Anzahl der Tage ist kein Vielfaches von 7.");
    if (count > kMaxDays)
        return Fault(1, "Die Datei enthält mehr als 12 Wochen (84 Tage).");
    weeks = uint16_t(count / 7);
    if (lines.size() > kMaxGruppen)
        return Fault(long(kMaxGruppen + 1), "Die Datei enthält mehr als " + std::to_string(kMaxGruppen) +
                                                " Schichtgruppen; mehr fasst ein Arbeitszeitplan nicht.");
    // Short names are looked up once each.
    std::map<std::string, uint32_t> ids;
    for (const std::string& line : lines) {
        const std::vector<std::string> f = SplitFields(line);
        std::vector<uint32_t> cells(count, 0);
        for (size_t d = 0; d < count && d < f.size(); ++d) {
            const std::string name = Clip(f[d]);
            if (name.empty())
                continue;
            auto [at, fresh] = ids.try_emplace(name, 0);
            if (fresh)
                if (const CSchicht* s = types.FindByKurzbezeichnung(name))
                    at->second = s->SYSID;
            cells[d] = at->second;
        }
        groups.push_back(std::move(cells));
    }
    return std::nullopt;
}

std::optional<CSVFehler> CCSVFile::ReadFlexAZ(const std::vector<std::string>& lines, CFlexAZ& out)
{
    out.Clear();
    // Collected first and added in date order: adding in file order would move the list for
    // every line of a file that is not sorted.
    std::vector<CFlexSchicht> read;
    read.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        const long n = long(i + 1);
        // A line without any text is no entry.
        if (lines[i].find_first_not_of(" \t") == std::string::npos)
            continue;
        const Fields f{SplitFields(lines[i])};
        CFlexSchicht s;
        s.Clear();
        const std::string date = Clip(f(1));
        if (date.find_first_not_of(' ') == std::string::npos)
            return Fault(n, "Das Datum fehlt.");
        const PictureInput d = ParsePicture(date, DatePicture());
        if (!d.ok || !DateValid(long(d.Whole())))
            return Fault(n, "\"" + date + "\" ist kein gültiges Datum.");
        s.DATUM = int32_t(d.Whole());
        int32_t begin = 0, end = 0;
        if (!ReadTime(f(2), begin) || !ReadTime(f(3), end))
            return Fault(n, "Beginn oder Ende ist keine Uhrzeit.");
        s.StartTime(begin);
        s.EndTime(end);
        // The kind as a byte, then held to 1..4.
        long long art = 0;
        const PictureInput a = ParsePicture(Clip(f(4)), "@N-6");
        if (a.ok)
            art = a.Whole();
        const uint8_t byte = uint8_t(art & 0xFF);
        s.ART = uint8_t(std::clamp<int>(byte, 1, 4));
        std::optional<CSVFehler> fault;
        if (!ReadPausen(f, 5, s, n, fault))
            return fault;
        read.push_back(std::move(s));
    }
    if (read.empty())
        return Fault(0, "Die Datei enthält keine Arbeitszeiten.");
    std::ranges::stable_sort(read, std::ranges::less{},
                             [](const CFlexSchicht& e) { return std::pair{e.DATUM, e.TERMIN.BEGINN}; });
    for (const CFlexSchicht& e : read)
        out.Add(e);
    return std::nullopt;
}

void CCSVFile::ReplaceSchichttypen(CSchichttypen& types, std::vector<CSchicht>& staged)
{
    std::map<std::string, uint32_t> known;
    for (long n = types.Count(); n >= 1; --n)
        if (const CSchicht* s = types.GetByIndex(n))
            known[LocaleUpper(Clip(s->KURZBEZEICHNUNG))] = s->SYSID;  // the first of a name wins
    types.Clear();
    std::set<uint32_t> used;
    for (CSchicht& s : staged) {
        auto at = known.find(LocaleUpper(Clip(s.KURZBEZEICHNUNG)));
        if (at != known.end() && used.insert(at->second).second) {
            s.SYSID = at->second;
            types.AddSchichtKeepId(s);
        } else {
            types.AddSchicht(s, false);
        }
    }
}

// ---- what an export could not bring back ----------------------------------------------------------

std::optional<std::string> CCSVFile::CheckSchichttypen(const CSchichttypen& types)
{
    for (long n = 1; n <= types.Count(); ++n) {
        const CSchicht& s = *types.GetByIndex(n);
        for (const auto& [name, length, which] :
             {std::tuple{&s.BEZEICHNUNG, kNameLength, "Bezeichnung"},
              std::tuple{&s.KURZBEZEICHNUNG, kShortNameLength, "Kurzbezeichnung"}})
            if (std::string fault = NameFault(s, WrittenName(*name, length), which); !fault.empty())
                return fault;
        // The line read back must give the same times.
        std::vector<CSchicht> back;
        if (ReadSchichttypen({SchichtLine(s)}, back) ||
            Times(back[0].TERMIN, back[0].PAUSEN) != Times(s.TERMIN, s.PAUSEN))
            return Schichttyp(s) + " kann nicht exportiert werden.|" + kTimesLost +
                   " Bitte die Zeiten des Schichttyps prüfen." + kNotExported;
    }
    return std::nullopt;
}

std::optional<std::string> CCSVFile::CheckFlexAZ(const CFlexAZ& flex)
{
    for (long n = 1; n <= flex.Count(); ++n) {
        const QFLEXAZ& e = *flex.Entry(n);
        const std::string line = FlexLine(e);
        CFlexAZ back;
        if (ReadFlexAZ({line}, back) || back.Count() != 1 || back.Entry(1)->DATUM != e.DATUM ||
            Times(back.Entry(1)->TERMIN, back.Entry(1)->PAUSEN) != Times(e.TERMIN, e.PAUSEN))
            return "Der Eintrag vom " + FormatPicture(static_cast<long long>(e.DATUM), DatePicture()) + " (" +
                   TimeText(e.TERMIN.BEGINN) + " bis " + EndText(e.TERMIN.ENDE, e.TERMIN.BEGINN) +
                   ") kann nicht exportiert werden.|" + kTimesLost + " Bitte die Zeiten des Eintrags prüfen." +
                   kNotExported;
    }
    return std::nullopt;
}

std::optional<std::string> CCSVFile::CheckAZP(const CAZPData& azp)
{
    const CSchichttypen* types = azp.GetSchichttypen();
    if (!types)
        return std::nullopt;
    const std::string sameName = "Die CSV-Datei nennt den Schichttyp eines Tages nur mit seiner Kurzbezeichnung; ";
    std::set<const CSchicht*> checked;
    for (uint32_t g = 1; g <= azp.CountGroups(); ++g)
        for (uint32_t d = 1; d <= azp.CountDays(); ++d) {
            const CSchicht* s = azp.GetCellSchicht(d, g);
            if (!s || !checked.insert(s).second)
                continue;
            // The file names the type as the import finds it again: by its short name.
            const std::string written = WrittenName(s->KURZBEZEICHNUNG, kShortNameLength);
            if (std::string fault = NameFault(*s, written, "Kurzbezeichnung"); !fault.empty())
                return fault;
            if (written.empty())
                return Schichttyp(*s) + " steht im Arbeitszeitplan, hat aber keine Kurzbezeichnung.|" + sameName +
                       "seine Tage kämen beim Import leer zurück. Bitte dem Schichttyp eine Kurzbezeichnung geben." +
                       kNotExported;
            if (Utf8Length(Clip(s->KURZBEZEICHNUNG)) > kShortNameLength)
                return Schichttyp(*s) + " kann nicht exportiert werden: seine Kurzbezeichnung ist länger als " +
                       std::to_string(kShortNameLength) + " Zeichen.|" + sameName + "sie fasst " +
                       std::to_string(kShortNameLength) + " Zeichen. Bitte die Kurzbezeichnung kürzen." + kNotExported;
            const CSchicht* found = types->FindByKurzbezeichnung(written);
            if (found != s)
                return "Die Schichttypen \"" + Shown(found ? found->BEZEICHNUNG : std::string()) + "\" und \"" +
                       Shown(s->BEZEICHNUNG) + "\" haben dieselbe Kurzbezeichnung \"" + Shown(written) + "\".|" +
                       sameName + "beim Import stünde an den Tagen von \"" + Shown(s->BEZEICHNUNG) +
                       "\" der andere Schichttyp. Bitte einem der beiden eine eigene Kurzbezeichnung geben." +
                       kNotExported;
        }
    return std::nullopt;
}

// ---- files ----------------------------------------------------------------------------------------

bool CCSVFile::ReadBytes(const std::string& path, std::string& bytes, std::string& error)
{
    bytes.clear();
    const auto refuse = [&](const std::string& what, const std::string& why) {
        error = what + "|" + why + "|Die Importdatei wurde nicht eingelesen.";
        return false;
    };
    // Opened without waiting: a named pipe or a device must not hold the program until a writer
    // comes; anything but a regular file is refused before a byte is read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return refuse("Fehler beim Öffnen der Importdatei.", ErrnoText(path));
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
        return refuse("Fehler beim Öffnen der Importdatei.", ErrnoText(path));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        SetError(ERR_ACCESS_DENIED, path);
        return refuse("Fehler beim Öffnen der Importdatei.",
                      std::string(S_ISDIR(st.st_mode) ? "\"" + path + "\" ist ein Ordner, keine Datei."
                                                      : "\"" + path + "\" ist keine gewöhnliche Datei (sondern z. B. "
                                                                      "eine benannte Pipe oder ein Gerät)."));
    }
    if (st.st_size > off_t(kMaxBytes)) {
        ::close(fd);
        SetError(ERR_ACCESS_DENIED, path);
        return refuse("Die Importdatei ist zu groß.",
                      "Sie hat mehr als " + std::to_string(kMaxBytes / (1024 * 1024)) + " MB.");
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    bytes.reserve(size_t(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int saved = errno;
            ::close(fd);
            errno = saved;
            bytes.clear();
            return refuse("Fehler beim Lesen der Importdatei.", ErrnoText(path));
        }
        if (got == 0)
            break;
        bytes.append(buffer, size_t(got));
        // A file that grows while it is read is cut at the limit and refused.
        if (bytes.size() > kMaxBytes) {
            ::close(fd);
            bytes.clear();
            SetError(ERR_ACCESS_DENIED, path);
            return refuse("Die Importdatei ist zu groß.",
                          "Sie hat mehr als " + std::to_string(kMaxBytes / (1024 * 1024)) + " MB.");
        }
    }
    ::close(fd);
    SetError(ERR_NONE);
    return true;
}

std::optional<CSVFehler> CCSVFile::DecodeLines(const std::string& raw, std::vector<std::string>& lines)
{
    lines.clear();
    std::string_view bytes(raw);
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        return Fault(0, "Die Datei ist in UTF-16 (Unicode) gespeichert. Diese Kodierung wird nicht unterstützt; "
                        "bitte die Datei als UTF-8 oder ANSI (Windows-1252) speichern.");
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    const std::string text = ValidUtf8(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        size_t stop = end;
        if (stop > start && text[stop - 1] == '\r')
            --stop;
        const long n = long(lines.size() + 1);
        if (lines.size() >= kMaxLines)
            return Fault(n, "Die Datei hat mehr als " + std::to_string(kMaxLines) + " Zeilen.");
        const std::string_view line(text.data() + start, stop - start);
        if (line.find('\0') != std::string_view::npos)
            return Fault(n, "Die Zeile enthält Nullzeichen: die Datei ist keine Textdatei oder in einer nicht "
                            "unterstützten Kodierung (z. B. UTF-16) gespeichert.");
        if (HasControl(line))
            return Fault(n, "Die Zeile enthält Steuerzeichen.");
        if (Utf8Length(line) > kMaxLineLength)
            return Fault(n, "Die Zeile ist länger als " + std::to_string(kMaxLineLength) + " Zeichen.");
        lines.emplace_back(line);
        start = end + 1;
    }
    return std::nullopt;
}

namespace {

// An export is written to "." + the target's name + "." + mkstemp's six characters beside the
// target, and holds a flock on that file from making it until it is renamed into place or removed.
bool IsTempOf(std::string_view entry, std::string_view target)
{
    if (entry.size() != target.size() + 8 || entry.front() != '.' || entry.substr(1, target.size()) != target ||
        entry[target.size() + 1] != '.')
        return false;
    const std::string_view tail = entry.substr(target.size() + 2);
    return std::all_of(tail.begin(), tail.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

// Whether the first bytes of a file are those of an export: lines of text, each ended by ",\r\n"
// (the last one may be cut short where the writer stopped).
bool LooksLikeExport(std::string_view head)
{
    if (head.starts_with("\xEF\xBB\xBF"))
        head.remove_prefix(3);
    const auto text = [](std::string_view part) {
        return std::none_of(part.begin(), part.end(),
                            [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
    };
    bool line = false;
    size_t start = 0;
    for (size_t end; (end = head.find('\n', start)) != std::string_view::npos; start = end + 1) {
        if (end < start + 2 || head.substr(end - 2, 2) != ",\r" || !text(head.substr(start, end - 2 - start)))
            return false;
        line = true;
    }
    std::string_view rest = head.substr(start);
    if (rest.ends_with('\r'))
        rest.remove_suffix(1);
    return line && text(rest);
}

// Temporary files that exports to `target` left when they were killed. A live export holds its
// lock, so only a file that can be locked is stale; only a regular file of this user that is
// empty or reads like an export is taken for one, and an empty one only a minute after it was
// made (a writer may be between making it and locking it).
void RemoveStaleTemps(const std::filesystem::path& target)
{
    const std::string name = target.filename().string();
    const std::filesystem::path dir = target.parent_path().empty() ? "." : target.parent_path();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (!IsTempOf(it->path().filename().string(), name))
            continue;
        const std::string temp = it->path().string();
        const int fd = ::open(temp.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {}, now {};
        char head[16384];
        const ssize_t got = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()
                                ? ::pread(fd, head, sizeof head, 0)
                                : -1;
        const bool ours = got > 0 ? LooksLikeExport(std::string_view(head, size_t(got)))
                                  : got == 0 && st.st_mtime + 60 < ::time(nullptr);
        // Locked, and still the file that was looked at, it goes.
        if (ours && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(temp.c_str(), &now) == 0 &&
            now.st_dev == st.st_dev && now.st_ino == st.st_ino)
            ::unlink(temp.c_str());
        ::close(fd);
    }
}

// The lines as a file: Windows-1252, unless that would not read back as the lines (a character
// Windows-1252 lacks, or bytes that read as UTF-8 and so as other characters); then UTF-8 with a
// byte-order mark, which reading takes as UTF-8. A file that neither reads back as written is
// not made: false with the reason.
bool FileBytes(const std::vector<std::string>& lines, std::string& bytes, std::string& reason)
{
    const auto readsBack = [&]() -> std::optional<CSVFehler> {
        if (bytes.size() > kMaxBytes)
            return Fault(0, "Sie hätte mehr als " + std::to_string(kMaxBytes / (1024 * 1024)) + " MB.");
        std::vector<std::string> back;
        if (auto fault = CCSVFile::DecodeLines(bytes, back))
            return fault;
        if (back != lines)
            return Fault(0, "Ihr Text käme beim Import verändert zurück.");
        return std::nullopt;
    };
    bytes.clear();
    for (const std::string& line : lines)
        bytes += Utf8ToCp1252(line) + "\r\n";
    if (!readsBack())
        return true;
    bytes = "\xEF\xBB\xBF";
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    const auto fault = readsBack();
    if (!fault)
        return true;
    reason = "Die Exportdatei könnte nicht wieder eingelesen werden.|" +
             (fault->ZEILE > 0 ? "Zeile " + std::to_string(fault->ZEILE) + ": " : std::string()) + fault->TEXT;
    return false;
}

} // namespace

bool CCSVFile::WriteLines(const std::string& path, const std::vector<std::string>& lines, std::string& error)
{
    namespace fs = std::filesystem;
    std::string bytes, reason;
    if (!FileBytes(lines, bytes, reason)) {
        error = reason + "|Die Exportdatei wurde nicht erstellt.";
        return false;
    }
    const fs::path target(path);
    RemoveStaleTemps(target);
    std::string temp = (target.parent_path().empty() ? fs::path(".") : target.parent_path()).string() + "/." +
                       target.filename().string() + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    auto fail = [&](const char* what) {
        error = std::string(what) + "|" + ErrnoText(path) + "|Die Exportdatei wurde nicht erstellt.";
        return false;
    };
    if (fd < 0)
        return fail("Fehler beim Erstellen der Exportdatei.");
    // Held until the file is in place or gone: no other export takes it for a leftover.
    ::flock(fd, LOCK_EX | LOCK_NB);
    bool ok = true;
    for (size_t done = 0; ok && done < bytes.size();) {
        const ssize_t put = ::write(fd, bytes.data() + done, std::min<size_t>(bytes.size() - done, 65536));
        if (put > 0)
            done += size_t(put);
        else if (put == 0)
            errno = ENOSPC, ok = false;
        else if (errno != EINTR)
            ok = false;
    }
    int saved = errno;
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        saved = errno;
    }
    // A replaced file keeps its permissions; a new one gets those of any file the user creates.
    if (ok) {
        struct stat old {};
        if (::stat(path.c_str(), &old) == 0) {
            ::fchmod(fd, old.st_mode & 07777);
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            ::fchmod(fd, 0666 & ~mask);
        }
    }
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        saved = errno;
    }
    if (!ok)
        ::unlink(temp.c_str());
    // Closed only now, after the data is on the disk and in place: the lock goes with it.
    ::close(fd);
    if (!ok) {
        errno = saved;
        return fail("Fehler beim Schreiben der Exportdatei.");
    }
    SetError(ERR_NONE);
    return true;
}

uint8_t CCSVFile::AskFileName(uint8_t kind, uint8_t exportFlag)
{
    const std::string title =
        std::string(kind == 1 ? "Schichttypen" : "Arbeitszeitplan") + (exportFlag ? " exportieren" : " importieren");
    std::string name;
    unsigned flags = FILE_LONG_NAMES | (exportFlag ? FILE_SAVE : 0u);
    if (!FileDialog(title, name, "CSV-Datei |*.csv", flags))
        return 5;
    name = Clip(name);
    if (name.empty())
        return 5;
    if (name.size() < 4 || LocaleUpper(name.substr(name.size() - 4)) != ".CSV")
        name += ".csv";
    FILENAME = name;
    EXPORT = exportFlag;
    return 0;
}

bool CCSVFile::Export(uint8_t kind, const std::vector<std::string>& lines)
{
    if (AskFileName(kind, 1) != 0)
        return false;
    std::string error;
    if (!WriteLines(FILENAME, lines, error)) {
        Notice("Fehler beim Export", error);
        return false;
    }
    return true;
}

namespace {
void FormatFault(const std::string& what, const CSVFehler& fault)
{
    std::string text = "Die gewählte Datei entspricht nicht dem erwarteten Format für " + what + ". |";
    if (fault.ZEILE > 0)
        text += "Zeile " + std::to_string(fault.ZEILE) + ": ";
    text += fault.TEXT + "|Der Import kann daher nicht durchgeführt werden.";
    Notice("Dateiformat nicht kompatibel ", text);
}
} // namespace

bool CCSVFile::AskAndRead(uint8_t kind, const std::string& what, std::vector<std::string>& lines)
{
    if (AskFileName(kind, 0) != 0)
        return false;
    std::string error, bytes;
    if (!ReadBytes(FILENAME, bytes, error)) {
        Notice("Fehler beim Import", error);
        return false;
    }
    if (auto fault = DecodeLines(bytes, lines)) {
        FormatFault(what, *fault);
        return false;
    }
    return true;
}

// ---- the six transfers --------------------------------------------------------------------------------

bool CCSVFile::ExportSchichttypen(CSchichttypen& types)
{
    if (types.Count() == 0) {
        Notice("Exportdatei wurde nicht erstellt", "Es sind keine Schichttypen angelegt.");
        return false;
    }
    if (auto fault = CheckSchichttypen(types)) {
        Notice("Exportdatei wurde nicht erstellt", *fault);
        return false;
    }
    std::vector<std::string> lines;
    for (long n = 1; n <= types.Count(); ++n)
        lines.push_back(SchichtLine(*types.GetByIndex(n)));
    return Export(1, lines);
}

bool CCSVFile::ImportSchichttypen(CSchichttypen& types)
{
    if (types.Count() > 0 &&
        !Ask("bestehende Schichttypen werden überschrieben",
             "Im aktuellen Arbeitszeitblatt sind bereits Schichttypen angelegt. Diese Schichttypen werden durch die "
             "Schichttypen in der Importdatei überschrieben.|Soll der Import durchgeführt werden?"))
        return false;
    std::vector<std::string> lines;
    if (!AskAndRead(1, "Schichttypen", lines))
        return false;
    std::vector<CSchicht> staged;
    if (auto fault = ReadSchichttypen(lines, staged)) {
        FormatFault("Schichttypen", *fault);
        return false;
    }
    ReplaceSchichttypen(types, staged);
    return true;
}

bool CCSVFile::ExportAZP(CAZPData& azp)
{
    if (azp.CountGroups() == 0 || azp.CountDays() == 0) {
        Notice("Exportdatei wurde nicht erstellt", "Der Arbeitszeitplan enthält keine Schichteinträge.");
        return false;
    }
    if (auto fault = CheckAZP(azp)) {
        Notice("Exportdatei wurde nicht erstellt", *fault);
        return false;
    }
    std::vector<std::string> lines;
    for (uint32_t g = 1; g <= azp.CountGroups(); ++g)
        lines.push_back(AZPLine(azp, g));
    return Export(2, lines);
}

bool CCSVFile::ImportAZP(CAZPData& azp)
{
    CSchichttypen* types = azp.GetSchichttypen();
    if (!types || types->Count() == 0) {
        Notice("keine Schichttypen vorhanden",
               "Der aktuelle Arbeitszeitplan enthält keine Schichttypen. Der Import eines Arbeitzeitplanes setzt "
               "voraus, das Schichttypen vorhanden sind.|Der Import kann daher nicht durchgeführt werden.");
        return false;
    }
    if (azp.CountGroups() > 0 &&
        !Ask("bestehende Schichtgruppen werden überschrieben",
             "Im aktuellen Arbeitszeitplan sind bereits Schichtgruppen angelegt. Diese Schichtgruppen werden durch die "
             "Schichtgruppen in der Importdatei überschrieben.|Soll der Import durchgeführt werden?"))
        return false;
    std::vector<std::string> lines;
    if (!AskAndRead(2, "Arbeitszeitpläne", lines))
        return false;
    uint16_t weeks = 0;
    std::vector<std::vector<uint32_t>> groups;
    if (auto fault = ReadAZP(lines, *types, weeks, groups)) {
        FormatFault("Arbeitszeitpläne", *fault);
        return false;
    }
    azp.DeleteAllGroups();
    azp.SetBezugsrahmen(weeks);
    azp.SetGroupCount(uint32_t(groups.size()));
    for (uint32_t g = 1; g <= groups.size(); ++g)
        for (uint32_t d = 1; d <= groups[g - 1].size(); ++d)
            azp.SetCell(d, g, groups[g - 1][d - 1]);
    return true;
}

bool CCSVFile::ExportFlexAZ(CFlexAZ& flex)
{
    if (flex.Count() == 0) {
        Notice("Exportdatei wurde nicht erstellt", "Der Flex.-Arbeitszeitplan enthält keine Einträge.");
        return false;
    }
    if (auto fault = CheckFlexAZ(flex)) {
        Notice("Exportdatei wurde nicht erstellt", *fault);
        return false;
    }
    std::vector<std::string> lines;
    lines.reserve(size_t(flex.Count()));
    for (long n = 1; n <= flex.Count(); ++n)
        lines.push_back(FlexLine(*flex.Entry(n)));
    return Export(2, lines);
}

bool CCSVFile::ImportFlexAZ(CFlexAZ& flex)
{
    if (flex.Count() > 0 &&
        !Ask("bestehende Einträge werden überschrieben",
             "Im aktuellen Flex.-Arbeitszeitplan sind bereits Einträge enthalten. Diese Einträge werden durch die "
             "Arbeitszeiten in der Importdatei überschrieben.|Soll der Import durchgeführt werden?"))
        return false;
    std::vector<std::string> lines;
    if (!AskAndRead(2, "Flex.-Arbeitszeiten", lines))
        return false;
    CFlexAZ staged;
    if (auto fault = ReadFlexAZ(lines, staged)) {
        FormatFault("Flex.-Arbeitszeiten", *fault);
        return false;
    }
    flex.CopyFrom(staged);
    return true;
}
