#include "params/FrmIchiran.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "app/Fit.h"
#include "app/Glb.h"
#include "app/Uty.h"
#include "data/PrmGlb.h"
#include "data/PrmTbl.h"
#include "params/ParaTransfer.h"
#include "platform/FormRegistry.h"

namespace {
constexpr int ValueCol = 2;

FrmIchiran::ShowHook& Hook() {
    static FrmIchiran::ShowHook hook;
    return hook;
}
} // namespace

FrmIchiran::ShowHook FrmIchiran::SetShowHook(ShowHook hook) {
    ShowHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

FrmIchiran::FrmIchiran(QWidget* parent, bool is32) : QDialog(parent), is32_(is32), buffer_(is32 ? 11 : 7) {
    const char* form = is32 ? "FrmIchiran32" : "FrmIchiran";
    setObjectName(form);
    const QString title =
        is32 ? QStringLiteral("32bit parameter list") : QStringLiteral("16bit parameter list");
    setWindowTitle(title);
    Label1 = new QLabel(title, this);
    layout = new QTableWidget(this);
    layout->setColumnCount(3);
    layout->setHorizontalHeaderLabels(
        {QStringLiteral("No."), QStringLiteral("Parameter"), QStringLiteral("Value")});
    layout->verticalHeader()->hide();
    layout->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->setToolTip(is32 ? QStringLiteral("Display the 32bit parameter list")
                            : QStringLiteral("Display the 16bit parameter list."));
    layout->installEventFilter(this);
    connect(layout, &QTableWidget::currentCellChanged, this,
            [this](int row, int col, int prevRow, int prevCol) {
                if (prevRow >= 0) layout_LeaveCell(prevRow, prevCol);
                if (row >= 0) layout_EnterCell(row, col);
            });
    auto* v = new QVBoxLayout(this);
    v->addWidget(Label1);
    v->addWidget(layout, 1);
    FitWidth();
    resize(width(), 480);
    plat::RegisterForm(form, this);
}

FrmIchiran::~FrmIchiran() {
    plat::UnregisterForm(this);
}

void FrmIchiran::Form_Load() {
    loading_ = true;
    if (is32_)
        count_ = UserLevel >= 2 ? Prm32MaxAll : Prm32Max;
    else
        count_ = UserLevel >= 2 ? std::min(PrmCnt, Prm16MaxAll + 1) : Prm16Max;
    count_ = std::clamp(count_, 0, PrmCnt);
    layout->setRowCount(count_);
    for (int r = 0; r < count_; ++r) {
        layout->setItem(r, 0, new QTableWidgetItem(QString::fromStdString(Hex2(r))));
        layout->setItem(
            r, 1, new QTableWidgetItem(QString::fromStdString(is32_ ? Prm32Attr[r].name : PrmAttr[r].name)));
        layout->setItem(r, ValueCol, new QTableWidgetItem);
        ShowValue(r);
    }
    FitWidth();
    if (count_ > 0) layout->setCurrentCell(0, ValueCol);
    current_ = 0;
    buffer_.Clear();
    loading_ = false;
}

void FrmIchiran::FitWidth() {
    // The columns as the list was drawn for, widened where a heading or a name needs more.
    const int need = FitColumns(layout, {40, 187, is32_ ? 87 : 60});
    layout->setMinimumWidth(need);
    const int columns = layout->columnWidth(0) + layout->columnWidth(1) + layout->columnWidth(2);
    resize(std::max({width(), minimumSizeHint().width(), columns + 60}), height());
}

void FrmIchiran::ShowValue(int row) {
    if (QTableWidgetItem* it = layout->item(row, ValueCol))
        it->setText(QString::number(is32_ ? Prm32Val[row] : PrmVal[row]));
}

void FrmIchiran::layout_EnterCell(int row, int col) {
    if (loading_ || col != ValueCol) return;
    current_ = row;
    buffer_.Clear();
}

void FrmIchiran::layout_LeaveCell(int row, int col) {
    if (loading_ || col != ValueCol || row < 0 || row >= count_) return;
    const std::string text = layout->item(row, ValueCol)->text().toStdString();
    const int64_t v = is32_ ? int64_t{ValToLng(text)} : int64_t{ValToInt(text)};
    ListSetPrm(is32_, row, v);
    ShowValue(row);
}

bool FrmIchiran::layout_KeyPress(int key, char ch) {
    if (layout->currentColumn() != ValueCol || count_ == 0) return false;
    const int row = layout->currentRow();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        layout->setCurrentCell(row + 1 < count_ ? row + 1 : std::max(0, row - 1), ValueCol);
        return true;
    }
    if (key == Qt::Key_Escape) {
        ShowValue(row);
        return true;
    }
    bool changed = false;
    if (key == Qt::Key_Backspace)
        changed = buffer_.Backspace();
    else if (ch != 0)
        changed = buffer_.Key(ch);
    if (changed) layout->item(row, ValueCol)->setText(QString::fromStdString(buffer_.Text()));
    return ch != 0 || key == Qt::Key_Backspace;
}

bool FrmIchiran::eventFilter(QObject* watched, QEvent* event) {
    if (watched == layout && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        const QString t = k->text();
        const char ch =
            t.size() == 1 && t[0].unicode() >= 32 && t[0].unicode() < 127 ? char(t[0].unicode()) : 0;
        return layout_KeyPress(k->key(), ch);
    }
    return false;
}

void FrmIchiran::Exec(bool is32) {
    QPointer<FrmIchiran> w = new FrmIchiran(QApplication::activeWindow(), is32);
    w->Form_Load();
    if (Hook())
        Hook()(*w);
    else
        w->exec();
    if (w) {
        // A typed value still in its cell is committed as a leave of the cell would.
        if (w->layout->currentRow() >= 0)
            w->layout_LeaveCell(w->layout->currentRow(), w->layout->currentColumn());
        plat::UnregisterForm(w);
        w->deleteLater();
    }
}
