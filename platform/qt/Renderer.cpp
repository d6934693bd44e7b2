#include "platform/qt/Renderer.h"

#include "platform/qt/DesktopOpener.h"
#include "platform/qt/Pictures.h"
#include "platform/qt/ReportPrinting.h"
#include "platform/qt/Style.h"
#include "platform/qt/WindowView.h"
#include "platform/ui/Window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

using QtStyle::Q;
using QtStyle::S;

namespace {

struct ButtonInfo {
    unsigned bit;
    const char* text;
    QMessageBox::ButtonRole role;
};

const ButtonInfo kButtons[] = {
    {BUTTON_OK, "OK", QMessageBox::AcceptRole},
    {BUTTON_YES, "&Ja", QMessageBox::YesRole},
    {BUTTON_NO, "&Nein", QMessageBox::NoRole},
    {BUTTON_ABORT, "&Abbrechen", QMessageBox::RejectRole},
    {BUTTON_RETRY, "&Wiederholen", QMessageBox::AcceptRole},
    {BUTTON_IGNORE, "&Ignorieren", QMessageBox::AcceptRole},
    {BUTTON_CANCEL, "Abbrechen", QMessageBox::RejectRole},
    {BUTTON_HELP, "&Hilfe", QMessageBox::HelpRole},
};

// "Varn 4 EBA-Datei |*.eba|Alle Dateien|*.*" -> "Varn 4 EBA-Datei (*.eba);;Alle Dateien (*)"
QStringList FilterList(const std::string& filter, QString* firstSuffix)
{
    QStringList parts = Q(filter).split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts[i].trimmed();
        QStringList patterns = parts[i + 1].split(QRegularExpression(QStringLiteral("[;, ]+")), Qt::SkipEmptyParts);
        for (QString& p : patterns)
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        if (patterns.isEmpty())
            continue;
        if (firstSuffix && firstSuffix->isEmpty() && patterns[0].startsWith(QLatin1String("*.")) && patterns[0].size() > 2)
            *firstSuffix = patterns[0].mid(2);
        // A description that names its patterns already ("PDF-Dateien (*.pdf)") keeps its text.
        const QString named = QStringLiteral("(%1)").arg(patterns.join(QLatin1Char(' ')));
        if (desc.endsWith(named))
            out << desc;
        else
            out << QStringLiteral("%1 %2").arg(desc.isEmpty() ? patterns.join(QLatin1Char(' ')) : desc, named);
    }
    return out;
}

QMenu* BuildMenu(QWidget* parent, const std::vector<PopupEntry>& items, std::map<QAction*, int>& numbers)
{
    auto* menu = new QMenu(parent);
    for (const PopupEntry& e : items) {
        if (e.separator) {
            menu->addSeparator();
        } else if (!e.submenu.empty()) {
            QMenu* sub = BuildMenu(menu, e.submenu, numbers);
            sub->setTitle(Q(e.text));
            sub->setEnabled(!e.disabled);
            menu->addMenu(sub);
        } else {
            QAction* a = menu->addAction(Q(e.text));
            a->setEnabled(!e.disabled);
            if (e.checked) {
                a->setCheckable(true);
                a->setChecked(true);
            }
            numbers[a] = e.number;
        }
    }
    return menu;
}

} // namespace

// ---- life ---------------------------------------------------------------------------------------

Renderer::Renderer() : Renderer(Options{}) {}

Renderer::Renderer(Options options) : options_(std::move(options))
{
    if (!options_.startDetached)
        options_.startDetached = [](const QString& program, const QStringList& args, const QString& dir) {
            return QProcess::startDetached(program, args, dir);
        };
    if (!options_.print)
        options_.print = PrintReportWithQt;
    poll_ = new QTimer(this);
    poll_->setInterval(options_.pollMs);
    connect(poll_, &QTimer::timeout, this, &Renderer::Pump);
}

Renderer::~Renderer()
{
    poll_->stop();
    if (started_) {
        if (!Runtime::WaitAllEnded(0)) {
            // Whatever still waits is unwound, so the process can end.
            std::vector<int> left = Runtime::Abort(3000);
            if (!left.empty())
                std::fprintf(stderr, "Renderer: %zu Thread(s) liefen weiter und wurden losgelassen\n", left.size());
        }
    }
    for (auto& [id, s] : shown_)
        if (s.widget)
            delete s.widget.data();
    shown_.clear();
    // Children and dialogs before the frame that holds them.
    while (!views_.empty())
        views_.erase(std::prev(views_.end()));
    Runtime::SetHost(nullptr);
    if (started_ && Runtime::Threads().empty())
        Runtime::Reset(false);
}

void Renderer::Start(std::function<void()> main)
{
    Runtime::Reset(false);
    Runtime::SetHost(this);
    started_ = true;
    finished_ = false;
    if (Runtime::StartMain(std::move(main)) == 0) {
        std::fprintf(stderr, "Renderer: Thread 1 konnte nicht gestartet werden\n");
        finished_ = true;
    }
    poll_->start();
    SchedulePump();
}

bool Renderer::Ended() const { return started_ && Runtime::Threads().empty(); }

void Renderer::Wake()
{
    // From any thread: the pump runs on the main thread.
    QMetaObject::invokeMethod(this, "Pump", Qt::QueuedConnection);
}

void Renderer::SchedulePump()
{
    if (pumpQueued_)
        return;
    pumpQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        pumpQueued_ = false;
        Pump();
    });
}

void Renderer::Input(std::function<std::string()> action)
{
    pending_.push_back(std::move(action));
    // Not at once: the widget that reports the input may go in the sync that follows.
    SchedulePump();
}

// ---- the pump ---------------------------------------------------------------------------------

void Renderer::Pump()
{
    if (pumping_ || !started_)
        return;
    pumping_ = true;
    if (!pending_.empty() && Runtime::HostTryAcquire(0)) {
        // A thread that gave way in the middle of its work goes on working after the input:
        // waiting for it to go idle would only hold up the screen.
        bool working = false;
        for (const Runtime::ThreadInfo& t : Runtime::Threads())
            working = working || t.state == Runtime::ThreadState::GivingWay;
        auto actions = std::move(pending_);
        pending_.clear();
        for (auto& a : actions) {
            std::string why = a();
            if (!why.empty()) {
                refusals_.push_back(why);
                if (refusals_.size() > 100)
                    refusals_.erase(refusals_.begin());
            }
        }
        Runtime::HostRelease();
        // Let the owners react, so the drawing below shows the result of the input.
        if (!working)
            Runtime::WaitIdle(options_.settleMs);
    }
    if (Runtime::HostTryAcquire(0)) {
        syncing_ = true;
        SyncAll();
        ServeRequests();
        syncing_ = false;
        Runtime::HostRelease();
        RunPrints();
        // The keys whose own action waited for the program's answer to them (once the input
        // that carried them has reached the program).
        if (pending_.empty()) {
            std::vector<int> ids;
            for (auto& [id, view] : views_)
                ids.push_back(id);
            for (int id : ids)
                if (auto it = views_.find(id); it != views_.end())
                    it->second->ReplayAlertedKeys();
        }
    }
    pumping_ = false;
    if (!finished_ && Ended()) {
        finished_ = true;
        poll_->stop();
        emit Finished();
    }
}

void Renderer::SyncAll()
{
    std::vector<int> ids = WindowList();
    // Views of windows that closed or went. A dialog hands the focus back to the window and the
    // field it was opened from, so that the planner goes on typing where he was.
    std::vector<int> back;
    for (auto it = views_.begin(); it != views_.end();) {
        WindowModel* m = WindowFind(it->first);
        if (!m || m->state != WindowState::Open) {
            if (front_ == it->first)
                front_ = 0;
            if (auto r = returnTo_.find(it->first); r != returnTo_.end()) {
                back.push_back(r->second);
                returnTo_.erase(r);
            }
            it = views_.erase(it);
        } else {
            ++it;
        }
    }
    for (int id : ids) {
        WindowModel* m = WindowFind(id);
        if (!m || m->state != WindowState::Open)
            continue;
        auto it = views_.find(id);
        if (it == views_.end()) {
            QMdiArea* area = nullptr;
            QWidget* owner = nullptr;
            if (m->desc.kind == WindowKind::MdiChild) {
                auto f = views_.find(m->frame);
                if (f != views_.end())
                    area = f->second->MdiArea();
            }
            if (!area && m->desc.kind != WindowKind::MdiFrame) {
                // A window over another: over the top window of its thread, else over the frame.
                int below = 0;
                for (auto& [vid, v] : views_)
                    if (v->Thread() == m->thread && vid != id)
                        below = vid;
                if (!below)
                    for (auto& [vid, v] : views_)
                        if (v->Kind() == WindowKind::MdiFrame)
                            below = vid;
                if (below) {
                    owner = views_[below]->Top()->window();
                    returnTo_[id] = below;
                }
            }
            auto view = std::make_unique<WindowView>(*this, *m, area, owner);
            connect(view.get(), &WindowView::StdActionRequested, this, &Renderer::OnStdAction);
            it = views_.emplace(id, std::move(view)).first;
        }
        it->second->Sync(*m);
        // A window the program hid stays hidden until it shows it again (an inspector of another
        // worksheet, one that gives its place to a dialog).
        if (QWidget* top = it->second->Top()) {
            const bool hide = m->Get(Prop::Hide).Bool();
            if (top->isHidden() != hide) {
                // Shown again, a window inside the frame would become its active one: the planner
                // goes on in the window he worked in.
                auto* sub = qobject_cast<QMdiSubWindow*>(top);
                QMdiArea* area = sub ? sub->mdiArea() : nullptr;
                QMdiSubWindow* active = area ? area->activeSubWindow() : nullptr;
                top->setVisible(!hide);
                if (area && active && active != sub && active->isVisible() && area->activeSubWindow() != active)
                    area->setActiveSubWindow(active);
            }
        }
    }
    // The window the program brought forward.
    for (auto& [id, v] : views_)
        if (PropertyGet(id, 0, Prop::Active, 0).Bool() && front_ != id) {
            front_ = id;
            v->Activate();
        }
    for (int window : back) {
        auto to = views_.find(window);
        if (to == views_.end() || HasDialogOver(window))
            continue;
        to->second->Activate();
        // The window system activates the window after this, and the sub-window then puts back
        // the focus it remembers: the field gets the focus again once that has happened.
        QPointer<WindowView> view = to->second.get();
        to->second->RestoreFocus();
        QTimer::singleShot(0, this, [view] {
            if (view)
                view->RestoreFocus();
        });
    }
}

bool Renderer::HasDialogOver(int window) const
{
    for (const auto& [dialog, below] : returnTo_)
        if (below == window && views_.count(dialog))
            return true;
    return false;
}

// ---- requests ---------------------------------------------------------------------------------

QWidget* Renderer::OwnerFor(int thread) const
{
    int top = WindowTop(thread);
    auto it = views_.find(top);
    if (it != views_.end() && it->second->Top())
        return it->second->Top()->window();
    for (auto& [id, v] : views_)
        if (v->Kind() == WindowKind::MdiFrame)
            return v->Top();
    return nullptr;
}

void Renderer::AnswerById(int id, int answer, const std::string& text)
{
    shown_.erase(id);
    for (UiRequest* r : Runtime::PendingRequests())
        if (r->id == id) {
            Runtime::Answer(*r, answer, text);
            break;
        }
    SchedulePump();
}

void Renderer::ServeRequests()
{
    std::vector<UiRequest*> pending = Runtime::PendingRequests();
    std::vector<int> live;
    for (UiRequest* r : pending) {
        live.push_back(r->id);
        if (shown_.count(r->id))
            continue;
        switch (r->kind) {
        case UiRequest::Kind::Message: ShowMessage(*r); break;
        case UiRequest::Kind::FileDialog: ShowFileDialog(*r); break;
        case UiRequest::Kind::Popup: ShowPopup(*r); break;
        case UiRequest::Kind::ShellOpen: OpenShell(*r); break;
        case UiRequest::Kind::Print: QueuePrint(*r); break;
        }
    }
    // Requests that went without an answer (an aborted run) take their dialogs with them.
    for (auto it = shown_.begin(); it != shown_.end();) {
        if (std::find(live.begin(), live.end(), it->first) == live.end()) {
            if (it->second.widget)
                it->second.widget->deleteLater();
            it = shown_.erase(it);
        } else {
            ++it;
        }
    }
}

void Renderer::ShowMessage(UiRequest& r)
{
    const MessageRequest& m = r.message;
    auto* box = new QMessageBox(OwnerFor(r.thread));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setObjectName(QStringLiteral("message%1").arg(r.id));
    box->setWindowTitle(Q(m.caption.empty() ? std::string("Mitteilungstext") : m.caption));
    QString text = Q(m.text);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('|'), QLatin1Char('\n'));
    box->setText(text);
    box->setTextFormat(Qt::PlainText);
    QPixmap own = m.iconFile.empty() ? QPixmap() : Pictures::Picture(m.iconFile, 32, 32);
    switch (m.icon) {
    case MessageIcon::Hand: box->setIcon(QMessageBox::Critical); break;
    case MessageIcon::Question: box->setIcon(QMessageBox::Question); break;
    case MessageIcon::Exclamation: box->setIcon(QMessageBox::Warning); break;
    case MessageIcon::Asterisk: box->setIcon(QMessageBox::Information); break;
    case MessageIcon::Application:
    case MessageIcon::Application2: own = own.isNull() ? Pictures::Picture("~application.ico", 32, 32) : own; break;
    case MessageIcon::Folders: own = own.isNull() ? Pictures::Picture("~folders.ico", 32, 32) : own; break;
    case MessageIcon::None: break;
    }
    if (!own.isNull())
        box->setIconPixmap(own);

    // Buttons: texts answered by position, else the bits in their fixed order.
    std::vector<std::pair<QAbstractButton*, int>> buttons;
    QAbstractButton* escape = nullptr;
    QAbstractButton* preferred = nullptr;
    if (!m.buttonTexts.empty()) {
        QStringList texts = Q(m.buttonTexts).split(QLatin1Char('|'));
        for (int i = 0; i < texts.size(); ++i) {
            QPushButton* b = box->addButton(texts[i], QMessageBox::AcceptRole);
            buttons.emplace_back(b, i + 1);
            if (m.defaultButton == i + 1)
                preferred = b;
        }
        escape = buttons.size() == 1 ? buttons.front().first : nullptr;
    } else {
        unsigned bits = m.buttonBits ? m.buttonBits : static_cast<unsigned>(BUTTON_OK);
        for (const ButtonInfo& info : kButtons)
            if (bits & info.bit) {
                QPushButton* b = box->addButton(QString::fromUtf8(info.text), info.role);
                buttons.emplace_back(b, static_cast<int>(info.bit));
                if (static_cast<unsigned>(m.defaultButton) == info.bit)
                    preferred = b;
                if (info.bit == BUTTON_CANCEL || (info.bit == BUTTON_NO && !(bits & BUTTON_CANCEL)) ||
                    (info.bit == BUTTON_OK && !(bits & (BUTTON_CANCEL | BUTTON_NO))))
                    escape = escape ? escape : b;
            }
    }
    if (preferred)
        box->setDefaultButton(static_cast<QPushButton*>(preferred));
    if (escape)
        box->setEscapeButton(escape);
    int id = r.id;
    int fallback = MessageDefaultAnswer(m);
    auto answered = std::make_shared<bool>(false);
    connect(box, &QMessageBox::buttonClicked, this, [this, id, buttons, answered](QAbstractButton* b) {
        for (auto& [button, value] : buttons)
            if (button == b) {
                *answered = true;
                AnswerById(id, value);
                return;
            }
    });
    // Closed without a button (the title bar's cross): the default answer.
    connect(box, &QObject::destroyed, this, [this, id, fallback, answered] {
        if (!*answered && shown_.count(id))
            AnswerById(id, fallback);
    });
    box->setWindowModality(box->parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
    shown_[id] = {UiRequest::Kind::Message, box};
    box->open();
}

void Renderer::ShowFileDialog(UiRequest& r)
{
    QString suffix;
    QStringList filters = FilterList(r.filter, &suffix);
    auto* dialog = new QFileDialog(OwnerFor(r.thread), Q(r.title));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setObjectName(QStringLiteral("fileDialog%1").arg(r.id));
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(r.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!filters.isEmpty())
        dialog->setNameFilters(filters);
    if (r.save && !suffix.isEmpty() && suffix != QLatin1String("*"))
        dialog->setDefaultSuffix(suffix);
    QString proposed = Q(r.fileName);
    proposed.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // Without a folder of its own the dialog opens where the user last chose a file.
    if (!proposed.contains(QLatin1Char('/')) && !lastFolder_.isEmpty() && QDir(lastFolder_).exists())
        dialog->setDirectory(lastFolder_);
    if (!proposed.isEmpty()) {
        QFileInfo fi(proposed);
        if (fi.isDir())
            dialog->setDirectory(fi.absoluteFilePath());
        else {
            if (fi.dir().exists() && proposed.contains(QLatin1Char('/')))
                dialog->setDirectory(fi.absolutePath());
            dialog->selectFile(fi.fileName());
        }
    }
    int id = r.id;
    auto answered = std::make_shared<bool>(false);
    connect(dialog, &QFileDialog::finished, this, [this, id, dialog, answered](int result) {
        *answered = true;
        QStringList files = dialog->selectedFiles();
        if (result == QDialog::Accepted && !files.isEmpty()) {
            lastFolder_ = QFileInfo(files.front()).absolutePath();
            AnswerById(id, 1, S(QDir::toNativeSeparators(files.front())));
        }
        else
            AnswerById(id, 0);
    });
    connect(dialog, &QObject::destroyed, this, [this, id, answered] {
        if (!*answered && shown_.count(id))
            AnswerById(id, 0);
    });
    dialog->setWindowModality(dialog->parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
    shown_[id] = {UiRequest::Kind::FileDialog, dialog};
    dialog->open();
}

void Renderer::ShowPopup(UiRequest& r)
{
    QWidget* owner = nullptr;
    QPoint at = QCursor::pos();
    auto it = views_.find(r.window ? r.window : WindowTop(r.thread));
    if (it != views_.end())
        owner = it->second->Client() ? it->second->Client() : it->second->Top();
    if (!owner)
        owner = OwnerFor(r.thread);
    if (owner && r.x >= 0 && r.y >= 0)
        at = owner->mapToGlobal(QPoint(QtStyle::ToPixels(r.x), QtStyle::ToPixels(r.y)));
    auto numbers = std::make_shared<std::map<QAction*, int>>();
    QMenu* menu = BuildMenu(owner, r.popup, *numbers);
    menu->setObjectName(QStringLiteral("popup%1").arg(r.id));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    int id = r.id;
    auto answered = std::make_shared<bool>(false);
    connect(menu, &QMenu::triggered, this, [this, id, numbers, answered](QAction* a) {
        if (*answered)
            return;
        auto n = numbers->find(a);
        *answered = true;
        AnswerById(id, n == numbers->end() ? 0 : n->second);
    });
    connect(menu, &QMenu::aboutToHide, this, [this, id, answered] {
        // The chosen item's signal comes after the menu hides; dismissal has none.
        QTimer::singleShot(0, this, [this, id, answered] {
            if (!*answered && shown_.count(id)) {
                *answered = true;
                AnswerById(id, 0);
            }
        });
    });
    shown_[id] = {UiRequest::Kind::Popup, menu};
    menu->popup(at);
}

void Renderer::OpenShell(UiRequest& r)
{
    // The target goes to the desktop's opener as one argument; nothing passes through a shell.
    QString file = Q(r.file).trimmed();
    QString dir = Q(r.directory);
    dir.replace(QLatin1Char('\\'), QLatin1Char('/'));
    bool address = file.contains(QLatin1String("://")) || file.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive);
    if (!address) {
        file.replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (!dir.isEmpty() && QFileInfo(file).isRelative())
            file = QDir(dir).filePath(file);
    }
    int id = r.id;
    std::string why;
    if (!file.isEmpty()) {
        QFileInfo fi(file);
        QString parameters = Q(r.parameters).trimmed();
        if (!address && fi.isFile() && fi.isExecutable() && !parameters.isEmpty()) {
            if (!options_.startDetached(fi.absoluteFilePath(), QProcess::splitCommand(parameters), dir))
                why = "Das Programm " + S(fi.absoluteFilePath()) + " konnte nicht gestartet werden.";
        } else if (!address) {
            // A document: its asker learns when nothing on this desktop shows such files.
            why = ShowFileWithDesktop(file, dir, options_.startDetached);
        } else if (!options_.startDetached(QStringLiteral("xdg-open"), {file}, dir)) {
            why = "Es wurde kein Programm gefunden, das " + S(file) + " öffnen kann.";
        }
        if (!why.empty())
            std::fprintf(stderr, "Konnte \"%s\" nicht öffnen\n", S(file).c_str());
    }
    shown_.erase(id);
    Runtime::Answer(r, why.empty() ? 0 : 1, why);
    SchedulePump();
}

void Renderer::QueuePrint(UiRequest& r)
{
    shown_[r.id] = {UiRequest::Kind::Print, nullptr};
    prints_.push_back({r.id, *r.report, r.fileName});
}

void Renderer::RunPrints()
{
    // Without the baton: a long print holds up neither the program's threads nor their requests.
    auto jobs = std::move(prints_);
    prints_.clear();
    for (PrintJob& job : jobs) {
        std::string why = options_.print(job.report, job.pdfFile, job.pdfFile.empty() ? chosenPrinter_ : std::string());
        // A PDF written to be seen is shown; done all the same when nothing can show it (the
        // answer's text then tells the planner where it is).
        if (why.empty() && job.report.showPdf && !job.pdfFile.empty()) {
            AnswerById(job.id, 0, ShowPdfWithQt(job.pdfFile, options_.startDetached));
            continue;
        }
        AnswerById(job.id, why.empty() ? 0 : 1, why);
    }
}

void Renderer::CancelRequests()
{
    // Each answer changes shown_: the widgets are gathered first.
    std::vector<QPointer<QObject>> open;
    for (auto& [id, s] : shown_)
        if (s.widget && s.kind != UiRequest::Kind::Print && s.kind != UiRequest::Kind::ShellOpen)
            open.push_back(s.widget);
    for (const QPointer<QObject>& widget : open) {
        if (!widget)
            continue;
        if (auto* box = qobject_cast<QMessageBox*>(widget.data())) {
            // Without an escape button a box refuses to close: it goes, and its default answers.
            if (QAbstractButton* escape = box->escapeButton())
                escape->click();
            else
                delete box;
        } else if (auto* dialog = qobject_cast<QDialog*>(widget.data())) {
            dialog->reject();
        } else if (auto* menu = qobject_cast<QMenu*>(widget.data())) {
            menu->close();
        }
    }
}

QWidget* Renderer::RequestWidget(UiRequest::Kind kind) const
{
    for (auto& [id, s] : shown_)
        if (s.kind == kind && s.widget)
            return qobject_cast<QWidget*>(s.widget.data());
    return nullptr;
}

void Renderer::OnStdAction(int action)
{
    switch (static_cast<StdAction>(action)) {
    case StdAction::PrintSetup: {
        if (!printer_)
            printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        QWidget* owner = OwnerFor(1);
        auto* dialog = new QPrintDialog(printer_.get(), owner);
        dialog->setWindowTitle(QStringLiteral("Drucker einrichten"));
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        QPrinter* printer = printer_.get();
        connect(dialog, &QDialog::accepted, this, [this, printer] { chosenPrinter_ = S(printer->printerName()); });
        dialog->open();
        break;
    }
    case StdAction::HelpOnHelp: {
        auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Hilfe zur Hilfe"),
                                    QStringLiteral("Zu jedem Befehl zeigt die Statuszeile einen kurzen Hinweis, "
                                                   "zu jedem Symbol der Werkzeugleiste ein Tipp. Die Lernunterlage "
                                                   "öffnet sich über „Hilfe“ > „Lernunterlage“."),
                                    QMessageBox::Ok, OwnerFor(1));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        break;
    }
    default:
        break;
    }
}

// ---- looking up ---------------------------------------------------------------------------------

WindowView* Renderer::View(int window) const
{
    auto it = views_.find(window);
    return it == views_.end() ? nullptr : it->second.get();
}

QWidget* Renderer::WindowWidget(int window) const
{
    WindowView* v = View(window);
    return v ? v->Top() : nullptr;
}

QWidget* Renderer::ControlWidget(int window, int control) const
{
    WindowView* v = View(window);
    return v ? v->ControlWidget(control) : nullptr;
}

bool Renderer::Settle(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    int quiet = 0;
    while (clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        Pump();
        bool idle = Runtime::IsIdle() && pending_.empty() && !pumpQueued_ &&
                    std::none_of(views_.begin(), views_.end(), [](const auto& v) { return v.second->HasAlertedKeys(); });
        // Idle twice in a row: the last round's drawing raised no new input.
        quiet = idle ? quiet + 1 : 0;
        if (quiet >= 3)
            return true;
        if (!idle)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// ---- the program's entry ------------------------------------------------------------------------

int RunWithRenderer(int argc, char** argv, std::function<void()> mainThreadProcedure)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Varn 4"));
    QIcon icon = Pictures::Icon("varn4.ico");
    if (!icon.isNull())
        QApplication::setWindowIcon(icon);
    QApplication::setFont(QtStyle::MapFont("Tahoma", 8));
    Renderer renderer;
    QObject::connect(&renderer, &Renderer::Finished, &app, [] { QCoreApplication::exit(0); });
    renderer.Start(std::move(mainThreadProcedure));
    return app.exec();
}
