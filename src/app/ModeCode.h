// The hidden operating-mode codes: typing one of three seven-digit codes on certain buttons of the
// connection, series and model dialogs switches UserLevel between normal, internal and SE mode.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QWidget;

// Which dialog took the code: the model dialog words its messages differently.
enum class ModeDlg { Port, Type, Model };

// Adds ch to buf (keeping the last seven characters) and compares it with the codes in the order
// internal, SE, normal. Returns the operating mode of a matching code (2, 3 or 1) and empties buf, or 0.
int16_t MatchModeCode(std::string& buf, char ch);

// The message and title a dialog shows for a new mode (an empty title is the program's default title).
std::string ModeMessage(ModeDlg dlg, int16_t level);
std::string ModeTitle(ModeDlg dlg);

// One typed character on a dialog: on a match sets UserLevel and tells the user. Returns the new mode or 0.
int16_t ModeKey(std::string& buf, char ch, ModeDlg dlg);

// Feeds the characters of key presses on the watched widgets into one buffer without consuming them.
// A key that reaches the dialog from one of the watched buttons is counted once, at the button.
class ModeKeyFilter : public QObject {
  public:
    ModeKeyFilter(ModeDlg dlg, std::string& buf, QObject* parent = nullptr);

    // Counts keys pressed while w has the focus.
    void WatchButton(QWidget* w);
    // Counts keys that reach the dialog itself, other than those passed on from a watched button.
    void WatchWindow(QWidget* w);

    // Called after a code matched, with the new mode (the connection dialog shows or hides its
    // data-install button there).
    std::function<void(int16_t level)> onMode;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    ModeDlg dlg_;
    std::string& buf_;
    std::vector<QWidget*> buttons_;
    QWidget* window_ = nullptr;
    const QEvent* counted_ = nullptr; // the last key press counted at a button, until it is released
};
