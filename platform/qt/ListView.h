#pragma once
// A list of the window models drawn by hand: header, rows of the virtual source with colours,
// styles, icons, tree levels and tips, the selection bar, and the program's own drawing (the
// Painter primitives) on top. The program computes inside a list in the window's units, as it
// places the list itself: column widths, line and header heights, its drawing and the mouse
// positions it hears of. The view scales them to the screen as it scales the window, so columns
// keep in step with the font and a field the program lays over a cell lands on that cell.
#include "platform/qt/Host.h"
#include "platform/ui/WindowModel.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QRawFont>

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class ListView : public QAbstractScrollArea {
    Q_OBJECT
public:
    ListView(QtHost& host, int window, int control, QWidget* parent = nullptr);

    // Under the host's baton: takes what drawing needs from the model and reports the real
    // geometry back to it.
    void Sync(WindowModel& window, ControlModel& control, bool modelChanged);

    int Window() const { return window_; }
    int Control() const { return control_; }
    int64_t TopRow() const { return top_; }         // rows scrolled out above
    // On the screen, in the viewport's pixels.
    int LineHeight() const { return ToViewport(lineHeight_); }
    int HeaderHeight() const { return ToViewport(headerHeight_); }
    // The top of the n-th row shown (from 0), in the viewport's pixels.
    int RowTop(int shown) const { return ToViewport(headerHeight_ + static_cast<double>(shown) * lineHeight_); }
    int VisibleRows() const;
    int64_t RowCount() const { return rows_; }
    const std::shared_ptr<ListSource>& Source() const { return source_; }
    // As the model counts them: line and header height in units.
    int ModelLineHeight() const { return lineHeight_; }
    int ModelHeaderHeight() const { return headerHeight_; }

    // Where a list column starts in the viewport, -1 when scrolled out.
    int ColumnLeft(int column) const;

    // The program's units inside the list and the viewport's pixels.
    int ToViewport(double units) const;
    int ToModel(int pixels) const;

    // What a cell shows, resolved as drawing does from the row's fields, the styles, the column's
    // colours and the selection. `known` is false when the row is out of range or not fetched.
    struct CellLook {
        bool known = false;
        std::string text;                // after the column's picture
        QColor fore;
        QColor back;                     // invalid: the list's own background
        std::string icon;                // the picture's file name, empty: none
    };
    CellLook Look(int64_t row, int column);
    // The tip shown at a point of the viewport: the cell's own, else the list's (line breaks as "\n").
    QString TipAt(const QPoint& pos);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent*) override;
    void focusInEvent(QFocusEvent*) override;

private:
    struct Style {
        std::string fontName;
        int fontSize = 0, fontWeight = 0;
        long long fore = -1, back = -1;
    };
    using Row = std::vector<std::string>;
    // A cell's colours (-1: none) and picture, from its fields and the list's settings.
    struct Resolved {
        int style = 0;
        long long fore = -1, back = -1, selFore = -1, selBack = -1;
        std::string icon;
    };

    const Row* FetchRow(int64_t row, bool mayAsk);
    // Under the host's baton: the rows shown read into the cache, so drawing needs no baton.
    void FetchShown();
    std::vector<int> VisibleColumns() const;
    int ModelColumnLeft(int column) const;          // units, -1 when scrolled out
    int ModelWidth() const { return ToModel(viewport()->width()); }
    void PaintHeader(QPainter& p);
    void PaintRows(QPainter& p, bool mayAsk);
    void PaintOps(QPainter& p);
    void UpdateScrollBars();
    void ReportGeometry(WindowModel& window, ControlModel& control);
    void SendMouse(QMouseEvent* e, int kind);
    QFont StyleFont(int style) const;
    Resolved Resolve(const ListColumn& c, int col, const Row& fields) const;
    std::string CellText(const ListColumn& c, const Row& fields) const;
    std::string CellTipAt(const QPoint& pos);
    void DrawCellText(QPainter& p, const QRect& r, Qt::Alignment align, const QString& text);

    QtHost& host_;
    int window_, control_;
    bool syncing_ = false;

    // Copied from the model at each sync.
    std::shared_ptr<ListSource> source_;
    ListFormat format_;
    int64_t rows_ = 0, selected_ = 0, top_ = 0;
    int column_ = 1, hscroll_ = 0;
    int lineHeight_ = 12, headerHeight_ = 0;      // units
    double scale_ = 1.0;                         // pixels per unit
    bool noBar_ = false, hasHeaders_ = false, hasGroupHeaders_ = false;
    long long fore_ = -1, back_ = -1, selFore_ = -1, selBack_ = -1;
    QFont font_;
    std::map<int, Style> styles_;
    std::map<int, std::string> iconList_;
    std::map<int, long long> columnColors_;
    std::vector<PaintOp> ops_;
    int64_t moveRow_ = -1;
    int moveColumn_ = -1;

    std::unordered_map<int64_t, Row> cache_;
    // The font cell texts were last drawn in, as glyph tables.
    QFont rawFont_;
    QRawFont raw_;
    bool rawValid_ = false;
    int rawAscent_ = 0, rawHeight_ = 0;
};
