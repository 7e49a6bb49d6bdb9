// What a person would see cut in a window: a child outside it, a label or button whose text does not fit,
// a list column narrower than its heading or cells, and (when asked) a window with no title.
#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QString>
#include <QTreeWidget>
#include <QWidget>

#include <string>
#include <vector>

namespace testmain {

struct CutRules {
    bool needTitle = false;
    // A button's text alone, not the style's margins around it: a bit button shows its one digit whole in a
    // square narrower than the margins.
    bool buttonTextOnly = false;
};

// Shows w and lists what does not fit, one line per widget; empty when everything does. With MEVALO_SHOTS
// set, saves a picture of w there.
inline std::vector<std::string> CutTexts(QWidget* w, CutRules rules = {}) {
    w->show();
    QApplication::processEvents();
    std::vector<std::string> out;
    const std::string win = w->objectName().toStdString() + " \"" + w->windowTitle().toStdString() + "\"";
    const auto bad = [&](QWidget* c, const std::string& why) {
        out.push_back(win + "." + c->objectName().toStdString() + ": " + why);
    };
    if (rules.needTitle && w->windowTitle().trimmed().isEmpty()) out.push_back(win + ": no title");
    for (QWidget* c : w->findChildren<QWidget*>()) {
        if (!c->isVisibleTo(w) || c->isWindow()) continue;
        const QRect r(c->mapTo(w, QPoint(0, 0)), c->size());
        if (!w->rect().contains(r)) bad(c, "outside its window");
        if (auto* l = qobject_cast<QLabel*>(c); l && !l->text().isEmpty()) {
            if (l->wordWrap() ? l->heightForWidth(l->width()) > l->height()
                              : l->sizeHint().width() > l->width() || l->sizeHint().height() > l->height())
                bad(c, "text cut");
        } else if (auto* b = qobject_cast<QAbstractButton*>(c); b && !b->text().isEmpty()) {
            const QSize need = rules.buttonTextOnly ? b->fontMetrics().size(Qt::TextShowMnemonic, b->text())
                                                    : b->minimumSizeHint();
            if (need.width() > b->width() || need.height() > b->height()) bad(c, "text cut");
        } else if (auto* list = qobject_cast<QTreeWidget*>(c)) {
            const QAbstractItemView* view = list; // its measure of a column's cells is public there
            for (int k = 0; k < list->columnCount(); ++k)
                if (list->columnWidth(k) < std::max(list->header()->sectionSizeHint(k), view->sizeHintForColumn(k)))
                    bad(c, "column \"" + list->headerItem()->text(k).toStdString() + "\" cut");
        }
    }
    const QString shots = qEnvironmentVariable("MEVALO_SHOTS");
    if (!shots.isEmpty()) w->grab().save(shots + "/dlg-" + w->objectName() + ".png");
    return out;
}

} // namespace testmain
