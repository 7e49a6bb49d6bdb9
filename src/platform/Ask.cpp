#include "platform/Ask.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <cstdio>

namespace plat {
namespace {

Asker& CurrentAsker()
{
    static Asker asker;
    return asker;
}

QMessageBox::StandardButtons ToQt(Buttons b)
{
    switch (b) {
    case Buttons::Ok: return QMessageBox::Ok;
    case Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    case Buttons::AbortRetryIgnore: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon ToQt(Icon i)
{
    switch (i) {
    case Icon::None: return QMessageBox::NoIcon;
    case Icon::Critical: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Exclamation: return QMessageBox::Warning;
    case Icon::Information: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// The first button of a set: what Enter would press.
int FirstAnswer(Buttons b)
{
    switch (b) {
    case Buttons::Ok:
    case Buttons::OkCancel: return Ok;
    case Buttons::YesNo:
    case Buttons::YesNoCancel: return Yes;
    case Buttons::RetryCancel: return Retry;
    case Buttons::AbortRetryIgnore: return Abort;
    }
    return Ok;
}

int FromQt(int button, Buttons shown)
{
    switch (button) {
    case QMessageBox::Ok: return Ok;
    case QMessageBox::Cancel: return Cancel;
    case QMessageBox::Abort: return Abort;
    case QMessageBox::Retry: return Retry;
    case QMessageBox::Ignore: return Ignore;
    case QMessageBox::Yes: return Yes;
    case QMessageBox::No: return No;
    }
    // Closed with the window's close button: the box's escape answer.
    switch (shown) {
    case Buttons::Ok: return Ok;
    case Buttons::YesNo: return No;
    case Buttons::AbortRetryIgnore: return Abort;
    default: return Cancel;
    }
}

int ShowMessageBox(const AskRequest& r)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        // No window system (a tool or a test without a scripted answerer): say it and take the first button.
        std::fprintf(stderr, "%s: %s\n", r.title.c_str(), r.text.c_str());
        return FirstAnswer(r.buttons);
    }
    QMessageBox box(ToQt(r.icon), QString::fromStdString(r.title), QString::fromStdString(r.text),
                    ToQt(r.buttons), QApplication::activeWindow());
    return FromQt(box.exec(), r.buttons);
}

} // namespace

const std::string& DefaultTitle()
{
    static const std::string title = "Mevalo";
    return title;
}

int MsgBox(const std::string& text, Buttons buttons, Icon icon, const std::string& title)
{
    AskRequest r{text, title.empty() ? DefaultTitle() : title, buttons, icon};
    const Asker& asker = CurrentAsker();
    return asker ? asker(r) : ShowMessageBox(r);
}

Asker SetAsker(Asker asker)
{
    Asker previous = std::move(CurrentAsker());
    CurrentAsker() = std::move(asker);
    return previous;
}

ScriptedAsker::ScriptedAsker(int defaultAnswer) : default_(defaultAnswer)
{
    previous_ = SetAsker([this](const AskRequest& r) {
        asked_.push_back(r);
        if (answers_.empty())
            return default_;
        const int a = answers_.front();
        answers_.erase(answers_.begin());
        return a;
    });
}

ScriptedAsker::~ScriptedAsker() { SetAsker(std::move(previous_)); }

} // namespace plat
