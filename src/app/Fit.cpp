#include "app/Fit.h"

#include <QEvent>
#include <QVariant>
#include <QLayout>
#include <QWidget>

#include <algorithm>

namespace {

void Fit(QWidget* w, bool first) {
    QLayout* lay = w->layout();
    if (!lay) return;
    lay->invalidate();
    const int minWidth = std::max(lay->totalMinimumSize().width(), first ? w->sizeHint().width() : 0);
    const int width = first ? minWidth : std::max(w->width(), minWidth);
    const int need = lay->hasHeightForWidth() ? lay->totalHeightForWidth(width) : lay->totalMinimumSize().height();
    const int height = std::max(need, lay->totalMinimumSize().height());
    w->setMinimumSize(minWidth, height);
    if (first || w->height() < height || w->width() < width) w->resize(width, first ? height : std::max(w->height(), height));
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
