// makecfg: builds the installed configuration files from their readable sources.
//
//   makecfg <source folder> <installation folder>
//
// Reads <source folder>/<table>.txt (format: data/config/README.md) and writes varn4.cfg and
// eba.cfg into the installation folder through the program's own record files and layouts, so
// the program reads them as its own. Both files are built beside the destination first and
// replace it only when everything was written, so a failed run leaves no half-made file behind.
// A bad line ends the run with "file:line: message" on standard error and exit code 1.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include <unistd.h>

#include "core/Files.h"
#include "platform/values/Decimal.h"
#include "platform/values/Windows1252.h"

namespace fs = std::filesystem;

namespace {

// A data error: the message is "file:line: text".
struct SourceError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const fs::path& file, int line, const std::string& text)
{
    throw SourceError(file.string() + ":" + std::to_string(line) + ": " + text);
}

// ---- the tables ------------------------------------------------------------------------------

struct Target {
    const char* source;      // file in the source folder
    RecordFile* file;        // the program's record file of that table (its layout)
    const char* container;   // record file in the installation folder
    const char* table;       // table inside the container; nullptr for a single-table file
    bool singleRecord;       // the program reads only the first record
};

const std::vector<Target>& Targets()
{
    static const std::vector<Target> targets = {
        {"rahmenbedingungenvorgaben.txt", &RBDEFAULT, "varn4.cfg", "rahmenbedingungenvorgaben", true},
        {"warngrenzen.txt", &RBWARN, "varn4.cfg", "warngrenzen", true},
        {"fehlergrenzen.txt", &RBFEHLER, "varn4.cfg", "fehlergrenzen", true},
        {"warntexte.txt", &WARNTXT, "varn4.cfg", "warntexte", false},
        {"kriterienvorgaben.txt", &KRIDEFAULT, "varn4.cfg", "kriterienvorgaben", true},
        {"eba.txt", &EBA, "eba.cfg", nullptr, true},
    };
    return targets;
}

// ---- values ----------------------------------------------------------------------------------

using Value = std::variant<int64_t, Decimal, double, std::string>;

std::string_view Trim(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

std::string Quoted(std::string_view s) { return "„" + std::string(s) + "“"; }

bool AllDigits(std::string_view s)
{
    return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// "hh:mm" (00:00 .. 24:00) as the program's clock value.
std::optional<int64_t> ParseTime(std::string_view s)
{
    const auto colon = s.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const std::string_view h = s.substr(0, colon), m = s.substr(colon + 1);
    if (!AllDigits(h) || h.size() > 2 || !AllDigits(m) || m.size() != 2)
        return std::nullopt;
    const int hours = std::stoi(std::string(h)), minutes = std::stoi(std::string(m));
    if (minutes > 59 || hours > 24 || (hours == 24 && minutes != 0))
        return std::nullopt;
    return static_cast<int64_t>(hours) * 360'000 + static_cast<int64_t>(minutes) * 6'000 + 1;
}

std::optional<int64_t> ParseWhole(std::string_view s)
{
    const bool negative = !s.empty() && s.front() == '-';
    if (negative)
        s.remove_prefix(1);
    if (!AllDigits(s) || s.size() > 12)
        return std::nullopt;
    const int64_t v = std::stoll(std::string(s));
    return negative ? -v : v;
}

std::pair<int64_t, int64_t> IntRange(FieldType type)
{
    switch (type) {
    case FieldType::Byte: return {0, 255};
    case FieldType::Ushort: return {0, 65'535};
    case FieldType::Long: return {-2'147'483'648LL, 2'147'483'647LL};
    default: return {0, 4'294'967'295LL};
    }
}

const char* TypeName(FieldType type)
{
    switch (type) {
    case FieldType::Byte: return "BYTE";
    case FieldType::Ushort: return "USHORT";
    case FieldType::Long: return "LONG";
    case FieldType::Ulong: return "ULONG";
    case FieldType::Real: return "REAL";
    case FieldType::Decimal: return "DECIMAL";
    case FieldType::String: return "STRING";
    case FieldType::Group: return "GROUP";
    }
    return "?";
}

// The value of a field from its text; a refusal names what was expected.
Value Convert(const Field& f, std::string_view text, const fs::path& file, int line)
{
    switch (f.type) {
    case FieldType::Byte:
    case FieldType::Ushort:
    case FieldType::Long:
    case FieldType::Ulong: {
        std::optional<int64_t> v = text.find(':') != std::string_view::npos ? ParseTime(text) : ParseWhole(text);
        if (!v)
            Fail(file, line, "Feld " + f.name + " (" + TypeName(f.type) + "): " + Quoted(text) +
                                 " ist weder eine ganze Zahl noch eine Uhrzeit hh:mm von 00:00 bis 24:00");
        const auto [low, high] = IntRange(f.type);
        if (*v < low || *v > high)
            Fail(file, line, "Feld " + f.name + " (" + TypeName(f.type) + "): " + Quoted(text) +
                                 " liegt außerhalb von " + std::to_string(low) + " .. " + std::to_string(high));
        return *v;
    }
    case FieldType::Decimal: {
        const std::optional<Decimal> d = Decimal::Parse(text);
        if (!d)
            Fail(file, line, "Feld " + f.name + " (Stunden): " + Quoted(text) +
                                 " ist keine Zahl mit höchstens zwei Nachkommastellen");
        if (std::llabs(d->Cents()) > Decimal::PackedLimit(f.width))
            Fail(file, line, "Feld " + f.name + ": " + Quoted(text) + " ist zu groß für das Feld");
        return *d;
    }
    case FieldType::Real: {
        std::string s(text);
        for (char& c : s)
            if (c == ',')
                c = '.';
        char* end = nullptr;
        errno = 0;
        const double v = s.empty() ? 0.0 : std::strtod(s.c_str(), &end);
        if (s.empty() || end != s.c_str() + s.size() || errno == ERANGE || !std::isfinite(v) ||
            s.find_first_of("xXnN") != std::string::npos)   // no hexadecimal, inf or nan
            Fail(file, line, "Feld " + f.name + " (REAL): " + Quoted(text) + " ist keine Zahl");
        return v;
    }
    case FieldType::String:
        return std::string(text);
    case FieldType::Group:
        break;
    }
    Fail(file, line, f.name + " ist eine Gruppe; bitte ihre Felder einzeln setzen");
}

void CheckText(const Field& f, const std::string& text, const fs::path& file, int line)
{
    const std::string cp = Utf8ToCp1252(text);
    if (Cp1252ToUtf8(cp) != text)
        Fail(file, line, "Feld " + f.name + ": der Text enthält Zeichen, die es in Windows-1252 nicht gibt");
    for (const unsigned char c : cp)
        if (c < 0x20)
            Fail(file, line, "Feld " + f.name + ": der Text enthält ein Steuerzeichen");
    if (cp.size() > static_cast<size_t>(f.width))
        Fail(file, line, "Feld " + f.name + ": der Text ist " + std::to_string(cp.size()) +
                             " Bytes lang (Windows-1252), das Feld fasst " + std::to_string(f.width));
}

// ---- the source files --------------------------------------------------------------------------

struct Slot {
    const Field* field;
    int index;
    auto operator<=>(const Slot&) const = default;
};

struct Assigned {
    Value value;
    int line;       // where it was set
    int lastLine;   // where its text was last continued
};

struct SourceRecord {
    int line = 0;   // where the record begins
    std::string label;
    std::map<Slot, Assigned> values;
};

// The value text of a line: quoted, or up to a comment " #".
std::string ValueText(std::string_view rest, const fs::path& file, int line)
{
    rest = Trim(rest);
    if (!rest.empty() && rest.front() == '"') {
        const auto close = rest.rfind('"');
        if (close == 0)
            Fail(file, line, "das schließende \" fehlt");
        const std::string_view after = Trim(rest.substr(close + 1));
        if (!after.empty() && after.front() != '#')
            Fail(file, line, "nach dem schließenden \" folgt noch " + Quoted(after));
        return std::string(rest.substr(1, close - 1));
    }
    for (size_t i = 1; i < rest.size(); ++i)
        if (rest[i] == '#' && (rest[i - 1] == ' ' || rest[i - 1] == '\t'))
            return std::string(Trim(rest.substr(0, i)));
    if (!rest.empty() && rest.front() == '#')
        return {};
    return std::string(rest);
}

std::vector<SourceRecord> ReadSource(const fs::path& file, const Layout& layout)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        Fail(file, 0, "die Datei kann nicht gelesen werden");
    std::vector<SourceRecord> records;
    std::string raw;
    int line = 0;
    while (std::getline(in, raw)) {
        ++line;
        if (line == 1 && raw.starts_with("\xEF\xBB\xBF"))
            raw.erase(0, 3);
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        const std::string_view text = Trim(raw);
        if (text.empty() || text.front() == '#')
            continue;
        if (text.front() == '[') {
            if (text.back() != ']' || text.size() < 3)
                Fail(file, line, "ein Datensatz beginnt mit [Name]");
            records.push_back({line, std::string(text.substr(1, text.size() - 2)), {}});
            continue;
        }
        const auto eq = text.find('=');
        if (eq == std::string_view::npos)
            Fail(file, line, "erwartet FELD = Wert, gefunden " + Quoted(text));
        const bool append = eq > 0 && text[eq - 1] == '+';
        std::string_view name = Trim(text.substr(0, append ? eq - 1 : eq));
        int index = 0;
        if (const auto open = name.find('['); open != std::string_view::npos) {
            const std::string_view number = name.substr(open + 1, name.size() - open - 2);
            if (name.back() != ']' || !AllDigits(number) || number.size() > 4)
                Fail(file, line, "erwartet FELD[n], gefunden " + Quoted(name));
            index = std::stoi(std::string(number));
            name = Trim(name.substr(0, open));
        }
        const Field* f = layout.Find(name);
        if (!f)
            Fail(file, line, "unbekanntes Feld " + Quoted(name) + " im Satzaufbau " + layout.Name());
        if (f->type == FieldType::Group)
            Fail(file, line, f->name + " ist eine Gruppe; bitte ihre Felder einzeln setzen");
        if (f->count > 1 && (index < 1 || index > f->count))
            Fail(file, line, "Feld " + f->name + " hat die Elemente 1 .. " + std::to_string(f->count) +
                                 "; bitte " + f->name + "[n] schreiben");
        if (f->count == 1 && index != 0)
            Fail(file, line, "Feld " + f->name + " hat keine Elemente");
        if (records.empty())
            records.push_back({line, {}, {}});   // a file without [label] is one record
        SourceRecord& record = records.back();
        const std::string value = ValueText(text.substr(eq + 1), file, line);
        const Slot slot{f, index};
        auto found = record.values.find(slot);
        if (append) {
            if (f->type != FieldType::String)
                Fail(file, line, "+= setzt nur einen Text fort; " + f->name + " ist kein Text");
            if (found == record.values.end())
                Fail(file, line, "+= setzt einen Text fort, der mit " + f->name + " = beginnen muss");
            std::string& so_far = std::get<std::string>(found->second.value);
            if (!so_far.empty() && !value.empty() && so_far.back() != '|' && value.front() != '|')
                so_far += ' ';
            so_far += value;
            found->second.lastLine = line;
            continue;
        }
        if (found != record.values.end())
            Fail(file, line, "Feld " + f->name + (index ? "[" + std::to_string(index) + "]" : "") +
                                 " ist in diesem Datensatz schon in Zeile " + std::to_string(found->second.line) + " gesetzt");
        record.values.emplace(slot, Assigned{Convert(*f, value, file, line), line, line});
    }
    for (const SourceRecord& r : records)
        for (const auto& [slot, assigned] : r.values)
            if (const auto* text = std::get_if<std::string>(&assigned.value))
                CheckText(*slot.field, *text, file, assigned.lastLine);
    return records;
}

// ---- writing -----------------------------------------------------------------------------------

void Put(RecordFile& file, const Slot& slot, const Value& value)
{
    if (const auto* i = std::get_if<int64_t>(&value))
        file.SetInt(*slot.field, *i, slot.index);
    else if (const auto* d = std::get_if<Decimal>(&value))
        file.SetDecimal(*slot.field, *d, slot.index);
    else if (const auto* r = std::get_if<double>(&value))
        file.SetReal(*slot.field, *r, slot.index);
    else
        file.SetString(*slot.field, std::get<std::string>(value), slot.index);
}

[[noreturn]] void FailFile(const RecordFile& file, const std::string& what)
{
    throw std::runtime_error(file.Name() + ": " + what + ": " + ErrorText());
}

void WriteTable(const Target& t, const std::vector<SourceRecord>& records, const fs::path& source)
{
    RecordFile& file = *t.file;
    if (FileCreate(file) != ERR_NONE)
        FailFile(file, "kann die Tabelle nicht anlegen");
    if (FileOpen(file, FILE_READ_WRITE | FILE_DENY_ALL) != ERR_NONE)
        FailFile(file, "kann die Tabelle nicht öffnen");
    for (const SourceRecord& r : records) {
        file.Clear();
        for (const auto& [slot, assigned] : r.values)
            Put(file, slot, assigned.value);
        if (const int err = FileAdd(file); err != ERR_NONE) {
            FileClose(file);
            if (err == ERR_DUPLICATE_KEY)
                Fail(source, r.line, "der Schlüssel dieses Datensatzes steht schon in einem früheren");
            FailFile(file, "kann den Datensatz nicht schreiben");
        }
    }
    if (FileClose(file) != ERR_NONE)
        FailFile(file, "kann die Tabelle nicht schließen");
}

int Run(const fs::path& sourceDir, const fs::path& installDir)
{
    if (!fs::is_directory(sourceDir))
        throw std::runtime_error(sourceDir.string() + ": kein Verzeichnis");

    // Every source present is read before anything is written.
    std::set<std::string> known;
    std::vector<std::vector<SourceRecord>> parsed;
    for (const Target& t : Targets()) {
        known.insert(t.source);
        const fs::path path = sourceDir / t.source;
        std::vector<SourceRecord> records;
        if (fs::exists(path))
            records = ReadSource(path, t.file->GetLayout());
        if (t.singleRecord && records.size() > 1)
            Fail(path, records[1].line, "die Tabelle hat genau einen Datensatz; hier beginnt ein zweiter");
        if (fs::exists(path) && records.empty())
            records.push_back({1, {}, {}});   // only comments: one empty record
        parsed.push_back(std::move(records));
    }
    for (const auto& entry : fs::directory_iterator(sourceDir))
        if (entry.path().extension() == ".txt" && !known.count(entry.path().filename().string()))
            Fail(entry.path(), 1, "keine Tabelle der Konfiguration heißt so");

    fs::create_directories(installDir);
    const fs::path work = installDir / (".makecfg." + std::to_string(::getpid()));
    fs::remove_all(work);
    fs::create_directories(work);
    try {
        for (size_t i = 0; i < Targets().size(); ++i) {
            const Target& t = Targets()[i];
            const std::string container = (work / t.container).string();
            t.file->SetName(t.table ? container + "\\!" + t.table : container);
            WriteTable(t, parsed[i], sourceDir / t.source);
        }
        for (const char* name : {"varn4.cfg", "eba.cfg"})
            fs::rename(work / name, installDir / name);
    } catch (...) {
        std::error_code ignored;
        fs::remove_all(work, ignored);
        throw;
    }
    fs::remove_all(work);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "Aufruf: %s <Quellverzeichnis data/config> <Installationsverzeichnis>\n", argv[0]);
        return 2;
    }
    try {
        return Run(argv[1], argv[2]);
    } catch (const SourceError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "makecfg: %s\n", e.what());
        return 2;
    }
}
