#pragma once
// The pattern the worksheet's inspectors share: a tool window of one worksheet on a thread of its
// own, refreshed whenever the worksheet posts EventRefresh. Of all open inspector windows of one
// kind only the one refreshed last is shown - the inspector of the worksheet being worked on - so
// each refresh hides the others. A docked window carries a caption group of its own with a close
// button; floating, it has the system's title bar and the caption group gives its room to the
// body. While a plan is optimised the window handles no events.
//
// CInspektor is the object the worksheet keeps (a CVisual); InspektorWindow is the base of the
// window procedures' window objects.
#include "core/Visual.h"
#include "platform/fw/FwWindow.h"

#include <string>
#include <vector>

class CArbeitsblatt;

// The kinds, numbered as the worksheet's inspector hooks number them.
constexpr int INSPEKTOR_TABELLE = 1;
constexpr int INSPEKTOR_BEWERTUNG = 2;
constexpr int INSPEKTOR_OEKO = 3;

// Controls every inspector window has.
constexpr int INSPEKTOR_CAPTION = 1;        // the caption group (docked only)
constexpr int INSPEKTOR_CAPTION_TEXT = 2;
constexpr int INSPEKTOR_CLOSE = 3;          // its close button
constexpr int kInspektorCaptionHeight = 12;

class CInspektor : public CVisual {
public:
    explicit CInspektor(int kind) : KIND(kind) {}
    ~CInspektor() override;

    int GetKind() const { return KIND; }
    void SetArbeitsblatt(CArbeitsblatt* sheet) { ARBEITSBLATT = sheet; }
    CArbeitsblatt* GetArbeitsblatt() const { return ARBEITSBLATT; }

    // EventRefresh to the window when it is open.
    void Notify();
    // True unless the window floats (Docked 16); a closed window counts as docked.
    bool IsDocked() const;
    // Hides or shows the open window when its state differs.
    void SetHidden(bool hidden);
    // CloseRequest, then waits until the window has gone; nothing when it is not open.
    void Close();

    // The inspectors of this kind whose windows are open, in the order they opened.
    static std::vector<CInspektor*> OpenWindows(int kind);

protected:
    friend class InspektorWindow;
    CArbeitsblatt* ARBEITSBLATT = nullptr;

private:
    int KIND;
};

class InspektorWindow : public FwWindow {
public:
    InspektorWindow(CInspektor& inspector, std::string procedureName);

    int OnEvent() override;
    int OnAccepted() override;
    // Hides the other inspectors of the kind, shows this one, then RefreshContent and the
    // framework's refresh.
    void Refresh(bool force = false) override;
    int Teardown() override;

protected:
    // A tool window with the caption group across its top (unless `caption` is false); the body
    // goes below it.
    WindowDesc Describe(const std::string& title, int width, int height, bool caption = true);
    // The control that moves up into the caption's room while the window floats.
    void SetBody(int control) { BODY = control; }
    // Joins the program-wide list, then creates and opens the window. 0, or the framework's level.
    int OpenInspector(const WindowDesc& desc);
    // Fills the window from the worksheet (on the inspector's thread).
    virtual void RefreshContent() {}
    // Docking: the caption group hides while floating and the body takes its room.
    void Dock(bool docked);

    CInspektor& INSPEKTOR;

private:
    int BODY = 0;
};
