#include "app/Fit.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QHeaderView>
#include <QStyle>
#include <QTreeWidget>
#include <QVariant>
#include <QLayout>
#include <QWidget>

#include <algorithm>

namespace {

void Fit(QWidget* w, bool first) {
    QLayout* lay = w->layout();
    if (!lay) return;
    lay->invalidate();
    // A minimum width the window was given itself counts, as does everything its layout needs.
    if (first && !w->property("ownMinWidth").isValid()) w->setProperty("ownMinWidth", w->minimumWidth());
    const int minWidth = std::max(lay->totalMinimumSize().width(), w->property("ownMinWidth").toInt());
    const QSize hint = lay->totalSizeHint().expandedTo(QSize(minWidth, 0));
    const int width = first ? hint.width() : std::max(w->width(), minWidth);
    const bool hfw = lay->hasHeightForWidth();
    const int minHeight = hfw ? lay->totalMinimumHeightForWidth(width) : lay->totalMinimumSize().height();
    w->setMinimumSize(minWidth, minHeight);
    if (first) {
        w->resize(width, std::max(minHeight, hfw ? lay->totalHeightForWidth(width) : hint.height()));
    } else if (w->height() < minHeight || w->width() < minWidth) {
        w->resize(width, std::max(w->height(), minHeight));
    }
}

class Fitter : public QObject {
  public:
    explicit Fitter(QWidget* w) : QObject(w), w_(w) {}

  protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == w_ && !busy_) {
            const auto t = e->type();
            if (t == QEvent::Show || t == QEvent::LayoutRequest || t == QEvent::Resize) {
                busy_ = true;
                Fit(w_, t == QEvent::Show && !shown_);
                if (t == QEvent::Show) shown_ = true;
                busy_ = false;
            }
        }
        return false;
    }

  private:
    QWidget* w_;
    bool busy_ = false;
    bool shown_ = false;
};

} // namespace

void FitToContents(QWidget* w) {
    if (!w->property("fitted").toBool()) {
        w->setProperty("fitted", true);
        w->installEventFilter(new Fitter(w));
    }
    Fit(w, true);
}

int FitColumns(QTreeWidget* list, int width, const int (&shares32)[5]) {
    const QAbstractItemView* view = list; // the view's measure of a column's cells is public there
    int total = 2 * list->frameWidth() + list->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int c = 0; c < 5; ++c) {
        const int w = std::max(
            {width * shares32[c] / 32, list->header()->sectionSizeHint(c), view->sizeHintForColumn(c)});
        list->setColumnWidth(c, w);
        total += w;
    }
    return total;
}
