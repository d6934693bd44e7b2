#include "rota/RotaInstance.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace {

// Large enough for any instance, small enough that sums of them never overflow.
constexpr long long kLargest = 1'000'000;
constexpr int kMostWorkers = 1000;
constexpr int kMostShifts = 50;
constexpr std::size_t kLongestName = 5;   // the short name of a shift type

const char* const kFields[] = {"week_length", "nb_workers",     "min_daysoff",      "max_daysoff",
                               "min_work",    "max_work",       "nb_shifts",        "temp_req",
                               "shift_name",  "shift_start",    "shift_length",     "shift_block_min",
                               "shift_block_max", "nb_forbidden", "forbidden_before", "forbidden_after",
                               "forbidden_daysoff"};

struct Value {
    enum Kind { Int, Bool, String, Array, Table } kind = Int;
    long long number = 0;
    bool truth = false;
    std::string text;
    std::vector<Value> items;                 // Array
    std::vector<std::vector<Value>> rows;     // Table
    int line = 0;
};

// Thrown inside the reader only; becomes the one message.
struct Failure {
    std::string message;
};

std::string Quoted(const std::string& field) { return "\u201e" + field + "\u201c"; }

class Parser {
public:
    Parser(const std::string& text, const std::string& name) : text_(text), name_(name) {}

    std::map<std::string, Value> Statements()
    {
        std::map<std::string, Value> fields;
        for (SkipBlank(); pos_ < text_.size(); SkipBlank()) {
            const int line = line_;
            const std::string field = Identifier();
            if (field.empty())
                Fail(line, "erwartet wird ein Feldname");
            bool known = false;
            for (const char* f : kFields)
                known = known || field == f;
            if (!known)
                throw Failure{name_ + ": Feld " + Quoted(field) + " ist unbekannt"};
            if (fields.count(field))
                throw Failure{name_ + ": Feld " + Quoted(field) + " steht zweimal in der Datei"};
            field_ = field;
            Expect('=');
            Value v = ParseValue();
            Expect(';');
            fields[field] = std::move(v);
            field_.clear();
        }
        return fields;
    }

private:
    [[noreturn]] void Fail(int line, const std::string& what) const
    {
        std::string where = name_ + ", Zeile " + std::to_string(line);
        if (!field_.empty())
            where += ", Feld " + Quoted(field_);
        throw Failure{where + ": " + what};
    }

    void SkipBlank()
    {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '%') {
                while (pos_ < text_.size() && text_[pos_] != '\n')
                    ++pos_;
            } else if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++pos_;
            } else {
                break;
            }
        }
    }

    std::string Identifier()
    {
        std::string id;
        while (pos_ < text_.size() &&
               (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
            id += text_[pos_++];
        return id;
    }

    bool Peek(char c)
    {
        SkipBlank();
        return pos_ < text_.size() && text_[pos_] == c;
    }

    void Expect(char c)
    {
        if (!Peek(c))
            Fail(line_, std::string("erwartet wird \u201e") + c + "\u201c");
        ++pos_;
    }

    Value Scalar()
    {
        SkipBlank();
        Value v;
        v.line = line_;
        if (pos_ >= text_.size())
            Fail(line_, "die Datei endet mitten im Wert");
        const char c = text_[pos_];
        if (c == '"') {
            v.kind = Value::String;
            ++pos_;
            while (pos_ < text_.size() && text_[pos_] != '"' && text_[pos_] != '\n')
                v.text += text_[pos_++];
            if (pos_ >= text_.size() || text_[pos_] != '"')
                Fail(v.line, "ein Text endet nicht in derselben Zeile");
            ++pos_;
            return v;
        }
        if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) {
            v.kind = Value::Int;
            const bool negative = c == '-';
            if (negative)
                ++pos_;
            if (pos_ >= text_.size() || !std::isdigit(static_cast<unsigned char>(text_[pos_])))
                Fail(v.line, "unlesbare Zahl");
            while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
                v.number = v.number * 10 + (text_[pos_++] - '0');
                if (v.number > kLargest)
                    Fail(v.line, "Zahl zu groß");
            }
            if (pos_ < text_.size() && (std::isalpha(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '.'))
                Fail(v.line, "unlesbare Zahl");
            if (negative)
                v.number = -v.number;
            return v;
        }
        const std::string word = Identifier();
        if (word == "true" || word == "false") {
            v.kind = Value::Bool;
            v.truth = word == "true";
            return v;
        }
        Fail(v.line, word.empty() ? "unlesbarer Wert" : "unlesbarer Wert " + Quoted(word));
    }

    Value ParseValue()
    {
        SkipBlank();
        if (!Peek('['))
            return Scalar();
        Value v;
        v.line = line_;
        ++pos_;
        if (Peek('|')) {
            // A table: rows separated by '|', closed by "|]".
            v.kind = Value::Table;
            ++pos_;
            if (Peek('|')) {
                ++pos_;
                Expect(']');
                return v;
            }
            v.rows.emplace_back();
            for (;;) {
                v.rows.back().push_back(Scalar());
                if (Peek(',')) {
                    ++pos_;
                    // A comma may also end a row.
                    if (Peek('|')) {
                        ++pos_;
                        if (Peek(']')) {
                            ++pos_;
                            return v;
                        }
                        v.rows.emplace_back();
                    }
                    continue;
                }
                if (!Peek('|'))
                    Fail(line_, "erwartet wird \u201e,\u201c oder \u201e|\u201c in der Tabelle");
                ++pos_;
                if (Peek(']')) {
                    ++pos_;
                    return v;
                }
                v.rows.emplace_back();
            }
        }
        v.kind = Value::Array;
        if (Peek(']')) {
            ++pos_;
            return v;
        }
        for (;;) {
            v.items.push_back(Scalar());
            if (Peek(',')) {
                ++pos_;
                if (Peek(']')) {
                    ++pos_;
                    return v;
                }
                continue;
            }
            Expect(']');
            return v;
        }
    }

    const std::string& text_;
    const std::string& name_;
    std::size_t pos_ = 0;
    int line_ = 1;
    std::string field_;
};

class Checker {
public:
    Checker(std::map<std::string, Value>& fields, const std::string& name) : fields_(fields), name_(name)
    {
        for (const char* f : kFields)
            if (!fields_.count(f))
                throw Failure{name_ + ": Feld " + Quoted(f) + " fehlt"};
    }

    [[noreturn]] void Fail(const std::string& field, const std::string& what) const
    {
        throw Failure{name_ + ", Zeile " + std::to_string(fields_.at(field).line) + ": Feld " + Quoted(field) + " " +
                      what};
    }

    int Int(const std::string& field, long long low, long long high)
    {
        const Value& v = fields_.at(field);
        if (v.kind != Value::Int)
            Fail(field, "muss eine ganze Zahl sein");
        if (v.number < low || v.number > high)
            Fail(field, "ist " + std::to_string(v.number) + ", erlaubt sind " + std::to_string(low) + " bis " +
                            std::to_string(high));
        return int(v.number);
    }

    const std::vector<Value>& Array(const std::string& field, std::size_t size, Value::Kind kind)
    {
        const Value& v = fields_.at(field);
        if (v.kind != Value::Array)
            Fail(field, "muss eine Liste [ ... ] sein");
        if (v.items.size() != size)
            Fail(field, "hat " + std::to_string(v.items.size()) + " Werte, erwartet " + std::to_string(size));
        for (const Value& item : v.items)
            if (item.kind != kind)
                Fail(field, kind == Value::Int      ? "darf nur ganze Zahlen enthalten"
                            : kind == Value::String ? "darf nur Texte in \"...\" enthalten"
                                                    : "darf nur true oder false enthalten");
        return v.items;
    }

    std::vector<int> Ints(const std::string& field, std::size_t size, long long low, long long high)
    {
        std::vector<int> out;
        for (const Value& item : Array(field, size, Value::Int)) {
            if (item.number < low || item.number > high)
                Fail(field, "enthält " + std::to_string(item.number) + ", erlaubt sind " + std::to_string(low) +
                                " bis " + std::to_string(high));
            out.push_back(int(item.number));
        }
        return out;
    }

    const Value& Table(const std::string& field)
    {
        const Value& v = fields_.at(field);
        if (v.kind != Value::Table)
            Fail(field, "muss eine Tabelle [| ... |] sein");
        return v;
    }

private:
    std::map<std::string, Value>& fields_;
    const std::string& name_;
};

RotaInstance Build(std::map<std::string, Value>& fields, const std::string& name)
{
    Checker c(fields, name);
    RotaInstance r;
    r.name = name;
    r.weekLength = c.Int("week_length", 1, kLargest);
    if (r.weekLength != 7)
        c.Fail("week_length", "ist " + std::to_string(r.weekLength) + "; gelesen werden nur Wochen von 7 Tagen");
    r.workers = c.Int("nb_workers", 1, kMostWorkers);
    const int days = 7 * r.workers;
    r.minDaysOff = c.Int("min_daysoff", 1, days);
    r.maxDaysOff = c.Int("max_daysoff", 1, days);
    if (r.maxDaysOff < r.minDaysOff)
        c.Fail("max_daysoff", "ist kleiner als min_daysoff");
    r.minWork = c.Int("min_work", 1, days);
    r.maxWork = c.Int("max_work", 1, days);
    if (r.maxWork < r.minWork)
        c.Fail("max_work", "ist kleiner als min_work");
    r.shifts = c.Int("nb_shifts", 1, kMostShifts);
    const std::size_t s = std::size_t(r.shifts);

    const Value& table = c.Table("temp_req");
    if (table.rows.size() != s)
        c.Fail("temp_req", "hat " + std::to_string(table.rows.size()) + " Zeilen, erwartet " + std::to_string(s) +
                               " (eine je Schicht)");
    for (std::size_t k = 0; k < s; ++k) {
        if (table.rows[k].size() != 7)
            c.Fail("temp_req", "Zeile " + std::to_string(k + 1) + " hat " + std::to_string(table.rows[k].size()) +
                                   " Werte, erwartet 7 (einen je Wochentag)");
        std::vector<int> row;
        for (const Value& v : table.rows[k]) {
            if (v.kind != Value::Int || v.number < 0 || v.number > r.workers)
                c.Fail("temp_req", "Zeile " + std::to_string(k + 1) + " enthält einen Wert, der keine Anzahl von 0 bis " +
                                       std::to_string(r.workers) + " ist");
            row.push_back(int(v.number));
        }
        r.demand.push_back(row);
    }
    for (int d = 0; d < 7; ++d) {
        int sum = 0;
        for (const auto& row : r.demand)
            sum += row[std::size_t(d)];
        if (sum > r.workers)
            c.Fail("temp_req", "verlangt am Wochentag " + std::to_string(d + 1) + " " + std::to_string(sum) +
                                   " Schichten, es gibt aber nur " + std::to_string(r.workers) + " Mitarbeiter");
    }

    std::set<std::string> names;
    for (const Value& v : c.Array("shift_name", s, Value::String)) {
        if (v.text.empty() || v.text == "-" || v.text.size() > kLongestName)
            c.Fail("shift_name", "enthält " + Quoted(v.text) + "; ein Name hat 1 bis 5 Zeichen und ist nicht \u201e-\u201c");
        if (!names.insert(v.text).second)
            c.Fail("shift_name", "enthält " + Quoted(v.text) + " zweimal");
        r.shiftName.push_back(v.text);
    }
    r.shiftStart = c.Ints("shift_start", s, 0, 1439);
    r.shiftLength = c.Ints("shift_length", s, 1, 1440);
    r.blockMin = c.Ints("shift_block_min", s, 1, days);
    r.blockMax = c.Ints("shift_block_max", s, 1, days);
    for (std::size_t k = 0; k < s; ++k)
        if (r.blockMax[k] < r.blockMin[k])
            c.Fail("shift_block_max", "ist für Schicht " + r.shiftName[k] + " kleiner als shift_block_min");

    const int n = c.Int("nb_forbidden", 0, kLargest);
    const std::vector<int> before = c.Ints("forbidden_before", std::size_t(n), 1, r.shifts);
    const std::vector<int> after = c.Ints("forbidden_after", std::size_t(n), 1, r.shifts);
    const std::vector<Value>& dayOff = c.Array("forbidden_daysoff", std::size_t(n), Value::Bool);
    for (std::size_t k = 0; k < std::size_t(n); ++k)
        r.forbidden.push_back({before[k], after[k], dayOff[k].truth});
    return r;
}

} // namespace

std::optional<RotaInstance> ReadRotaInstance(const std::string& text, const std::string& name, std::string& error)
{
    try {
        Parser parser(text, name);
        std::map<std::string, Value> fields = parser.Statements();
        RotaInstance instance = Build(fields, name);
        error.clear();
        return instance;
    } catch (const Failure& f) {
        error = f.message;
        return std::nullopt;
    }
}

std::optional<RotaInstance> ReadRotaFile(const std::string& path, std::string& error)
{
    const std::string name = std::filesystem::path(path).filename().string();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = name + ": Datei nicht lesbar (" + path + ")";
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        error = name + ": Datei nicht lesbar (" + path + ")";
        return std::nullopt;
    }
    return ReadRotaInstance(text.str(), name, error);
}
