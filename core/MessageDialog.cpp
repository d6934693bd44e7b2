#include "core/MessageDialog.h"

#include "core/IniFile.h"
#include "core/Utilities.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Windows1252.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int kMaxButtons = 8;
constexpr int kClosedOtherwise = 64;
constexpr int kMeasureWidth = 400;
constexpr int kButtonPitch = 64;
constexpr int kButtonWidth = 56;
constexpr int kButtonHeight = 14;
constexpr int kButtonBottom = 17;
constexpr int kDesignedWidth = 260;
constexpr int kDesignedHeight = 90;
constexpr int kTextX = 52;
constexpr int kTextY = 14;
constexpr const char* kFont = "MS Sans Serif";
// The message texts' buffer, in characters.
constexpr size_t kMessageTextLimit = 2047;

// Control numbers of the dialog, in declaration order.
enum : int { BACKGROUND = 1, MESSAGE, DONTSHOW, ICON, PANEL, FIRST_BUTTON };

struct ButtonDef {
    unsigned bit;
    const char* caption;
};
const ButtonDef kButtons[kMaxButtons] = {
    {BUTTON_OK, "&OK"},          {BUTTON_YES, "&Ja"},          {BUTTON_NO, "&Nein"},
    {BUTTON_ABORT, "&Abbrechen"}, {BUTTON_RETRY, "&Wiederholen"}, {BUTTON_IGNORE, "&Ignorieren"},
    {BUTTON_CANCEL, "&Abbrechen"}, {BUTTON_HELP, "&Hilfe"},
};

// CR LF, a single CR and "|" each start a new line.
std::string Lines(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '|') {
            out += '\n';
        } else {
            out += c;
        }
    }
    return out;
}

// Lines the text takes in a box `width` wide, broken at blanks (a word wider than the box at
// characters).
int CountLines(const std::string& text, int width)
{
    int lines = 0;
    size_t start = 0;
    for (;;) {
        size_t nl = text.find('\n', start);
        std::string para = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
        std::string line;
        int paraLines = 1;
        size_t i = 0;
        while (i < para.size()) {
            size_t sp = para.find(' ', i);
            std::string word = para.substr(i, sp == std::string::npos ? std::string::npos : sp - i);
            std::string candidate = line.empty() ? word : line + " " + word;
            if (TextWidth(candidate, kFont) <= width || line.empty()) {
                line = candidate;
                // A single word wider than the box runs over into further lines.
                while (TextWidth(line, kFont) > width && line.size() > 1) {
                    size_t fit = 0, chars = 0;
                    while (fit < line.size()) {
                        size_t next = fit + 1;
                        while (next < line.size() && (static_cast<unsigned char>(line[next]) & 0xC0) == 0x80)
                            ++next;
                        if (TextWidth(line.substr(0, next), kFont) > width && chars > 0)
                            break;
                        fit = next;
                        ++chars;
                    }
                    line = line.substr(fit);
                    ++paraLines;
                }
            } else {
                ++paraLines;
                line = word;
            }
            if (sp == std::string::npos)
                break;
            i = sp + 1;
        }
        lines += paraLines;
        if (nl == std::string::npos)
            break;
        start = nl + 1;
    }
    return lines;
}

std::string IconImage(const MessageRequest& r)
{
    if (!r.iconFile.empty())
        return r.iconFile;
    switch (r.icon) {
    case MessageIcon::None: return {};
    case MessageIcon::Application: return "~application.ico";
    case MessageIcon::Hand: return "~critical.ico";
    case MessageIcon::Question: return "~help.ico";
    case MessageIcon::Exclamation: return "~warning.ico";
    case MessageIcon::Asterisk: return "~information.ico";
    case MessageIcon::Folders: return "~folders.ico";
    case MessageIcon::Application2: return "~application.ico";
    }
    return {};
}

struct Button {
    std::string caption;
    int value;
};

std::vector<Button> ButtonsOf(const MessageRequest& r)
{
    std::vector<Button> out;
    if (!r.buttonTexts.empty()) {
        size_t start = 0;
        int position = 0;
        while (static_cast<int>(out.size()) < kMaxButtons) {
            size_t bar = r.buttonTexts.find('|', start);
            std::string item = r.buttonTexts.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
            if (item.empty())
                break;      // the first empty item ends the list
            out.push_back({item, ++position});
            if (bar == std::string::npos)
                break;
            start = bar + 1;
        }
    } else if (r.buttonBits != 0) {
        for (const ButtonDef& b : kButtons)
            if (r.buttonBits & b.bit)
                out.push_back({b.caption, static_cast<int>(b.bit)});
    }
    if (out.empty())
        out.push_back({"&OK", static_cast<int>(BUTTON_OK)});
    return out;
}

std::string PreservedKey(const char* what, long id) { return std::string(what) + std::to_string(id); }

bool OwnWindowPossible() { return ThreadCurrent() != 0 && Runtime::HasHost(); }

} // namespace

long MessageTextId(const std::string& text)
{
    long id = 0;
    for (unsigned char c : Utf8ToCp1252(Clip(text)))
        id += c;
    return id;
}

int MessageDialog(const MessageRequest& request)
{
    long id = 0;
    if (request.style == 1) {
        id = MessageTextId(request.text);
        if (PropValue(GlobalIni.ReadValue("Preserved", PreservedKey("MsgID_Skip", id), "0")).Int() != 0)
            return static_cast<int>(PropValue(GlobalIni.ReadValue("Preserved", PreservedKey("MsgID_RetVal", id), "0")).Int());
    }
    // Without a thread of the window layer or anybody to show a window, the platform's box answers.
    if (!OwnWindowPossible())
        return MessageShowPlatform(request);

    std::vector<Button> buttons = ButtonsOf(request);
    // A message with one button has it as its default whatever the caller gave, so that Enter
    // answers it; with several, the caller's default (none for 0) has the focus.
    const int defaultValue = buttons.size() == 1 ? buttons.front().value : request.defaultButton;
    std::string text = Lines(request.text);
    std::string icon = IconImage(request);

    WindowDesc d;
    d.name = "MessageDialog";
    d.title = request.caption.empty() ? "Mitteilungstext" : request.caption;
    d.fontName = kFont;
    d.w = kDesignedWidth;
    d.h = kDesignedHeight;
    d.alertKeys = {Key::LEFT, Key::RIGHT, Key::ESC};
    d.Add(Ctl::Box(0xFFFFFF))
        .Add(Ctl::String(text))
        .Add(Ctl::Check("Diese Meldung nicht wieder anzeigen").Hidden(request.style != 1))
        .Add(Ctl::Image(icon).At(14, 14, 32, 32).Hidden(icon.empty()))
        .Add(Ctl::Panel());
    for (int i = 0; i < kMaxButtons; ++i) {
        ControlDesc b = Ctl::Button(i < static_cast<int>(buttons.size()) ? buttons[static_cast<size_t>(i)].caption : "");
        d.Add(b.Hidden());
    }
    int win = WindowCreate(d);
    int targetBefore = WindowSetTarget(win);

    // Layout: the narrowest box that keeps the line count of a 400-unit box.
    int lines = CountLines(text, kMeasureWidth);
    int width = kMeasureWidth;
    while (width > 1 && CountLines(text, width - 1) == lines)
        --width;
    int lineHeight = TextLineHeight(kFont);
    int textHeight = lines * lineHeight;
    int checkHeight = request.style == 1 ? 16 : 0;
    // Without a symbol the text takes its place rather than leaving an empty strip.
    const int textX = icon.empty() ? 14 : kTextX;
    // A caption longer than the designed button ("Als &PDF speichern") widens all the buttons.
    int n = static_cast<int>(buttons.size());
    int buttonW = kButtonWidth;
    for (const Button& b : buttons) {
        std::string shown = b.caption;
        shown.erase(std::remove(shown.begin(), shown.end(), '&'), shown.end());
        buttonW = std::max(buttonW, TextWidth(shown, kFont) + 12);
    }
    const int pitch = buttonW + (kButtonPitch - kButtonWidth);
    int rowWidth = (n - 1) * pitch + buttonW;
    int winW = std::max({kDesignedWidth, textX + width + 14, rowWidth + 28});
    int winH = std::max(kDesignedHeight, kTextY + textHeight + 10 + checkHeight + kButtonHeight + kButtonBottom);
    PropertySet(0, Prop::Width, winW);
    PropertySet(0, Prop::Height, winH);
    PropertySet(BACKGROUND, Prop::Width, winW);
    PropertySet(BACKGROUND, Prop::Height, winH - kButtonHeight - kButtonBottom - 8);
    PropertySet(MESSAGE, Prop::Xpos, textX);
    PropertySet(MESSAGE, Prop::Ypos, kTextY);
    PropertySet(MESSAGE, Prop::Width, width);
    PropertySet(MESSAGE, Prop::Height, textHeight);
    int x0 = (winW - rowWidth) / 2;
    int buttonY = winH - kButtonBottom - kButtonHeight;
    PropertySet(DONTSHOW, Prop::Xpos, x0);
    PropertySet(DONTSHOW, Prop::Ypos, buttonY - checkHeight - 4);
    PropertySet(DONTSHOW, Prop::Width, rowWidth);
    PropertySet(DONTSHOW, Prop::Height, 12);
    int focus = 0;
    for (int i = 0; i < n; ++i) {
        int c = FIRST_BUTTON + i;
        PropertySet(c, Prop::Xpos, x0 + i * pitch);
        PropertySet(c, Prop::Ypos, buttonY);
        PropertySet(c, Prop::Width, buttonW);
        PropertySet(c, Prop::Height, kButtonHeight);
        ControlUnhide(c);
        if (defaultValue != 0 && buttons[static_cast<size_t>(i)].value == defaultValue) {
            focus = c;
            PropertySet(c, Prop::Default, 1);
        }
    }
    WindowOpen(win);
    if (focus)
        ControlSelect(focus);

    int result = kClosedOtherwise;
    bool pressed = false;
    int escapeButton = 0;
    for (int i = 0; i < n; ++i)
        if (request.buttonTexts.empty() && buttons[static_cast<size_t>(i)].value == static_cast<int>(BUTTON_CANCEL))
            escapeButton = FIRST_BUTTON + i;
    while (WindowAccept(win)) {
        int control = EventAccepted();
        if (control >= FIRST_BUTTON && control < FIRST_BUTTON + n) {
            result = buttons[static_cast<size_t>(control - FIRST_BUTTON)].value;
            pressed = true;
            break;
        }
        if (EventCurrent() == EVENT_ALERT_KEY) {
            int key = EventKeyCode();
            int current = ControlFocus();
            if (key == Key::ESC && escapeButton) {
                result = static_cast<int>(BUTTON_CANCEL);
                pressed = true;
                break;
            }
            if (key == Key::LEFT || key == Key::RIGHT) {
                int next = current < FIRST_BUTTON || current >= FIRST_BUTTON + n
                               ? FIRST_BUTTON
                               : current + (key == Key::LEFT ? -1 : 1);
                ControlSelect(std::clamp<int>(next, FIRST_BUTTON, FIRST_BUTTON + n - 1));
            }
        }
    }
    bool remember = request.style == 1 && pressed && PropertyGet(win, DONTSHOW, Prop::Checked, 0).Bool();
    WindowClose(win);
    WindowSetTarget(targetBefore);   // a drawing bracket of the caller stays as it was

    // A remembered answer is the button the user pressed: that is what the message will answer
    // from now on without being shown.
    if (remember) {
        GlobalIni.WriteValue("Preserved", PreservedKey("MsgID_Skip", id), "1");
        GlobalIni.WriteValue("Preserved", PreservedKey("MsgID_RetVal", id), std::to_string(result));
    }
    return result;
}

void InstallMessageDialog(bool on)
{
    if (on)
        SetMessageHook(MessageDialog);
    else
        SetMessageHook(nullptr);
}

std::string MessageDialogReplace(const std::string& text, const std::string& find, const std::string& replacement)
{
    return ReplaceRepeatedly(text, find, replacement, kMessageTextLimit);
}

std::string MessageDialogReplaceAll(const std::string& text, const std::string& find, const std::string& replacement)
{
    return ReplaceRepeatedly(Clip(text), find, replacement, kMessageTextLimit);
}
