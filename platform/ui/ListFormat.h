#pragma once
// The format text of a list: its columns, their widths, alignments, headers, pictures and flags,
// and the fields each row gives per column.
//
// Per column:  width align [(indent)] modifiers [~header~ [align [(indent)]]] [@picture@] [qualifiers]
//   align      L left, R right, C centre, D decimal
//   modifiers  | right border, M resizable, _ underline, F fixed (does not scroll), * colours,
//              Y style, T tree (optionally T(...)), I icon, J transparent icon, P tip, / last on
//              its line, ? locator, #n# source field number
//   qualifiers S(n) scroll width, E(fore,back,selFore,selBack) default colours, Z(n) column style
// Groups: [ columns ](width) modifiers ~header~ qualifiers.
//
// A row gives one text field per column, followed, in this order, by four colour fields when the
// column has *, an icon index with I or J, the tree level with T (negative: collapsed), a style
// number with Y and a tip text with P. Colour fields are numbers, -1 for the default.
#include <string>
#include <vector>

struct ListColumn {
    int width = 0;
    char align = 'L';
    int indent = 0;
    std::string header;
    char headerAlign = 'L';
    int headerIndent = 0;
    std::string picture;           // without its @ signs, e.g. "s20", "N-7.`1B"
    bool rightBorder = false, resizable = false, underline = false, fixed = false;
    bool colors = false, style = false, tree = false, icon = false, transparentIcon = false;
    bool tip = false, lastOnLine = false, locator = false;
    std::string treeFlags;         // the text inside T(...)
    int scroll = 0;                // S(n)
    int columnStyle = 0;           // Z(n)
    int defaultColors[4] = {-1, -1, -1, -1};   // E(...): text, background, selected text, selected background
    int group = 0;                 // the group (from 1) the column belongs to, 0 none
    int firstField = 0;            // first source field of this column (from 1)
    int fieldCount = 1;            // source fields this column takes
};

struct ListGroup {
    int firstColumn = 0, lastColumn = 0;   // from 1
    int width = 0;
    std::string header;
    int scroll = 0;
    bool rightBorder = false, resizable = false;
};

struct ListFormat {
    std::vector<ListColumn> columns;
    std::vector<ListGroup> groups;
    int fieldCount = 0;            // source fields per row
    bool hasTree = false;

    // Parses a format text; on a syntax error `error` (when given) names the place and the
    // columns read so far are kept.
    static ListFormat Parse(const std::string& text, std::string* error = nullptr);

    // The column (from 1) a source field (from 1) belongs to; 0 when there is none.
    int ColumnOfField(int field) const;
    // Sum of the widths of columns 1..n-1: the left edge of column n when nothing is scrolled.
    int ColumnLeft(int column) const;
    int TotalWidth() const;
    // The width a column is shown with in a list `listWidth` pixels wide: its own, except that a
    // list's only column reaches to the list's right edge (a tree's long rows are not cut).
    int ShownWidth(int column, int listWidth) const
    {
        const int own = columns[static_cast<size_t>(column - 1)].width;
        return columns.size() == 1 && listWidth > own ? listWidth : own;
    }
};
