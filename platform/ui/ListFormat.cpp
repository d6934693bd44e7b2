#include "platform/ui/ListFormat.h"

#include <cctype>
#include <cstdlib>

namespace {

struct Reader {
    const std::string& s;
    size_t i = 0;
    bool End() const { return i >= s.size(); }
    char Peek() const { return End() ? '\0' : s[i]; }
    bool Digit() const { return !End() && std::isdigit(static_cast<unsigned char>(s[i])); }
    int Number()
    {
        bool neg = false;
        if (Peek() == '-') {
            neg = true;
            ++i;
        }
        int v = 0;
        while (Digit())
            v = v * 10 + (s[i++] - '0');
        return neg ? -v : v;
    }
    // The text up to the matching ')', after an opening '(' was read.
    std::string Paren()
    {
        size_t start = i;
        while (!End() && s[i] != ')')
            ++i;
        std::string r = s.substr(start, i - start);
        if (!End())
            ++i;
        return r;
    }
    // The text up to the next `end`, after the opening one was read.
    std::string Until(char end)
    {
        size_t start = i;
        while (!End() && s[i] != end)
            ++i;
        std::string r = s.substr(start, i - start);
        if (!End())
            ++i;
        return r;
    }
};

// A colour of an E(...) list: decimal or hexadecimal with a trailing H ("0FFFFFFH"); empty -1.
int ParseColor(const std::string& t)
{
    std::string v;
    for (char c : t)
        if (c != ' ')
            v += c;
    if (v.empty())
        return -1;
    if (v.back() == 'H' || v.back() == 'h')
        return static_cast<int>(std::strtoll(v.substr(0, v.size() - 1).c_str(), nullptr, 16));
    return static_cast<int>(std::strtoll(v.c_str(), nullptr, 10));
}

bool IsAlign(char c) { return c == 'L' || c == 'R' || c == 'C' || c == 'D'; }

// Reads the modifiers and qualifiers after a column's or a group's width and alignment, up to the
// start of the next column. Returns false on text it cannot read.
template <typename Target>
bool ReadFlags(Reader& r, Target& target, ListColumn* column, std::string* headerOut, char* headerAlign,
               int* headerIndent)
{
    while (!r.End()) {
        char c = r.Peek();
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '[' || c == ']')
            return true;
        ++r.i;
        switch (c) {
        case '|': target.rightBorder = true; break;
        case 'M': target.resizable = true; break;
        case '_': if (column) column->underline = true; break;
        case 'F': if (column) column->fixed = true; break;
        case '*': if (column) column->colors = true; break;
        case 'Y': if (column) column->style = true; break;
        case 'I': if (column) column->icon = true; break;
        case 'J': if (column) { column->icon = true; column->transparentIcon = true; } break;
        case 'P': if (column) column->tip = true; break;
        case '/': if (column) column->lastOnLine = true; break;
        case '?': if (column) column->locator = true; break;
        case 'T':
            if (column)
                column->tree = true;
            if (r.Peek() == '(') {
                ++r.i;
                std::string f = r.Paren();
                if (column)
                    column->treeFlags = f;
            }
            break;
        case '#': r.Until('#'); break;
        case 'S':
        case 'Z':
            if (r.Peek() != '(')
                return false;
            ++r.i;
            {
                int v = std::atoi(r.Paren().c_str());
                if (c == 'S')
                    target.scroll = v;
                else if (column)
                    column->columnStyle = v;
            }
            break;
        case 'E':
            if (r.Peek() != '(')
                return false;
            ++r.i;
            {
                std::string inner = r.Paren();
                int k = 0;
                size_t start = 0;
                for (size_t j = 0; j <= inner.size() && k < 4; ++j)
                    if (j == inner.size() || inner[j] == ',') {
                        if (column)
                            column->defaultColors[k] = ParseColor(inner.substr(start, j - start));
                        ++k;
                        start = j + 1;
                    }
            }
            break;
        case '~':
            *headerOut = r.Until('~');
            if (IsAlign(r.Peek())) {
                *headerAlign = r.Peek();
                ++r.i;
                if (r.Peek() == '(') {
                    ++r.i;
                    *headerIndent = std::atoi(r.Paren().c_str());
                }
            }
            break;
        case '@':
            if (!column)
                return false;
            column->picture = r.Until('@');
            break;
        case ' ':
            break;
        default:
            return false;
        }
    }
    return true;
}

} // namespace

ListFormat ListFormat::Parse(const std::string& text, std::string* error)
{
    ListFormat f;
    Reader r{text};
    int openGroup = 0;              // index + 1 of the group being read
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why + " an Stelle " + std::to_string(r.i + 1);
        return f;
    };
    while (!r.End()) {
        char c = r.Peek();
        if (c == '[') {
            ++r.i;
            if (openGroup)
                return fail("verschachtelte Gruppe");
            ListGroup g;
            g.firstColumn = static_cast<int>(f.columns.size()) + 1;
            f.groups.push_back(g);
            openGroup = static_cast<int>(f.groups.size());
            continue;
        }
        if (c == ']') {
            ++r.i;
            if (!openGroup)
                return fail("Gruppenende ohne Anfang");
            ListGroup& g = f.groups[openGroup - 1];
            g.lastColumn = static_cast<int>(f.columns.size());
            if (r.Peek() == '(') {
                ++r.i;
                g.width = std::atoi(r.Paren().c_str());
            }
            char ha = 'L';
            int hi = 0;
            if (!ReadFlags(r, g, nullptr, &g.header, &ha, &hi))
                return fail("unbekanntes Zeichen");
            openGroup = 0;
            continue;
        }
        if (!r.Digit())
            return fail("Spaltenbreite erwartet");
        ListColumn col;
        col.width = r.Number();
        if (IsAlign(r.Peek())) {
            col.align = r.Peek();
            ++r.i;
        }
        if (r.Peek() == '(') {
            ++r.i;
            col.indent = std::atoi(r.Paren().c_str());
        }
        if (!ReadFlags(r, col, &col, &col.header, &col.headerAlign, &col.headerIndent))
            return fail("unbekanntes Zeichen");
        col.group = openGroup;
        f.columns.push_back(col);
    }
    if (openGroup)
        f.groups[openGroup - 1].lastColumn = static_cast<int>(f.columns.size());
    int field = 1;
    for (ListColumn& col : f.columns) {
        col.firstField = field;
        col.fieldCount = 1 + (col.colors ? 4 : 0) + (col.icon ? 1 : 0) + (col.tree ? 1 : 0) + (col.style ? 1 : 0) +
                         (col.tip ? 1 : 0);
        field += col.fieldCount;
        if (col.tree)
            f.hasTree = true;
    }
    f.fieldCount = field - 1;
    return f;
}

int ListFormat::ColumnOfField(int field) const
{
    for (size_t i = 0; i < columns.size(); ++i)
        if (field >= columns[i].firstField && field < columns[i].firstField + columns[i].fieldCount)
            return static_cast<int>(i) + 1;
    return 0;
}

int ListFormat::ColumnLeft(int column) const
{
    int x = 0;
    for (int i = 1; i < column && i <= static_cast<int>(columns.size()); ++i)
        x += columns[i - 1].width;
    return x;
}

int ListFormat::TotalWidth() const { return ColumnLeft(static_cast<int>(columns.size()) + 1); }
