#pragma once
// The platform's message box. A logical thread asks for a message and waits, without the baton,
// until the renderer or the headless driver answers. Start-up replaces the plain box by the
// program's own dialog through SetMessageHook. Without a renderer or driver (or off a logical
// thread) the message goes to standard error and the default button is the answer.
#include <functional>
#include <string>

// Standard icons of the message box.
enum class MessageIcon { None, Application, Hand, Question, Exclamation, Asterisk, Folders, Application2 };

// Button bits, in the order the buttons appear from left to right.
enum MessageButton : unsigned {
    BUTTON_OK = 1, BUTTON_YES = 2, BUTTON_NO = 4, BUTTON_ABORT = 8,
    BUTTON_RETRY = 16, BUTTON_IGNORE = 32, BUTTON_CANCEL = 64, BUTTON_HELP = 128,
};

struct MessageRequest {
    std::string text{};             // "|" or a line break starts a new line
    std::string caption{};          // empty: "Mitteilungstext"
    MessageIcon icon = MessageIcon::None;
    std::string iconFile{};         // an icon file name instead of a standard icon
    unsigned buttonBits = 0;        // 0 and no buttonTexts: a single OK button
    std::string buttonTexts{};      // "Fortfahren|Abbrechen": text buttons, answered by position
    int defaultButton = 0;          // bit or position of the button that has the focus first
    int style = 0;                  // 1: remembered answers ("Diese Meldung nicht wieder anzeigen")
};

using MessageHook = std::function<int(const MessageRequest&)>;

// Installs the function that shows every message from now on; an empty hook restores the plain box.
void SetMessageHook(MessageHook hook);

// Shows the message and returns the answer: the pressed button's bit or position.
int MessageShow(const MessageRequest& request);

// The platform's own box, bypassing the hook (the program's dialog uses it when it cannot open a
// window of its own).
int MessageShowPlatform(const MessageRequest& request);

// The answer when nobody can be asked: the default button, else the first button.
int MessageDefaultAnswer(const MessageRequest& request);
