#include "platform/ui/Dialogs.h"

#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

bool FileDialog(const std::string& title, std::string& fileName, const std::string& filter, unsigned flags)
{
    UiRequest r;
    r.kind = UiRequest::Kind::FileDialog;
    r.title = title;
    r.filter = filter;
    r.fileName = fileName;
    r.save = (flags & FILE_SAVE) != 0;
    // Without a renderer or driver nobody can choose: the dialog counts as cancelled.
    RequestAndWait(r, [](UiRequest& q) { q.answer = 0; });
    if (r.answer == 0)
        return false;
    fileName = r.answerText;
    return true;
}

std::string ShellOpen(const std::string& file, const std::string& parameters, const std::string& directory,
                      bool minimized)
{
    UiRequest r;
    r.kind = UiRequest::Kind::ShellOpen;
    r.file = file;
    r.parameters = parameters;
    r.directory = directory;
    r.minimized = minimized;
    RequestAndWait(r, [](UiRequest&) {});
    return r.answerText;
}

int PopupRequest(const std::vector<PopupEntry>& items, int x, int y)
{
    UiRequest r;
    r.kind = UiRequest::Kind::Popup;
    r.popup = items;
    r.x = x;
    r.y = y;
    r.window = WindowTarget();
    // Without a renderer or driver nobody chooses: dismissed.
    RequestAndWait(r, [](UiRequest& q) { q.answer = 0; });
    return r.answer;
}
