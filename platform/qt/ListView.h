#pragma once
// A list of the window models drawn by hand: header, rows of the virtual source with colours,
// styles, icons, tree levels and tips, the selection bar, and the program's own drawing (the
// Painter primitives) on top. Everything inside is in the list's pixels, which are the pixels the
// program's grids compute with, so mouse positions go to the model as they are.
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
    int LineHeight() const { return lineHeight_; }
    int HeaderHeight() const { return headerHeight_; }
    int VisibleRows() const;
    int64_t RowCount() const { return rows_; }
    const std::shared_ptr<ListSource>& Source() const { return source_; }

    // Where a list column starts on the screen, -1 when scrolled out (as the model counts).
    int ColumnLeft(int column) const;

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
    std::vector<int> VisibleColumns() const;
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
    int lineHeight_ = 12, headerHeight_ = 0;
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
