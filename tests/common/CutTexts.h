// What a person would see cut in a window: a child outside it, a label or button whose text does not fit,
// two controls side by side that run into each other (a label over its field), a list or table column
// narrower than its heading or cells, and (when asked) a window with no title.
#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QString>
#include <QTableView>
#include <QTreeView>
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
    // A control by its name, or by its kind and text where it has no name.
    const auto name = [](QWidget* c) {
        if (!c->objectName().isEmpty()) return c->objectName().toStdString();
        QString text;
        if (auto* l = qobject_cast<QLabel*>(c)) text = l->text();
        if (auto* b = qobject_cast<QAbstractButton*>(c)) text = b->text();
        return std::string(c->metaObject()->className()) +
               (text.isEmpty() ? "" : " \"" + text.toStdString() + "\"");
    };
    const auto bad = [&](QWidget* c, const std::string& why) {
        out.push_back(win + "." + name(c) + ": " + why);
    };
    if (rules.needTitle && w->windowTitle().trimmed().isEmpty()) out.push_back(win + ": no title");
    for (QWidget* c : w->findChildren<QWidget*>()) {
        if (!c->isVisibleTo(w) || c->isWindow()) continue;
        const QRect r(c->mapTo(w, QPoint(0, 0)), c->size());
        if (!w->rect().contains(r)) bad(c, "outside its window");
        const auto cutIf = [&](QSize need) {
            if (need.width() > c->width() || need.height() > c->height())
                bad(c, "text cut, needs " + std::to_string(need.width()) + "x" +
                           std::to_string(need.height()) + ", has " + std::to_string(c->width()) + "x" +
                           std::to_string(c->height()));
        };
        if (auto* l = qobject_cast<QLabel*>(c); l && !l->text().isEmpty()) {
            cutIf(l->wordWrap() ? QSize(0, l->heightForWidth(l->width())) : l->sizeHint());
        } else if (auto* b = qobject_cast<QAbstractButton*>(c); b && !b->text().isEmpty()) {
            cutIf(rules.buttonTextOnly ? b->fontMetrics().size(Qt::TextShowMnemonic, b->text())
                                       : b->minimumSizeHint());
        } else if (auto* view = qobject_cast<QAbstractItemView*>(c)) {
            QHeaderView* head = nullptr;
            if (auto* tree = qobject_cast<QTreeView*>(c)) head = tree->header();
            if (auto* table = qobject_cast<QTableView*>(c)) head = table->horizontalHeader();
            if (head && view->model())
                for (int k = 0; k < head->count(); ++k)
                    if (!head->isSectionHidden(k) &&
                        head->sectionSize(k) < std::max(head->sectionSizeHint(k), view->sizeHintForColumn(k)))
                        bad(c, "column \"" +
                                   view->model()->headerData(k, Qt::Horizontal).toString().toStdString() +
                                   "\" cut");
        }
        // Siblings laid side by side must not share a pixel: a label placed at a fixed distance runs under
        // the field beside it once its text is wider. An empty label shows nothing (a row's background), and
        // a group box drawn first may frame what lies wholly inside it, below its title.
        const auto blank = [](QWidget* x) {
            auto* l = qobject_cast<QLabel*>(x);
            return l && l->text().isEmpty() && l->pixmap().isNull();
        };
        const auto frames = [](QWidget* box, QWidget* x) {
            QRect below = box->geometry();
            below.setTop(box->y() + box->contentsRect().top());
            return qobject_cast<QGroupBox*>(box) && below.contains(x->geometry());
        };
        if (c->parentWidget() && !blank(c))
            for (QObject* o : c->parentWidget()->children()) {
                if (o == c) break; // each pair once, the one drawn first as s
                auto* s = qobject_cast<QWidget*>(o);
                if (s && !s->isWindow() && !blank(s) && !frames(s, c) && s->isVisibleTo(w) &&
                    s->geometry().intersects(c->geometry()))
                    bad(c, "over " + name(s));
            }
    }
    const QString shots = qEnvironmentVariable("MEVALO_SHOTS");
    if (!shots.isEmpty()) w->grab().save(shots + "/dlg-" + w->objectName() + ".png");
    return out;
}

} // namespace testmain
