// The one seam through which the program asks the user anything: message boxes and questions.
// Windows call MsgBox; tests install a scripted answerer that records every text and title.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace plat {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class Icon { None, Critical, Question, Exclamation, Information };

// Answers keep the classic numeric values so that code comparing them reads as the original rules do.
enum Answer : int { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct AskRequest {
    std::string text;  // UTF-8
    std::string title; // UTF-8; empty means the program's default title
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
};

// Shows a message box (a modal QMessageBox in the program) and returns the button pressed.
int MsgBox(const std::string& text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
           const std::string& title = {});

// Replaces the answerer; an empty function restores the real message box. Returns the previous one.
using Asker = std::function<int(const AskRequest&)>;
Asker SetAsker(Asker asker);

// The program's default title of message boxes ("Mevalo").
const std::string& DefaultTitle();

// For tests: records every request and answers from a queue (the default answer when it runs dry).
class ScriptedAsker {
public:
    explicit ScriptedAsker(int defaultAnswer = Ok);
    ~ScriptedAsker(); // restores the previous answerer
    ScriptedAsker(const ScriptedAsker&) = delete;
    ScriptedAsker& operator=(const ScriptedAsker&) = delete;

    void Push(int answer) { answers_.push_back(answer); }
    const std::vector<AskRequest>& Asked() const { return asked_; }
    void Clear() { asked_.clear(); }

private:
    std::vector<int> answers_;
    std::vector<AskRequest> asked_;
    int default_;
    Asker previous_;
};

} // namespace plat
