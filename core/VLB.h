#pragma once
// A virtual list box: a list control whose rows are not stored in the list. The list asks the
// owner (a class derived from CVLB) for its row count and the text of each cell it shows. CVLB
// maps list rows and columns onto logical cells that may span several of them, can skip asking
// for cells beyond the visible width (FASTDRAW), and can hook the list's window messages so that
// the owner sees them before and after the list's own handling.
#include "platform/ui/WindowModel.h"

#include <cstdint>
#include <memory>
#include <string>

class CVLB {
public:
    CVLB();
    virtual ~CVLB();
    CVLB(const CVLB&) = delete;
    CVLB& operator=(const CVLB&) = delete;

    uint8_t CLIPPED = 0;          // the last cell asked for lies beyond the visible width
    uint16_t LASTCOLUMN = 0;      // logical column of the last clipping decision
    uint16_t XCLIPFIELDTO = 0;    // field from which on cells are clipped; 0 = not determined
    int32_t WIDTH = 0;            // width of the list
    int32_t HSCROLLPOS = 0;       // horizontal scroll position at the last clipping decision
    int32_t COLUMNXPOS[256] = {};
    uint16_t FIXEDCOLUMN = 0;
    uint8_t CHANGED = 0;
    uint8_t SUBCLASSED = 0;
    int WIN = 0;                  // the window holding the list (set by Subclass)
    int32_t FEQ = 0;              // the list control
    int16_t FIELDSPERCOLUMN = 1;
    uint16_t ZELLENBREITE = 1;    // list columns per logical column
    uint16_t ZELLENHOEHE = 1;     // list rows per logical row
    uint16_t UEBEREINANDER = 1;   // format columns stacked in one list column
    uint8_t FASTDRAW = 0;

    virtual void Release();
    virtual int32_t CurrentColumn();
    virtual int32_t ColumnOfListColumn(int32_t n);
    virtual int32_t RowOfListRow(int32_t n);
    virtual int32_t ColumnOfField(int32_t n);
    virtual int32_t CurrentRow();
    // Before the list's own handling; true: handled, the list does nothing with it and
    // AfterWindowMessage does not follow.
    virtual bool TakeWindowMessage(const WindowMessage& message);
    virtual void AfterWindowMessage(const WindowMessage& message);
    virtual void SetChanged();
    virtual int32_t RowCount() = 0;
    virtual int16_t ColumnCount();
    virtual std::string CellText(int32_t row, int16_t column) = 0;

    void Construct();
    void SetLayout(int cellWidth, int cellHeight, int fieldsPerColumn, int stacked);
    // Binds the list `feq` of the calling thread's target window to this object.
    void Init(int feq, const std::string& format, bool fastDraw, bool keepFormat);
    void Subclass(int window);
    // What the list is told for (row, field): row count, changed flag or a cell's text.
    std::string ListCallback(int64_t row, int column);
    void ComputeColumnX();
    void Hook();
    void Unhook();
    // The object that hooked the list `feq` of `window`; nullptr when none.
    static CVLB* FindHook(int window, int feq);

    // The window the list lies in (known from Init).
    int ListWindow() const { return listWindow_; }

protected:
    // Reads a property of the list, from any thread that may touch the models.
    int64_t ListProperty(Prop prop, int index = 0) const;
    void SetListProperty(Prop prop, int64_t value, int index = 0) const;
    ListGeometry Geometry() const;
    // The list shows its cells afresh.
    void Redisplay() const;
    // The list gets the keyboard focus.
    void SelectList() const;

private:
    class Source;
    class HookEntry;
    friend class HookEntry;
    bool Clipped(int column);

    std::shared_ptr<Source> source_;
    int listWindow_ = 0;
};
