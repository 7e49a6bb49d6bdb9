#include "frequency/FrmSokuTei.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

#include "app/FrmCaution.h"
#include "app/FrmDrvErr.h"
#include "app/Glb.h"
#include "app/Log.h"
#include "app/Uty.h"
#include "comm/CmdReq.h"
#include "comm/Com.h"
#include "comm/ComCore.h"
#include "comm/ComGlb.h"
#include "comm/ComGuard.h"
#include "comm/ComReq.h"
#include "comm/ComStatus.h"
#include "frequency/FrqHelp.h"
#include "frequency/FrqMeasure.h"
#include "platform/Ask.h"
#include "platform/FormRegistry.h"
#include "platform/Numbers.h"

namespace {

constexpr const char* kTitle = "Measurement of the frequency characteristics";
constexpr int kTransferMs = 25;
constexpr int kMaxPage = 255; // the page counter travels in one byte

FrmSokuTei::ShowHook& Hook() {
    static FrmSokuTei::ShowHook hook;
    return hook;
}

void Log(const std::string& text) {
    log(text, LogOther);
}

int IntOf(const QLineEdit* box) {
    return static_cast<int>(plat::RoundHalfEven(plat::LeadingNumber(box->text().toStdString())));
}

void Tell(const char* text, const char* title) {
    plat::MsgBox(text, plat::Buttons::Ok, plat::Icon::Exclamation, title);
}

} // namespace

FrmSokuTei::ShowHook FrmSokuTei::SetShowHook(ShowHook hook) {
    ShowHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

FrmSokuTei::FrmSokuTei(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmSokuTei"));
    setWindowTitle(QStringLiteral("Measurement"));
    auto edit = [this](const char* name, const char* tip) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setToolTip(QString::fromLatin1(tip));
        e->setAlignment(Qt::AlignRight);
        e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("-00000")) + 16);
        e->installEventFilter(this);
        connect(e, &QLineEdit::textChanged, this, [this, e] {
            ChkCondRange();
            if (e == TxtSmp) {
                const QSignalBlocker block(UpDown1);
                UpDown1->setValue(IntOf(TxtSmp));
            }
        });
        return e;
    };
    TxtAmp = edit("TxtAmp", "Set the amplitude.");
    TxtOff = edit("TxtOff", "Set the offset.");
    TxtSmp = edit("TxtSmp", "Set the sampling rate.");
    UpDown1 = new QSpinBox(this);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setToolTip(QStringLiteral("Increase/decrease the sampling rate."));
    UpDown1->setRange(0, 63);
    UpDown1->setButtonSymbols(QSpinBox::UpDownArrows);
    UpDown1->setFixedWidth(UpDown1->sizeHint().height());
    UpDown1->setStyleSheet(QStringLiteral("QSpinBox { color: transparent; }"));
    connect(UpDown1, &QSpinBox::valueChanged, this, [this](int v) {
        if (IntOf(TxtSmp) != v) TxtSmp->setText(QString::number(v));
    });
    ChkFce = new QCheckBox(this);
    ChkFce->setObjectName(QStringLiteral("ChkFce"));
    ChkFce->setToolTip(QStringLiteral("Set the full-closed."));
    ChkFce->installEventFilter(this);
    connect(ChkFce, &QCheckBox::clicked, this, [this] { ChkCondRange(); });
    const char* const texts[10] = {"Amplitude", "Offset", "Sampling rate", "r/min",   "r/min",
                                   "",          "",       "Full-closed",   "Portion", "Model"};
    for (int i = 0; i < 10; ++i) {
        Lbl1[static_cast<size_t>(i)] = new QLabel(QString::fromUtf8(texts[i]), this);
        Lbl1[static_cast<size_t>(i)]->setObjectName(QStringLiteral("Lbl1_%1").arg(i));
        // The two without a text have no place in the layout: left shown, they would lie over its top.
        Lbl1[static_cast<size_t>(i)]->setVisible(texts[i][0] != '\0');
    }
    FramZyouKen = new QGroupBox(QStringLiteral("Measuring condition"), this);
    FramZyouKen->setObjectName(QStringLiteral("FramZyouKen"));
    auto button = [this](const char* name, const char* text, const char* tip) {
        auto* b = new QPushButton(QString::fromLatin1(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(QString::fromLatin1(tip));
        b->setAutoDefault(false);
        return b;
    };
    CmdZiKkou = button("CmdZiKkou", "Execute the measurement", "Execute measurement.");
    CmdCyuuShi = button("CmdCyuuShi", "Measurement canceled", "Cancel the measurement");
    CmdCancel = button("CmdCancel", "Cancel", "Return to the menu without measuring.");
    CmdHelp = button("CmdHelp", "Help", "Display the explanation.");
    connect(CmdZiKkou, &QPushButton::clicked, this, [this] { CmdZiKkou_Click(); });
    connect(CmdCyuuShi, &QPushButton::clicked, this, [this] { CmdCyuuShi_Click(); });
    connect(CmdCancel, &QPushButton::clicked, this, [this] { CmdCancel_Click(); });
    connect(CmdHelp, &QPushButton::clicked, this, [this] { CmdHelp_Click(); });
    Frame1 = new QGroupBox(QStringLiteral("Cautions"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setToolTip(QStringLiteral("Display the cautions."));
    TxtMsg = new QTextEdit(Frame1);
    TxtMsg->setObjectName(QStringLiteral("TxtMsg"));
    TxtMsg->setReadOnly(true);
    TxtMsg->setToolTip(QStringLiteral("Display the cautions at frequency measurement. Read this carefully."));
    for (size_t i = 0; i < LblMsg.size(); ++i) {
        LblMsg[i] = new QLabel(this);
        LblMsg[i]->setObjectName(QStringLiteral("LblMsg_%1").arg(i));
        LblMsg[i]->setToolTip(QStringLiteral("Explain the operation."));
        LblMsg[i]->setWordWrap(true);
    }
    LblResult = new QLabel(this);
    LblResult->setObjectName(QStringLiteral("LblResult"));
    PbrTenSou = new QProgressBar(this);
    PbrTenSou->setObjectName(QStringLiteral("PbrTenSou"));
    PbrTenSou->setToolTip(QStringLiteral("Show the measuring process."));
    PbrTenSou->setTextVisible(false);
    LblBui = new QLabel(this);
    LblBui->setObjectName(QStringLiteral("LblBui"));
    LblKsy = new QLabel(this);
    LblKsy->setObjectName(QStringLiteral("LblKsy"));
    TimDatPol = new QTimer(this);
    TimDatPol->setObjectName(QStringLiteral("TimDatPol"));
    TimDatPol->setInterval(kTransferMs);
    TimDatPol->setSingleShot(true);
    connect(TimDatPol, &QTimer::timeout, this, [this] { TimDatPol_Timer(); });

    auto* cond = new QGridLayout(FramZyouKen);
    cond->addWidget(Lbl1[0], 0, 0);
    cond->addWidget(TxtAmp, 0, 1);
    cond->addWidget(Lbl1[3], 0, 2);
    cond->addWidget(Lbl1[1], 1, 0);
    cond->addWidget(TxtOff, 1, 1);
    cond->addWidget(Lbl1[4], 1, 2);
    cond->addWidget(Lbl1[2], 2, 0);
    cond->addWidget(TxtSmp, 2, 1);
    cond->addWidget(UpDown1, 2, 2, Qt::AlignLeft);
    cond->addWidget(Lbl1[7], 3, 0);
    cond->addWidget(ChkFce, 3, 1);
    cond->addWidget(Lbl1[8], 4, 0);
    cond->addWidget(LblBui, 4, 1);
    cond->addWidget(Lbl1[9], 5, 0);
    cond->addWidget(LblKsy, 5, 1);
    auto* caution = new QVBoxLayout(Frame1);
    caution->addWidget(TxtMsg);
    TxtMsg->setMinimumSize(TxtMsg->fontMetrics().averageCharWidth() * 48, TxtMsg->fontMetrics().height() * 7);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {CmdZiKkou, CmdCyuuShi, CmdCancel, CmdHelp})
        buttons->addWidget(b);
    buttons->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(FramZyouKen);
    top->addWidget(Frame1, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(LblMsg[0]);
    layout->addWidget(LblMsg[1]);
    layout->addWidget(LblResult);
    layout->addWidget(PbrTenSou);

    plat::RegisterForm("FrmSokuTei", this);
    Form_Load();
}

FrmSokuTei::~FrmSokuTei() {
    // However the window goes, the busy bit and the execution right go with it.
    right_.reset();
    busy_.reset();
    plat::UnregisterForm(this);
}

void FrmSokuTei::Form_Load() {
    QString msg;
    for (int i = 10; i <= 14; ++i) {
        const QString line = QString::fromStdString(AutoMsg[i]);
        msg += (line.startsWith(QChar(0x30FB)) ? line : QStringLiteral(" ") + line) + QStringLiteral("\r\n");
    }
    TxtMsg->setPlainText(msg);
    LblMsg[0]->setText(QString::fromStdString(AutoMsg[16]));
    LblMsg[1]->setText(QString::fromStdString(AutoMsg[17]));
    RetVar = Variant(LoadAdj(adj_, "sokutei.adj"));
    PbrTenSou->setMaximum(FftReqCount + 10);
    SetMeasuring(false);
    LblResult->clear();
}

std::string FrmSokuTei::Exec() {
    Log("Status");
    QPointer<FrmSokuTei> w = new FrmSokuTei(QApplication::activeWindow());
    const FrqCondRec cond = FrqPendingCond();
    w->TxtAmp->setText(QString::number(cond.Amp));
    w->TxtOff->setText(QString::number(cond.Off));
    w->TxtSmp->setText(QString::number(cond.Smp));
    w->UpDown1->setValue(cond.Smp);
    w->LblBui->setText(QString::number(cond.Bui));
    w->LblKsy->setText(QString::number(static_cast<uint32_t>(cond.Kisyu), 16).toUpper());
    const bool fce = cond.FullCloseAvail != 0;
    w->ChkFce->setVisible(fce);
    w->Lbl1[7]->setVisible(fce);
    w->ChkFce->setChecked(fce && cond.FullClose == 1);
    w->ChkCondRange();
    // What Escape puts back until a box has had the focus: the texts the dialog opened with.
    w->saved_ = {w->TxtAmp->text(), w->TxtOff->text(), w->TxtSmp->text()};
    w->savedFce_ = w->ChkFce->isChecked();
    w->result_ = "cancel";
    w->adjustSize();
    if (Hook())
        Hook()(*w);
    else
        w->exec();
    std::string result = w ? w->result_ : std::string("failure");
    if (w) {
        // Closed by the hook or the window system in the middle: the same as Stop.
        if (w->measuring_) {
            w->Stop(false);
            result = w->result_;
        }
        delete w;
    }
    return result;
}

void FrmSokuTei::ChkCondRange() {
    const double amp = plat::LeadingNumber(TxtAmp->text().toStdString());
    const double off = plat::LeadingNumber(TxtOff->text().toStdString());
    const double smp = plat::LeadingNumber(TxtSmp->text().toStdString());
    CmdZiKkou->setEnabled(!measuring_ && FrqCondInRange(amp, off, smp));
}

bool FrmSokuTei::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    const size_t i = watched == TxtAmp ? 0 : watched == TxtOff ? 1 : 2;
    if (event->type() == QEvent::FocusIn) {
        if (box) {
            saved_[i] = box->text();
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
        } else if (watched == ChkFce) {
            savedFce_ = ChkFce->isChecked();
        }
    } else if (event->type() == QEvent::FocusOut && box) {
        ADJ_Ctrl(adj_, box);
        if (box == TxtSmp) UpDown1->setValue(IntOf(TxtSmp));
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            if (box)
                box->setText(saved_[i]);
            else if (watched == ChkFce)
                ChkFce->setChecked(savedFce_);
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            QWidget* next = nullptr;
            if (watched == TxtAmp)
                next = TxtOff;
            else if (watched == TxtOff)
                next = TxtSmp;
            else if (watched == TxtSmp && !ChkFce->isHidden() && ChkFce->isEnabled())
                next = ChkFce;
            else if (CmdZiKkou->isEnabled())
                next = CmdZiKkou;
            if (next) next->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmSokuTei::SetLblResult(const char* text) {
    LblResult->setText(QString::fromUtf8(text));
    LblResult->repaint();
}

void FrmSokuTei::SetMeasuring(bool flag) {
    if (flag) {
        if (!busy_) busy_ = std::make_unique<BusyGuard>(BusyFrequency);
        SetLblResult("Start measurement");
    } else {
        busy_.reset();
        SetLblResult("Measurement completed.");
    }
    measuring_ = flag;
    FramZyouKen->setEnabled(!flag);
    CmdCancel->setEnabled(!flag);
    CmdCyuuShi->setEnabled(flag);
    ChkCondRange();
    if (!flag) TxtAmp->setFocus();
}

void FrmSokuTei::CmdZiKkou_Click() {
    if (!CmdZiKkou->isEnabled()) return;
    result_ = "cancel";
    Log("Start");
    if (!ChkComm(plat::VbTrue, kTitle)) return;
    if (ComBusyGet() != 0) {
        plat::MsgBox("Communication is occupied by other processing. Can't execute.", plat::Buttons::Ok,
                     plat::Icon::Exclamation, kTitle);
        TxtAmp->setFocus();
        return;
    }
    bool ok = false;
    FrmCaution::Exec(5, ok);
    if (ok) FrmCaution::Exec(0, ok);
    if (!ok) {
        TxtAmp->setFocus();
        return;
    }
    Log("－Start measurement－");
    SetMeasuring(true);
    if (!ChkComm(plat::VbFalse, "Communication error")) {
        Log("CmdZiKkou_Click:Amplifier check no good.");
        SetMeasuring(false);
        return;
    }
    right_ = std::make_unique<ExecRightGuard>();
    if (!right_->Take()) {
        right_.reset();
        Log("CmdZiKkou_Click:Execution failed.");
        SetMeasuring(false);
        return;
    }
    result_ = "failure";
    Log("CmdZiKkou_Click:Request measurement:Succeed");
    if (!FrqReqSend()) {
        EndTransfer();
        return;
    }
    page_ = 0;
    torque_ = false;
    ptr_ = 0;
    TimDatPol_Timer();
}

bool FrmSokuTei::FrqReqSend() {
    count_ = FftReqCount;
    // The box's own visibility: the dialog need not be on screen for its state to count.
    const auto req = FrqStartRequest(IntOf(TxtSmp), !ChkFce->isHidden() && ChkFce->isChecked(), IntOf(TxtAmp),
                                     IntOf(TxtOff), count_);
    std::copy(req.begin(), req.end(), SndBuf);
    const bool answered = cmdreq::Request(10, 4, 7, NoErrWindow, 0, 0) != 0;
    if (!answered) {
        Log("TimRcvPol_Timer:Measurement response communication error:Cancel");
        return false;
    }
    Log(std::string("TimRcvPol_Timer:Measurement response:Error code:") + (ComStatus != 0 ? "-1" : "0"));
    if (ComStatus != 0) {
        Log("TimRcvPol_Timer:Measurement response:Response error:Processing stopped");
        if (StatChk(FrqStTorque))
            Tell("Servo alarm is on, and stops measurement.", "Measurement error");
        else
            FrmDrvErr::DspErr(kTitle, 2);
        return false;
    }
    PbrTenSou->setValue(0);
    return true;
}

bool FrmSokuTei::FrqReqZero() {
    const auto req = FrqStartRequest(IntOf(TxtSmp), false, 0, IntOf(TxtOff), FftReqCount);
    std::copy(req.begin(), req.end(), SndBuf);
    RetVar = Variant(cmdreq::Request(10, 4, 7, 0, 0, 0x38));
    return true;
}

void FrmSokuTei::EndTransfer() {
    if (right_) {
        const int16_t released = right_->Release();
        RetVar = Variant(released);
        if (!released) Log("Release of the execution right failed.");
        right_.reset();
    }
    SetMeasuring(false);
}

void FrmSokuTei::TimDatPol_Timer() {
    TimDatPol->stop();
    if (!measuring_) return;
    Log("TimDatPol_Timer:Start");
    Log("TimRcvPol_Timer:Data transfer request");
    SetLblResult(page_ ? "*In-transferring" : "*In-measuring");
    SndBuf[0] = static_cast<uint8_t>(page_);
    const bool answered = cmdreq::Request(10, 5, 1, NoErrWindow, 0, 0) != 0;
    SetLblResult(page_ ? "In-transferring" : "In-measuring");
    if (!measuring_) return; // stopped from the event pump while the request ran
    if (!answered) {
        TimDatPol->start(kTransferMs);
        return;
    }
    const std::string code = ComStatus != 0 ? "-1" : "0";
    Log("TimDatPol_Timer:Transfer response:Error code" + code);
    if (StatChkOther(FrqStAccepted)) {
        if (StatChk(FrqStAlarm))
            Tell("Alarm occurs at measuring.", "Measurement error");
        else
            FrmDrvErr::DspErr("Receipt of measurement result", 2);
        Log("Transfer response:" + code);
        EndTransfer();
        return;
    }
    if (StatChk(FrqStSampling)) {
        Log("TimDatPol_Timer:Transfer response:In-sampling, re-transferring");
        TimDatPol->start(kTransferMs);
        return;
    }
    if (StatChk(FrqStTorque)) {
        Log("TimDatPol_Timer:Transfer response:Torque is saturated:bit add");
        torque_ = true;
    }
    const cmdreq::Reply reply = cmdreq::LastReply();
    Log("TimDatPol_Timer:Transfer response:Reception succeeded");
    Log("TimDatPol_Timer:Data received, bite " + std::to_string(reply.size()) + " Number of blocks " +
        std::to_string(reply.empty() ? 0 : reply[0]));
    ptr_ = FrqStoreWords(SokuTeiRec, ptr_, count_, reply);
    PbrTenSou->setValue(std::min(ptr_, PbrTenSou->maximum()));
    Log("TimDatPol_Timer:DataPtr;" + std::to_string(ptr_) + "PageCnt:" + std::to_string(page_));
    if (ptr_ >= count_) {
        RetVar = Variant(right_ ? right_->Release() : int16_t(-1));
        right_.reset();
        Log("TimDatPol_Timer:Data count becomes " + std::to_string(count_) + " Transference completed. \"");
        if (torque_) Tell("Torque is saturated. Lower the amplitude and re-measure.", "Measurement error");
        SetMeasuring(false);
        FrqCondRec c = SokuTeiRec;
        StoreCond(c);
        c.Points = count_;
        static_cast<FrqCondRec&>(SokuTeiRec) = c;
        FrqNextCondSet = plat::VbFalse;
        result_ = "success";
        Unload();
        return;
    }
    if (page_ >= kMaxPage) {
        // More pages than the counter can name: the amplifier sends fewer words than were asked for.
        Log("TimDatPol_Timer:Page counter exhausted at " + std::to_string(ptr_) + " words");
        Tell("Receipt of measurement result failed.", "Communication error");
        EndTransfer();
        return;
    }
    ++page_;
    // The next page follows as soon as the event pump has run: waiting here would only lengthen the transfer.
    TimDatPol->start(0);
}

void FrmSokuTei::StoreCond(FrqCondRec& c) const {
    c.Amp = IntOf(TxtAmp);
    c.Off = IntOf(TxtOff);
    c.Smp = static_cast<int16_t>(IntOf(TxtSmp));
    c.Bui = 0;
    c.Kisyu = 0;
    c.FullClose = ChkFce->isChecked() ? 1 : 0;
}

void FrmSokuTei::Stop(bool tell) {
    if (PbrTenSou->value() == 0) RetVar = Variant(FrqReqZero());
    EndTransfer();
    Log("ーForced exitー");
    TimDatPol->stop();
    if (tell) Tell("Measurement interrupted.", kTitle);
    SetLblResult("Measurement interrupted.");
}

void FrmSokuTei::CmdCyuuShi_Click() {
    if (measuring_) Stop(true);
}

void FrmSokuTei::CmdCancel_Click() {
    if (measuring_) return;
    FrqCondRec c = FrqPendingCond();
    StoreCond(c);
    FrqStorePendingCond(c);
    Unload();
}

void FrmSokuTei::CmdHelp_Click() {
    ShowHelpFile();
}

void FrmSokuTei::Unload() {
    unloaded_ = true;
    TimDatPol->stop();
    done(0);
}

void FrmSokuTei::closeEvent(QCloseEvent* event) {
    // Closing the window while a measurement runs stops it first; the result stays "failure".
    if (measuring_) Stop(false);
    unloaded_ = true;
    TimDatPol->stop();
    QDialog::closeEvent(event);
}
