#include "app/Fit.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTableView>
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

namespace {

// Sets column c of view at least least wide, widened to its heading and its cells; returns its width.
int FitColumn(const QAbstractItemView* view, QHeaderView* head, int c, int least) {
    const int w = std::max({least, head->sectionSizeHint(c), view->sizeHintForColumn(c)});
    head->resizeSection(c, w);
    return w;
}

// The room a view takes around its columns: its frame and a vertical scroll bar.
int AroundColumns(const QAbstractScrollArea* view) {
    return 2 * view->frameWidth() + view->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

} // namespace

int FitColumns(QTreeWidget* list, int width, const int (&shares32)[5]) {
    int total = AroundColumns(list);
    for (int c = 0; c < 5; ++c)
        total += FitColumn(list, list->header(), c, width * shares32[c] / 32);
    return total;
}

int FitColumns(QTableView* table, std::initializer_list<int> least) {
    int total = AroundColumns(table);
    int c = 0;
    for (int w : least)
        total += FitColumn(table, table->horizontalHeader(), c++, w);
    return total;
}

int ButtonWidth(const QAbstractButton* button, std::initializer_list<QString> texts, int least) {
    const QFontMetrics fm = button->fontMetrics();
    // The bevel and a little air each side: the style's frame and one average character between them.
    const int room = 2 * button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button) +
                     fm.averageCharWidth();
    int width = least;
    for (const QString& t : texts)
        width = std::max(width, fm.size(Qt::TextShowMnemonic, t).width() + room);
    return width;
}

int LinesHeight(QLabel* label, int lines) {
    // The label's own measure of so many lines: its frame, margins and the font's line spacing.
    const QString keep = label->text();
    label->setText(QString(std::max(lines, 1) - 1, QLatin1Char('\n')) + QLatin1Char(' '));
    const int height = label->sizeHint().height();
    label->setText(keep);
    return height;
}
