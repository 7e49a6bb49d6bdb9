#include "params/FrmHexBit.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/PrmTbl.h"
#include "params/ParaLogic.h"
#include "platform/FormRegistry.h"
#include "positioning/PopGlb.h"

namespace {
FrmHexBit::ShowHook& Hook() {
    static FrmHexBit::ShowHook hook;
    return hook;
}
} // namespace

FrmHexBit::ShowHook FrmHexBit::SetShowHook(ShowHook hook) {
    ShowHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

FrmHexBit::FrmHexBit(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmHexBit");
    setWindowTitle(QStringLiteral("binary/hexadecimal input"));
    msg = new QLabel(this);
    T_16 = new QLineEdit(this);
    T_16->setToolTip(QStringLiteral("Enter the setting value in hexadecimal."));
    T_16->installEventFilter(this);
    T_10 = new QLineEdit(this);
    T_10->setReadOnly(true);
    T_10->setToolTip(QStringLiteral("Display the setting value in decimal. Can't enter."));
    auto* values = new QGridLayout;
    values->addWidget(new QLabel(QStringLiteral("Hexadecimal"), this), 0, 0);
    values->addWidget(T_16, 0, 1);
    values->addWidget(new QLabel(QStringLiteral("Decimal"), this), 1, 0);
    values->addWidget(T_10, 1, 1);

    auto* frame = new QGroupBox(QStringLiteral("binary input"), this);
    auto* bits = new QGridLayout(frame);
    bits->setHorizontalSpacing(2);
    for (int i = 0; i < 16; ++i) {
        const int col = 15 - i; // bit 15 at the left
        auto* label = new QLabel(QString::number(i), frame);
        label->setAlignment(Qt::AlignCenter);
        bits->addWidget(label, 0, col);
        auto* b = new QPushButton(QStringLiteral("0"), frame);
        b->setObjectName(QStringLiteral("CmdBits_%1").arg(i));
        b->setToolTip(
            QStringLiteral("Toggle [1] and [0]  by clicking or space key. Select the bit with cursor."));
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("00")) + 12);
        b->installEventFilter(this);
        connect(b, &QPushButton::clicked, this, [this, i] { CmdBits_Click(i); });
        bits->addWidget(b, 1, col);
        CmdBits[static_cast<size_t>(i)] = b;
    }
    auto* okB = new QPushButton(QStringLiteral("OK"), this);
    okB->setToolTip(QStringLiteral("Exit this screen."));
    auto* cancelB = new QPushButton(QStringLiteral("Cancel"), this);
    cancelB->setToolTip(QStringLiteral("Exit this screen neglecting the preset value."));
    connect(okB, &QPushButton::clicked, this, [this] { ok_Click(); });
    connect(cancelB, &QPushButton::clicked, this, [this] { cancel_Click(); });
    connect(T_16, &QLineEdit::textChanged, this, [this] { T_16_Change(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okB);
    buttons->addWidget(cancelB);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(msg);
    layout->addLayout(values);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    plat::RegisterForm("FrmHexBit", this);
}

FrmHexBit::~FrmHexBit() {
    plat::UnregisterForm(this);
}

int16_t FrmHexBit::GetBits() const {
    int32_t sum = 0;
    for (int i = 0; i < 16; ++i)
        if (CmdBits[static_cast<size_t>(i)]->text() == QStringLiteral("1")) sum += 1 << i;
    if (sum >= 32768) sum -= 65536;
    return static_cast<int16_t>(sum);
}

void FrmHexBit::SetBits(int16_t value) {
    const auto u = static_cast<uint16_t>(value);
    for (int i = 0; i < 16; ++i)
        CmdBits[static_cast<size_t>(i)]->setText((u >> i) & 1 ? QStringLiteral("1") : QStringLiteral("0"));
}

void FrmHexBit::ShowBits(int16_t value) {
    T_10->setText(QString::number(value));
    T_16->setText(QString::fromStdString(FormatHex16(value)));
}

void FrmHexBit::CmdBits_Click(int index) {
    QPushButton* b = CmdBits[static_cast<size_t>(index)];
    b->setText(b->text() == QStringLiteral("0") ? QStringLiteral("1") : QStringLiteral("0"));
    ShowBits(GetBits());
}

void FrmHexBit::T_16_Change() {
    const int16_t v = ParseHex16(T_16->text().toStdString());
    SetBits(v);
    T_10->setText(QString::number(v));
}

void FrmHexBit::T_16_GotFocus() {
    savedHex_ = T_16->text().toStdString();
}

void FrmHexBit::T_16_Escape() {
    T_16->setText(QString::fromStdString(savedHex_));
}

void FrmHexBit::ok_Click() {
    result_ = GetBits();
    accept();
}

void FrmHexBit::cancel_Click() {
    reject();
}

bool FrmHexBit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == T_16) {
        if (event->type() == QEvent::FocusIn) T_16_GotFocus();
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            T_16_Escape();
            return true; // Escape here restores the box; it does not close the dialog
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        // Arrow keys move between the bit buttons, as the buttons' tip says.
        const int key = static_cast<QKeyEvent*>(event)->key();
        for (int i = 0; i < 16; ++i) {
            if (watched != CmdBits[static_cast<size_t>(i)]) continue;
            if (key == Qt::Key_Left && i < 15)
                CmdBits[static_cast<size_t>(i + 1)]->setFocus();
            else if (key == Qt::Key_Right && i > 0)
                CmdBits[static_cast<size_t>(i - 1)]->setFocus();
            else
                return false;
            return true;
        }
    }
    return false;
}

int16_t FrmHexBit::ExecValue(int16_t value, const std::string& name) {
    QPointer<FrmHexBit> w = new FrmHexBit(QApplication::activeWindow());
    w->result_ = value;
    w->SetBits(value);
    w->ShowBits(value);
    w->msg->setText(QString::fromStdString(name));
    w->adjustSize();
    if (QWidget* main = w->parentWidget()) {
        const QRect m = main->frameGeometry();
        w->move(m.x() + m.width() / 2 - w->width() / 2, m.y() + m.height() / 2 - w->height() / 2);
    }
    if (Hook())
        Hook()(*w);
    else
        w->exec();
    if (!w) return value;
    const int16_t r = w->result() == QDialog::Accepted ? w->result_ : value;
    plat::UnregisterForm(w);
    w->deleteLater();
    return r;
}

int16_t FrmHexBit::Exec(int16_t number) {
    if (number < 0 || number >= PrmCnt) return 0;
    return ExecValue(PrmVal[number], PrmAttr[number].name);
}

int16_t FrmHexBit::ExecPop(int16_t number) {
    if (number < 0 || number >= PopPrmCnt) return 0;
    const PopPrmRec& p = Pop16Prm[number];
    return ExecValue(static_cast<int16_t>(p.Value), p.Name);
}
