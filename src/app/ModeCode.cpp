#include "app/ModeCode.h"

#include "app/Glb.h"
#include "platform/Ask.h"

#include <QKeyEvent>
#include <QWidget>

namespace {

struct ModeCodeRow {
    const char* code;
    int16_t level;
};
// Compared in this order.
constexpr ModeCodeRow kCodes[] = {{"6251873", 2}, {"4093517", 3}, {"8826104", 1}};
constexpr size_t kCodeLen = 7;

} // namespace

int16_t MatchModeCode(std::string& buf, char ch) {
    buf.push_back(ch);
    if (buf.size() > kCodeLen) buf.erase(0, buf.size() - kCodeLen);
    for (const ModeCodeRow& row : kCodes) {
        if (buf == row.code) {
            buf.clear();
            return row.level;
        }
    }
    return 0;
}

std::string ModeMessage(ModeDlg dlg, int16_t level) {
    const bool model = dlg == ModeDlg::Model;
    switch (level) {
    case 2:
        return model ? "Enter internal mode." : "Entering internal mode.";
    case 3:
        return "Entering to SE mode";
    case 1:
        return model ? "Enter normal mode." : "Entering normal mode.";
    }
    return {};
}

std::string ModeTitle(ModeDlg dlg) {
    return dlg == ModeDlg::Model ? "Mode setting" : std::string();
}

int16_t ModeKey(std::string& buf, char ch, ModeDlg dlg) {
    const int16_t level = MatchModeCode(buf, ch);
    if (level != 0) {
        UserLevel = level;
        plat::MsgBox(ModeMessage(dlg, level), plat::Buttons::Ok, plat::Icon::None, ModeTitle(dlg));
    }
    return level;
}

ModeKeyFilter::ModeKeyFilter(ModeDlg dlg, std::string& buf, QObject* parent)
    : QObject(parent), dlg_(dlg), buf_(buf) {}

void ModeKeyFilter::WatchButton(QWidget* w) {
    buttons_.push_back(w);
    w->installEventFilter(this);
}

void ModeKeyFilter::WatchWindow(QWidget* w) {
    window_ = w;
    w->installEventFilter(this);
}

bool ModeKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    const bool atButton = watched != window_;
    if (event->type() == QEvent::KeyRelease && atButton) {
        counted_ = nullptr;
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    if (!atButton && event == counted_) {
        // A key a button did not take travels on to the dialog: it was counted at the button already.
        counted_ = nullptr;
        return false;
    }
    if (atButton) counted_ = event;
    const QString text = static_cast<QKeyEvent*>(event)->text();
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E) continue; // control keys type no character
        const int16_t level = ModeKey(buf_, static_cast<char>(c.unicode()), dlg_);
        if (level != 0 && onMode) onMode(level);
    }
    return false; // the key still acts on the widget
}
