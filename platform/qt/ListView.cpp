#include "platform/qt/ListView.h"

#include "platform/qt/Pictures.h"
#include "platform/qt/Style.h"
#include "platform/ui/Input.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QGlyphRun>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QPointer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using QtStyle::Q;
using QtStyle::ToColor;
using QtStyle::HasColor;

namespace {

constexpr size_t CACHE_LIMIT = 4000;    // rows kept for drawing while a thread holds the baton

// The expand box of a tree row: nine pixels square with a middle pixel, in the middle of the
// row's slot for it. A click anywhere in the slot opens or closes the row, so the whole box lies
// where a click takes.
QRect ExpandBox(const QRect& slot)
{
    constexpr int kSide = 9;
    return QRect(slot.left() + (slot.width() - kSide) / 2, slot.top() + (slot.height() - kSide) / 2, kSide, kSide);
}

// The source fields of a column, in the order the format gives them.
struct Fields {
    int text = 0, colors = 0, icon = 0, tree = 0, style = 0, tip = 0;
};

Fields FieldsOf(const ListColumn& c)
{
    Fields f;
    int n = c.firstField;
    f.text = n++;
    if (c.colors) {
        f.colors = n;
        n += 4;
    }
    if (c.icon || c.transparentIcon)
        f.icon = n++;
    if (c.tree)
        f.tree = n++;
    if (c.style)
        f.style = n++;
    if (c.tip)
        f.tip = n++;
    return f;
}

long long Number(const std::string& s, long long fallback)
{
    if (s.empty())
        return fallback;
    char* end = nullptr;
    long long v = std::strtoll(s.c_str(), &end, 0);
    if (end == s.c_str())
        return fallback;
    // Colour fields may be written as "0FFFFFFH".
    if (*end == 'H' || *end == 'h')
        return std::strtoll(s.c_str(), nullptr, 16);
    return v;
}

bool LooksNumeric(const std::string& s)
{
    if (s.empty())
        return false;
    size_t i = s[0] == '-' ? 1 : 0;
    bool digit = false;
    for (; i < s.size(); ++i) {
        if (s[i] >= '0' && s[i] <= '9')
            digit = true;
        else if (s[i] != '.')
            return false;
    }
    return digit;
}

Qt::Alignment AlignOf(char a)
{
    switch (a) {
    case 'R':
    case 'D': return Qt::AlignRight | Qt::AlignVCenter;
    case 'C': return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

int Level(const std::string& s) { return static_cast<int>(Number(s, 0)); }

} // namespace

ListView::ListView(QtHost& host, int window, int control, QWidget* parent)
    : QAbstractScrollArea(parent), host_(host), window_(window), control_(control)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFrameShape(QFrame::StyledPanel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scale_ = QtStyle::UnitScale();
}

int ListView::ToViewport(double units) const { return static_cast<int>(std::lround(units * scale_)); }

int ListView::ToModel(int pixels) const { return static_cast<int>(std::floor(pixels / scale_ + 1e-9)); }

int ListView::VisibleRows() const
{
    const double body = viewport()->height() / scale_ - headerHeight_;
    return lineHeight_ > 0 && body > 0 ? static_cast<int>(std::floor(body / lineHeight_ + 1e-9)) : 0;
}

void ListView::Sync(WindowModel& window, ControlModel& c, bool modelChanged)
{
    syncing_ = true;
    int64_t rows = c.source ? c.source->RowCount() : 0;
    bool sourceChanged = c.source != source_ || rows != rows_;
    if (modelChanged || sourceChanged)
        cache_.clear();
    source_ = c.source;
    rows_ = rows;
    format_ = c.format;
    selected_ = c.Get(Prop::Selected).Int();
    column_ = static_cast<int>(c.Get(Prop::Column).Int());
    top_ = std::max<int64_t>(0, c.Get(Prop::VScrollPos).Int());
    hscroll_ = static_cast<int>(std::max<int64_t>(0, c.Get(Prop::HScrollPos).Int()));
    hasHeaders_ = false;
    hasGroupHeaders_ = false;
    for (const auto& col : format_.columns)
        if (!col.header.empty())
            hasHeaders_ = true;
    for (const auto& g : format_.groups)
        if (!g.header.empty())
            hasGroupHeaders_ = true;
    noBar_ = c.Get(Prop::NoBar).Bool();
    fore_ = c.Get(Prop::FontColor).Int();
    back_ = c.Has(Prop::Color) ? c.Get(Prop::Color).Int() : -1;
    selFore_ = c.Has(Prop::SelectedColor) ? c.Get(Prop::SelectedColor).Int() : -1;
    selBack_ = c.Has(Prop::SelectedFillColor) ? c.Get(Prop::SelectedFillColor).Int() : -1;
    if (!c.Has(Prop::FontColor))
        fore_ = -1;
    std::string fontName = c.Has(Prop::FontName) ? c.Get(Prop::FontName).Str() : window.Get(Prop::FontName).Str();
    int fontSize = static_cast<int>(c.Has(Prop::FontSize) ? c.Get(Prop::FontSize).Int() : window.Get(Prop::FontSize).Int());
    font_ = QtStyle::MapFont(fontName, fontSize, static_cast<int>(c.Get(Prop::FontStyle).Int()));
    {
        // Rows and headers at least as tall as their font needs (the dots of capital umlauts
        // included); the model hears of it with the geometry.
        const QFontMetrics fm(font_);
        const auto units = [this](int pixels) { return static_cast<int>(std::ceil(pixels / scale_ - 1e-9)); };
        lineHeight_ = std::max({1, c.geometry.lineHeight, units(fm.height() + 2)});
        const int headerLines = hasGroupHeaders_ ? 2 : 1;
        headerHeight_ = (hasHeaders_ || hasGroupHeaders_)
                            ? std::max({1, c.geometry.headerHeight, units(headerLines * (fm.height() + 4))})
                            : 0;
    }
    styles_.clear();
    iconList_.clear();
    columnColors_.clear();
    for (const auto& [key, value] : c.indexed) {
        auto prop = static_cast<Prop>(key.first);
        int index = key.second;
        switch (prop) {
        case Prop::StyleFontName: styles_[index].fontName = value.Str(); break;
        case Prop::StyleFontSize: styles_[index].fontSize = static_cast<int>(value.Int()); break;
        case Prop::StyleFontStyle: styles_[index].fontWeight = static_cast<int>(value.Int()); break;
        case Prop::StyleFontColor: styles_[index].fore = value.Int(); break;
        case Prop::StyleBackColor: styles_[index].back = value.Int(); break;
        case Prop::IconList: iconList_[index] = value.Str(); break;
        case Prop::ColumnColor: columnColors_[index] = value.Int(); break;
        default: break;
        }
    }
    ops_ = c.paint;
    QString tip = c.Has(Prop::Tip) ? Q(c.Get(Prop::Tip).Str()) : QString();
    tip.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (toolTip() != tip)
        setToolTip(tip);
    UpdateScrollBars();
    ReportGeometry(window, c);
    // The drawing comes later, when a thread may hold the baton again (a search gives way only
    // between its steps, for a moment): the rows shown are read now, under the host's baton, so
    // that the list never draws empty while its owner works or waits.
    FetchShown();
    syncing_ = false;
    viewport()->update();
}

void ListView::ReportGeometry(WindowModel& window, ControlModel& c)
{
    ListGeometry g;
    g.width = ModelWidth();
    g.height = ToModel(viewport()->height());
    g.headerHeight = headerHeight_;
    g.lineHeight = lineHeight_;
    g.visibleRows = VisibleRows();
    // As PaintRows draws a picture: 2 pixels in, at most 16 square, 2 pixels to the text.
    g.pictureWidth = static_cast<int>(std::ceil((4 + std::min(16, LineHeight() - 2)) / scale_ - 1e-9));
    if (g.width != c.geometry.width || g.height != c.geometry.height || g.headerHeight != c.geometry.headerHeight ||
        g.lineHeight != c.geometry.lineHeight || g.visibleRows != c.geometry.visibleRows ||
        g.pictureWidth != c.geometry.pictureWidth)
        ListSetGeometry(window.id, c.id, g);
}

void ListView::UpdateScrollBars()
{
    bool was = syncing_;
    syncing_ = true;
    int vis = std::max(1, VisibleRows());
    int64_t maxTop = std::max<int64_t>(0, rows_ - vis);
    verticalScrollBar()->setRange(0, static_cast<int>(std::min<int64_t>(std::max(maxTop, top_), INT32_MAX)));
    verticalScrollBar()->setPageStep(vis);
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setValue(static_cast<int>(std::min<int64_t>(top_, INT32_MAX)));
    int scrollable = 0, total = 0;
    for (const auto& col : format_.columns) {
        total += col.width;
        if (!col.fixed)
            ++scrollable;
    }
    bool needH = total > ModelWidth() && scrollable > 1;
    horizontalScrollBar()->setRange(0, needH ? scrollable - 1 : std::min(hscroll_, std::max(0, scrollable - 1)));
    horizontalScrollBar()->setPageStep(1);
    horizontalScrollBar()->setValue(hscroll_);
    syncing_ = was;
}

std::vector<int> ListView::VisibleColumns() const
{
    std::vector<int> cols;
    int skipped = 0;
    for (size_t i = 0; i < format_.columns.size(); ++i) {
        if (format_.columns[i].fixed)
            cols.push_back(static_cast<int>(i) + 1);
        else if (skipped < hscroll_)
            ++skipped;
        else
            cols.push_back(static_cast<int>(i) + 1);
    }
    return cols;
}

int ListView::ColumnLeft(int column) const
{
    const int left = ModelColumnLeft(column);
    return left < 0 ? -1 : ToViewport(left);
}

int ListView::ModelColumnLeft(int column) const
{
    int left = 0;
    for (int col : VisibleColumns()) {
        if (col == column)
            return left;
        left += format_.columns[static_cast<size_t>(col - 1)].width;
    }
    return -1;
}

void ListView::FetchShown()
{
    if (!Runtime::HostHoldsBaton())
        return;
    for (int i = 0, shown = VisibleRows() + 1; i < shown && top_ + 1 + i <= rows_; ++i)
        FetchRow(top_ + 1 + i, true);
}

const ListView::Row* ListView::FetchRow(int64_t row, bool mayAsk)
{
    auto it = cache_.find(row);
    if (it != cache_.end())
        return &it->second;
    if (!mayAsk || !source_)
        return nullptr;
    if (cache_.size() > CACHE_LIMIT)
        cache_.clear();
    int fields = std::max(1, format_.fieldCount);
    Row r(static_cast<size_t>(fields));
    for (int f = 1; f <= fields; ++f)
        r[static_cast<size_t>(f - 1)] = source_->Field(row, f);
    return &cache_.emplace(row, std::move(r)).first->second;
}

QFont ListView::StyleFont(int style) const
{
    auto it = styles_.find(style);
    if (it == styles_.end() || (it->second.fontName.empty() && it->second.fontSize == 0 && it->second.fontWeight == 0))
        return font_;
    const Style& s = it->second;
    QFont f = QtStyle::MapFont(s.fontName.empty() ? "Tahoma" : s.fontName,
                               s.fontSize > 0 ? s.fontSize : static_cast<int>(font_.pointSizeF()), s.fontWeight);
    if (s.fontSize <= 0)
        f.setPointSizeF(font_.pointSizeF());
    return f;
}

void ListView::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), HasColor(back_) ? ToColor(back_) : palette().color(QPalette::Base));
    // The source is the program's: it is asked only under the baton, else the last rows seen show.
    TryBaton baton;
    PaintRows(p, baton.Held());
    PaintHeader(p);
    PaintOps(p);
}

void ListView::PaintHeader(QPainter& p)
{
    if (headerHeight_ <= 0)
        return;
    const int bottom = ToViewport(headerHeight_);
    QRect all(0, 0, viewport()->width(), bottom);
    p.fillRect(all, palette().color(QPalette::Button));
    p.setFont(font_);
    p.setPen(palette().color(QPalette::ButtonText));
    const QFontMetrics fm(font_);
    // A title wider than its column shows its beginning rather than being cut on both sides.
    auto title = [&](const QRect& r, Qt::Alignment align, const QString& text) {
        if (fm.horizontalAdvance(text) > r.width())
            align = Qt::AlignLeft | Qt::AlignVCenter;
        p.save();
        p.setClipRect(r, Qt::IntersectClip);
        p.drawText(r, align | Qt::TextSingleLine, text);
        p.restore();
    };
    const int groupRow = hasGroupHeaders_ ? ToViewport(headerHeight_ / 2.0) : 0;
    int x = 0;
    const int listWidth = ModelWidth();
    for (int col : VisibleColumns()) {
        const ListColumn& c = format_.columns[static_cast<size_t>(col - 1)];
        const int width = format_.ShownWidth(col, listWidth);
        QRect r(QPoint(ToViewport(x), groupRow), QPoint(ToViewport(x + width) - 1, bottom - 1));
        p.setPen(palette().color(QPalette::ButtonText));
        title(r.adjusted(ToViewport(c.headerIndent) + 2, 0, -2, 0), AlignOf(c.headerAlign), Q(c.header));
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
        x += width;
    }
    if (hasGroupHeaders_) {
        for (const auto& g : format_.groups) {
            int left = -1, right = -1;
            for (int col = g.firstColumn; col <= g.lastColumn; ++col) {
                int l = ModelColumnLeft(col);
                if (l < 0)
                    continue;
                if (left < 0)
                    left = l;
                right = l + format_.columns[static_cast<size_t>(col - 1)].width;
            }
            if (left < 0)
                continue;
            QRect r(QPoint(ToViewport(left), 0), QPoint(ToViewport(right) - 1, groupRow - 1));
            p.setPen(palette().color(QPalette::ButtonText));
            title(r.adjusted(2, 0, -2, 0), Qt::AlignCenter, Q(g.header));
            p.setPen(palette().color(QPalette::Mid));
            p.drawLine(r.right(), r.top(), r.right(), r.bottom());
            p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        }
    }
    p.setPen(palette().color(QPalette::Mid));
    p.drawLine(0, bottom - 1, all.right(), bottom - 1);
}

ListView::Resolved ListView::Resolve(const ListColumn& c, int col, const Row& fields) const
{
    auto field = [&](int f) -> const std::string& {
        static const std::string none;
        return f >= 1 && f <= static_cast<int>(fields.size()) ? fields[static_cast<size_t>(f - 1)] : none;
    };
    Fields f = FieldsOf(c);
    Resolved r;
    r.style = c.columnStyle;
    if (f.style)
        r.style = static_cast<int>(Number(field(f.style), r.style));
    const Style* st = nullptr;
    if (auto it = styles_.find(r.style); it != styles_.end())
        st = &it->second;
    if (f.colors) {
        r.fore = Number(field(f.colors), -1);
        r.back = Number(field(f.colors + 1), -1);
        r.selFore = Number(field(f.colors + 2), -1);
        r.selBack = Number(field(f.colors + 3), -1);
    }
    if (!HasColor(r.fore) && st)
        r.fore = st->fore;
    if (!HasColor(r.back) && st)
        r.back = st->back;
    if (!HasColor(r.back))
        if (auto it = columnColors_.find(col); it != columnColors_.end())
            r.back = it->second;
    if (!HasColor(r.fore))
        r.fore = c.defaultColors[0];
    if (!HasColor(r.back))
        r.back = c.defaultColors[1];
    if (!HasColor(r.selFore))
        r.selFore = c.defaultColors[2];
    if (!HasColor(r.selBack))
        r.selBack = c.defaultColors[3];
    if (f.icon) {
        // A number picks from the list's icons; anything else names the picture itself.
        const std::string& v = field(f.icon);
        long long n = Number(v, -1);
        if (n > 0) {
            if (auto it = iconList_.find(static_cast<int>(n)); it != iconList_.end())
                r.icon = it->second;
        } else if (n < 0 && !v.empty()) {
            r.icon = v;
        }
    }
    return r;
}

std::string ListView::CellText(const ListColumn& c, const Row& fields) const
{
    int f = FieldsOf(c).text;
    std::string text = f >= 1 && f <= static_cast<int>(fields.size()) ? fields[static_cast<size_t>(f - 1)] : std::string();
    if (!c.picture.empty() && c.picture[0] != 's' && c.picture[0] != 'S' && LooksNumeric(text))
        text = PictureFormat(PropValue(text), "@" + c.picture);
    return text;
}

ListView::CellLook ListView::Look(int64_t row, int column)
{
    CellLook look;
    if (row < 1 || row > rows_ || column < 1 || column > static_cast<int>(format_.columns.size()))
        return look;
    TryBaton baton;
    const Row* fields = FetchRow(row, baton.Held());
    if (!fields)
        return look;
    const ListColumn& c = format_.columns[static_cast<size_t>(column - 1)];
    Resolved r = Resolve(c, column, *fields);
    bool selected = row == selected_ && !noBar_;
    QColor baseFore = HasColor(fore_) ? ToColor(fore_) : palette().color(QPalette::Text);
    look.known = true;
    look.text = CellText(c, *fields);
    look.icon = r.icon;
    if (selected) {
        look.fore = HasColor(r.selFore) ? ToColor(r.selFore) : HasColor(selFore_) ? ToColor(selFore_) : palette().color(QPalette::HighlightedText);
        look.back = HasColor(r.selBack) ? ToColor(r.selBack) : HasColor(selBack_) ? ToColor(selBack_) : palette().color(QPalette::Highlight);
    } else {
        look.fore = HasColor(r.fore) ? ToColor(r.fore) : baseFore;
        look.back = HasColor(r.back) ? ToColor(r.back) : QColor();
    }
    return look;
}

void ListView::PaintRows(QPainter& p, bool mayAsk)
{
    std::vector<int> cols = VisibleColumns();
    int vis = VisibleRows() + 1;
    QColor baseFore = HasColor(fore_) ? ToColor(fore_) : palette().color(QPalette::Text);
    QColor selFore = HasColor(selFore_) ? ToColor(selFore_) : palette().color(QPalette::HighlightedText);
    QColor selBack = HasColor(selBack_) ? ToColor(selBack_) : palette().color(QPalette::Highlight);
    bool noColumns = format_.columns.empty();
    const int headerBottom = ToViewport(headerHeight_);
    const int listWidth = ModelWidth();
    const int indentPx = ToViewport(TREE_INDENT);
    p.setClipRect(QRect(0, headerBottom, viewport()->width(), viewport()->height() - headerBottom));
    int x = 0;
    for (int i = 0; i < vis; ++i) {
        int64_t row = top_ + 1 + i;
        if (row > rows_)
            break;
        const int y = RowTop(i);
        const int line = RowTop(i + 1) - y;
        const Row* fields = FetchRow(row, mayAsk);
        if (!fields)
            continue;
        auto field = [&](int f) -> const std::string& {
            static const std::string none;
            return f >= 1 && f <= static_cast<int>(fields->size()) ? (*fields)[static_cast<size_t>(f - 1)] : none;
        };
        bool selected = row == selected_ && !noBar_;
        if (noColumns) {
            QRect r(0, y, viewport()->width(), line);
            if (selected)
                p.fillRect(r, selBack);
            p.setFont(font_);
            p.setPen(selected ? selFore : baseFore);
            p.drawText(r.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, Q(field(1)));
            continue;
        }
        int left = 0;
        for (int col : cols) {
            const ListColumn& c = format_.columns[static_cast<size_t>(col - 1)];
            Fields f = FieldsOf(c);
            const int width = format_.ShownWidth(col, listWidth);
            QRect cell(QPoint(ToViewport(left), y), QPoint(ToViewport(left + width) - 1, y + line - 1));
            left += width;
            x = cell.right() + 1;
            Resolved look = Resolve(c, col, *fields);
            QColor cf = HasColor(look.fore) ? ToColor(look.fore) : baseFore;
            if (selected) {
                p.fillRect(cell, HasColor(look.selBack) ? ToColor(look.selBack) : selBack);
                cf = HasColor(look.selFore) ? ToColor(look.selFore) : selFore;
            } else if (HasColor(look.back)) {
                p.fillRect(cell, ToColor(look.back));
            }
            // The picture stands at the start of its cell; the column's indent moves the text (a
            // column that shows only its picture pushes its text out of sight that way).
            int iconLeft = cell.left() + 2;
            if (f.tree) {
                int level = Level(field(f.tree));
                int depth = std::abs(level);
                if (depth > 0) {
                    int slot = cell.left() + ToViewport((depth - 1) * TREE_INDENT);
                    int nextDepth = 0;
                    if (row < rows_)
                        if (const Row* next = FetchRow(row + 1, mayAsk))
                            nextDepth = std::abs(Level(f.tree <= static_cast<int>(next->size()) ? (*next)[static_cast<size_t>(f.tree - 1)] : std::string()));
                    bool collapsed = level < 0;
                    if (collapsed || nextDepth > depth) {
                        // The sign goes through the box's middle pixel, two pixels short of its edges.
                        const QRect box = ExpandBox(QRect(slot, y, indentPx, line));
                        p.fillRect(box, palette().color(QPalette::Base));
                        p.setPen(palette().color(QPalette::Mid));
                        p.setBrush(Qt::NoBrush);
                        p.drawRect(box.adjusted(0, 0, -1, -1));
                        p.setPen(palette().color(QPalette::Text));
                        const int cx = box.left() + box.width() / 2, cy = box.top() + box.height() / 2;
                        p.drawLine(box.left() + 2, cy, box.right() - 2, cy);
                        if (collapsed)
                            p.drawLine(cx, box.top() + 2, cx, box.bottom() - 2);
                    }
                    iconLeft = cell.left() + ToViewport(depth * TREE_INDENT) + 2;
                }
            }
            int textLeft = iconLeft + ToViewport(c.indent);
            if (!look.icon.empty()) {
                int size = std::max(1, std::min(16, line - 2));
                QPixmap pm = Pictures::Picture(look.icon, size, size);
                if (!pm.isNull()) {
                    p.save();
                    p.setClipRect(cell, Qt::IntersectClip);
                    p.drawPixmap(iconLeft, y + (line - pm.height()) / 2, pm);
                    p.restore();
                }
                textLeft += size + 2;
            }
            std::string text = CellText(c, *fields);
            if (!text.empty()) {
                QFont f = StyleFont(look.style);
                if (p.font() != f)
                    p.setFont(f);
                p.setPen(cf);
                QRect tr(textLeft, y, cell.right() - 2 - textLeft, line);
                DrawCellText(p, tr, AlignOf(c.align), Q(text));
            }
            p.setPen(palette().color(QPalette::Mid));
            if (c.rightBorder)
                p.drawLine(cell.right(), cell.top(), cell.right(), cell.bottom());
            if (c.underline)
                p.drawLine(cell.left(), cell.bottom(), cell.right(), cell.bottom());
        }
        if (selected && hasFocus()) {
            p.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRect(0, y, std::min(x, viewport()->width()) - 1, line - 1));
        }
    }
    p.setClipping(false);
}

void ListView::DrawCellText(QPainter& p, const QRect& r, Qt::Alignment align, const QString& text)
{
    // Cell texts are short and mostly Latin: their glyphs come straight from the font's table and
    // are drawn as one run, without a shaping pass per cell (which is what a repaint of a wide
    // grid would spend its time on). Anything else takes Qt's full text path.
    const QFont& font = p.font();
    if (!rawValid_ || !(font == rawFont_)) {
        rawFont_ = font;
        raw_ = QRawFont::fromFont(font);
        rawValid_ = true;
        QFontMetrics fm(font);
        rawAscent_ = fm.ascent();
        rawHeight_ = fm.height();
    }
    bool simple = raw_.isValid();
    for (QChar ch : text)
        if (ch.unicode() < 0x20 || ch.unicode() >= 0x2000) {
            simple = false;
            break;
        }
    QList<quint32> glyphs;
    if (simple) {
        glyphs = raw_.glyphIndexesForString(text);
        for (quint32 g : glyphs)
            if (g == 0) {
                simple = false;     // a character the font lacks: Qt's fallback fonts have it
                break;
            }
    }
    int baseline = r.top() + (r.height() - rawHeight_) / 2 + rawAscent_;
    qreal width = 0;
    QList<QPointF> positions;
    if (simple) {
        QList<QPointF> advances = raw_.advancesForGlyphIndexes(glyphs);
        positions.reserve(advances.size());
        for (const QPointF& a : advances) {
            positions.append(QPointF(width, 0));
            width += a.x();
        }
    } else {
        width = p.fontMetrics().horizontalAdvance(text);
    }
    qreal x = r.left();
    if (align & Qt::AlignRight)
        x = r.right() + 1 - width;
    else if (align & Qt::AlignHCenter)
        x = r.left() + (r.width() - width) / 2;
    bool clip = width > r.width();
    if (clip) {
        p.save();
        p.setClipRect(r, Qt::IntersectClip);
        x = r.left();
    }
    if (simple) {
        QGlyphRun run;
        run.setRawFont(raw_);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        p.drawGlyphRun(QPointF(x, baseline), run);
    } else {
        p.drawText(QPointF(x, baseline), text);
    }
    if (clip)
        p.restore();
}

void ListView::PaintOps(QPainter& p)
{
    if (ops_.empty())
        return;
    QPen pen(Qt::black);
    QBrush brush(Qt::white);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const PaintOp& op : ops_) {
        switch (op.kind) {
        case PaintOp::Kind::Pen:
            pen = QPen(ToColor(std::max(0, op.color)), std::max(1, op.width));
            pen.setStyle(op.style == 1 ? Qt::DashLine : op.style == 2 ? Qt::DotLine : Qt::SolidLine);
            break;
        case PaintOp::Kind::Brush:
            brush = op.color < 0 ? QBrush(Qt::NoBrush) : QBrush(ToColor(op.color));
            break;
        case PaintOp::Kind::Line:
            p.setPen(pen);
            p.drawLine(ToViewport(op.x1), ToViewport(op.y1), ToViewport(op.x2), ToViewport(op.y2));
            break;
        case PaintOp::Kind::Rectangle:
            // Like the platform's rectangle: the right and bottom edges are outside.
            p.setPen(pen);
            p.setBrush(brush);
            p.drawRect(QRect(QPoint(ToViewport(op.x1), ToViewport(op.y1)), QPoint(ToViewport(op.x2) - 1, ToViewport(op.y2) - 1)));
            p.setBrush(Qt::NoBrush);
            break;
        case PaintOp::Kind::Text: {
            Qt::Alignment a = Qt::AlignLeft | Qt::AlignTop;
            if (op.style & 1)
                a = (a & ~Qt::AlignHorizontal_Mask) | Qt::AlignHCenter;
            if (op.style & 2)
                a = (a & ~Qt::AlignHorizontal_Mask) | Qt::AlignRight;
            if (op.style & 4)
                a = (a & ~Qt::AlignVertical_Mask) | Qt::AlignVCenter;
            if (op.style & 8)
                a = (a & ~Qt::AlignVertical_Mask) | Qt::AlignBottom;
            int flags = static_cast<int>(a) | ((op.style & 0x20) ? Qt::TextSingleLine : Qt::TextWordWrap);
            p.setFont(op.fontName.empty() && op.fontSize == 0 ? font_ : QtStyle::MapFont(op.fontName, op.fontSize));
            p.setPen(ToColor(std::max(0, op.color)));
            p.drawText(QRect(QPoint(ToViewport(op.x1), ToViewport(op.y1)), QPoint(ToViewport(op.x2) - 1, ToViewport(op.y2) - 1)),
                       flags, Q(op.text));
            break;
        }
        case PaintOp::Kind::Icon: {
            if (op.x2 > op.x1) {
                // A picture of a given size (a marker's icon): drawn to fill its square, so that
                // it scales with the list like the cells it marks.
                const QRect r(QPoint(ToViewport(op.x1), ToViewport(op.y1)), QPoint(ToViewport(op.x2) - 1, ToViewport(op.y2) - 1));
                QPixmap pm = Pictures::Picture(op.text, r.width(), r.height());
                if (!pm.isNull())
                    p.drawPixmap(r.topLeft(), pm);
                break;
            }
            // A small picture in the middle of the 16 units the program leaves for it.
            QPixmap pm = Pictures::Picture(op.text, 16, 16);
            const int room = ToViewport(16);
            if (!pm.isNull())
                p.drawPixmap(ToViewport(op.x1) + (room - pm.width()) / 2, ToViewport(op.y1) + (room - pm.height()) / 2, pm);
            break;
        }
        }
    }
}

void ListView::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    UpdateScrollBars();
    if (host_.Syncing())
        return;
    int w = window_, c = control_;
    QSize size(ModelWidth(), ToModel(viewport()->height()));
    int header = headerHeight_, line = lineHeight_;
    host_.Input([w, c, size, header, line]() -> std::string {
        ListGeometry g;
        g.width = size.width();
        g.height = size.height();
        g.headerHeight = header;
        g.lineHeight = line;
        g.visibleRows = line > 0 ? std::max(0, (size.height() - header) / line) : 0;
        ListSetGeometry(w, c, g);
        WindowMessage m;
        m.kind = WindowMessage::Kind::Size;
        m.x = size.width();
        m.y = size.height();
        return InputMouse(w, c, m);
    });
}

void ListView::SendMouse(QMouseEvent* e, int kind)
{
    if (host_.Syncing())
        return;
    WindowMessage m;
    m.kind = static_cast<WindowMessage::Kind>(kind);
    QPoint pos = e->position().toPoint();
    m.x = ToModel(pos.x());
    m.y = ToModel(pos.y());
    Qt::MouseButton b = kind == static_cast<int>(WindowMessage::Kind::MouseMove) ? Qt::NoButton : e->button();
    m.button = b == Qt::RightButton ? Key::MOUSE_RIGHT : b == Qt::MiddleButton ? Key::MOUSE_CENTER
               : b == Qt::LeftButton ? Key::MOUSE_LEFT : 0;
    m.buttonHeld = (e->buttons() & Qt::LeftButton) != 0;
    int w = window_, c = control_;
    // The box in front of a tree row opens or closes it, besides the mouse message itself: a
    // click in the box's slot (the row's height, one indent wide) takes, the drawn box lies in
    // its middle (ExpandBox).
    int64_t expandRow = 0;
    bool expand = false;
    // A double click on the box is two clicks on it: the second one toggles the row again.
    if ((m.kind == WindowMessage::Kind::MouseDown || m.kind == WindowMessage::Kind::DoubleClick) &&
        e->button() == Qt::LeftButton && format_.hasTree &&
        m.y >= headerHeight_ && lineHeight_ > 0) {
        int64_t row = top_ + (m.y - headerHeight_) / lineHeight_ + 1;
        for (size_t i = 0; i < format_.columns.size() && row <= rows_; ++i) {
            if (!format_.columns[i].tree)
                continue;
            int left = ModelColumnLeft(static_cast<int>(i) + 1);
            Fields f = FieldsOf(format_.columns[i]);
            auto it = cache_.find(row);
            if (left >= 0 && it != cache_.end() && f.tree <= static_cast<int>(it->second.size())) {
                int level = Level(it->second[static_cast<size_t>(f.tree - 1)]);
                int depth = std::abs(level);
                if (depth > 0 && m.x >= left + (depth - 1) * TREE_INDENT && m.x < left + depth * TREE_INDENT) {
                    expandRow = row;
                    expand = level < 0;
                }
            }
            break;
        }
    }
    host_.Input([w, c, m]() { return InputMouse(w, c, m); });
    if (expandRow > 0)
        host_.Input([w, c, expandRow, expand]() { return InputExpand(w, c, expandRow, expand); });
}

void ListView::mousePressEvent(QMouseEvent* e)
{
    setFocus(Qt::MouseFocusReason);
    SendMouse(e, static_cast<int>(WindowMessage::Kind::MouseDown));
}

void ListView::mouseReleaseEvent(QMouseEvent* e) { SendMouse(e, static_cast<int>(WindowMessage::Kind::MouseUp)); }

void ListView::mouseMoveEvent(QMouseEvent* e)
{
    // Moves without a button matter only when the pointer enters another cell; keep the queue short.
    const QPoint px = e->position().toPoint();
    const QPoint pos(ToModel(px.x()), ToModel(px.y()));
    int64_t row = pos.y() < headerHeight_ || lineHeight_ <= 0 ? 0 : top_ + (pos.y() - headerHeight_) / lineHeight_ + 1;
    int column = 0, left = 0;
    const int listWidth = ModelWidth();
    for (int col : VisibleColumns()) {
        int w = format_.ShownWidth(col, listWidth);
        if (pos.x() >= left && pos.x() < left + w) {
            column = col;
            break;
        }
        left += w;
    }
    bool held = (e->buttons() & Qt::LeftButton) != 0;
    if (!held && row == moveRow_ && column == moveColumn_)
        return;
    moveRow_ = row;
    moveColumn_ = column;
    SendMouse(e, static_cast<int>(WindowMessage::Kind::MouseMove));
}

void ListView::mouseDoubleClickEvent(QMouseEvent* e)
{
    SendMouse(e, static_cast<int>(WindowMessage::Kind::DoubleClick));
}

void ListView::keyPressEvent(QKeyEvent* e)
{
    int code = QtStyle::KeyCodeOf(*e);
    if (code == 0 || host_.Syncing()) {
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    if (Key::Base(code) == Key::TAB) {
        // Tab leaves the list unless the program asked for it.
        e->ignore();
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    int w = window_, c = control_;
    host_.Input([w, c, code]() { return InputKey(w, c, code); });
    e->accept();
}

void ListView::wheelEvent(QWheelEvent* e)
{
    int steps = -e->angleDelta().y() / 40;   // three rows per notch
    if (steps == 0) {
        e->ignore();
        return;
    }
    verticalScrollBar()->setValue(verticalScrollBar()->value() + steps);
    e->accept();
}

void ListView::scrollContentsBy(int, int)
{
    if (syncing_ || host_.Syncing())
        return;
    int64_t newTop = verticalScrollBar()->value();
    int newH = horizontalScrollBar()->value();
    bool v = newTop != top_, h = newH != hscroll_;
    top_ = newTop;
    hscroll_ = newH;
    viewport()->update();
    int w = window_, c = control_;
    // The model scrolls at once (the next sync must not jump back); the list's owner hears of it.
    // The rows scrolled in are read under the same baton: the owner may be busy when they draw.
    if (v)
        host_.Input([w, c, newTop, self = QPointer<ListView>(this)]() -> std::string {
            if (WindowModel* wm = WindowFind(w))
                if (ControlModel* cm = wm->Find(c))
                    cm->Set(Prop::VScrollPos, static_cast<long long>(newTop));
            WindowMessage m;
            m.kind = WindowMessage::Kind::VScroll;
            m.y = static_cast<int>(newTop);
            std::string why = InputMouse(w, c, m);
            if (self) {
                self->FetchShown();
                self->viewport()->update();
            }
            return why;
        });
    if (h)
        host_.Input([w, c, newH]() -> std::string {
            if (WindowModel* wm = WindowFind(w))
                if (ControlModel* cm = wm->Find(c))
                    cm->Set(Prop::HScrollPos, newH);
            WindowMessage m;
            m.kind = WindowMessage::Kind::HScroll;
            m.x = newH;
            return InputMouse(w, c, m);
        });
}

std::string ListView::CellTipAt(const QPoint& px)
{
    const QPoint pos(ToModel(px.x()), ToModel(px.y()));
    if (pos.y() < headerHeight_ || lineHeight_ <= 0)
        return {};
    int64_t row = top_ + (pos.y() - headerHeight_) / lineHeight_ + 1;
    if (row > rows_)
        return {};
    int x = 0;
    for (int col : VisibleColumns()) {
        const ListColumn& c = format_.columns[static_cast<size_t>(col - 1)];
        const int width = format_.ShownWidth(col, ModelWidth());
        if (pos.x() >= x && pos.x() < x + width) {
            if (!c.tip)
                return {};
            TryBaton baton;
            const Row* fields = FetchRow(row, baton.Held());
            int f = FieldsOf(c).tip;
            return fields && f <= static_cast<int>(fields->size()) ? (*fields)[static_cast<size_t>(f - 1)] : std::string();
        }
        x += width;
    }
    return {};
}

bool ListView::viewportEvent(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* he = static_cast<QHelpEvent*>(e);
        QString tip = TipAt(he->pos());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(he->globalPos(), tip, viewport());
        return true;
    }
    return QAbstractScrollArea::viewportEvent(e);
}

QString ListView::TipAt(const QPoint& pos)
{
    QString tip = Q(CellTipAt(pos));
    tip.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return tip.isEmpty() ? toolTip() : tip;
}

void ListView::focusInEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusInEvent(e);
    viewport()->update();
}
