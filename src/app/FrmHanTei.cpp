#include "app/FrmHanTei.h"

#include "app/Fit.h"
#include "app/Frame.h"
#include "app/Glb.h"
#include "app/Log.h"
#include "app/Uty.h"
#include "comm/Com.h"
#include "comm/ComCore.h"
#include "comm/ComGlb.h"
#include "comm/ComReq.h"
#include "platform/Ask.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

std::string HanTeiTryText(int16_t port, int32_t rate) {
    return "COM" + std::to_string(port) + "  " + std::to_string(rate) + "bps";
}

std::string HanTeiAskText(int16_t port) {
    return "Detect the amplifier at COM" + std::to_string(port) + ". Do you connect ?";
}

bool HanTeiScan::TryBaud(int16_t p, int32_t rate) {
    if (pump) pump();
    if (cancelled && cancelled()) return false;
    if (showTry) showTry(HanTeiTryText(p, rate));

    ComClose();
    if (!ComPortOpen(p, rate)) return false;
    SndAxis = 0;
    SndCmd = 0;
    SndMode = 0;
    SndLen = 0;
    const bool answered = ComCmd(SndAxis, SndCmd, SndMode, SndLen, NoErrWindow, 0, 0) != 0;
    ComClose();
    return answered && !StatChk(0x80);
}

bool HanTeiScan::ScanPort(int16_t p) {
    const int32_t cnt = std::clamp<int32_t>(BaudCnt, 0, BaudTblSize);
    for (int32_t i = 0; i < cnt; ++i) {
        log("ChkBaud" + std::to_string(p) + " BaudRate" + std::to_string(BaudTbl[i]), LogDebug);
        if (TryBaud(p, BaudTbl[i])) {
            baud = BaudTbl[i];
            found = true;
            return true;
        }
    }
    return false;
}

void HanTeiScan::ScanAmp() {
    found = false;
    if (port != 0) {
        ScanPort(port);
        return;
    }
    for (int16_t p = 1; p <= ComPortCnt; ++p) {
        if (ScanPort(p)) {
            port = p;
            return;
        }
    }
}

void HanTeiExecWith(int16_t& port, int32_t& baud, const std::function<void(HanTeiScan&)>& scan) {
    DlgResult = 0;
    HanTeiScan s;
    s.port = port;
    s.baud = baud;
    ComClose();
    scan(s);

    bool connected = false;
    if (!s.found) {
        plat::MsgBox(HanTeiMsg::NotFound, plat::Buttons::Ok, plat::Icon::None, HanTeiMsg::NotFoundTitle);
        ComClose();
    } else if (MsgYesNo(HanTeiAskText(s.port), HanTeiMsg::AskTitle)) {
        // ComOpen tells the user itself when the port cannot be had; that is a detection that failed.
        const int16_t opened = ComOpen(s.port, s.baud);
        RetVar = Variant(opened);
        connected = opened != 0;
    }
    if (connected) {
        port = s.port;
        baud = s.baud;
        ComPortNo = s.port;
        ComBaud = s.baud;
        DlgResult = -1;
    } else {
        ComClose();
        port = 0;
        baud = 0;
        ComPortNo = 0;
        ComBaud = 0;
    }
    UpdCaption();
}

// ---- window ---------------------------------------------------------------------------------------

FrmHanTei::FrmHanTei(HanTeiScan& scan, QWidget* parent) : QDialog(parent), scan_(scan) {
    setObjectName("FrmHanTei");
    setModal(true);
    setWindowTitle("Wait");

    Label1 = new QLabel("Surveying the amplifier connection.", this);
    Label1->setObjectName("Label1");
    Label1->setToolTip(
        "Surveying the amplifier connection. Exit the Mevalo with CTRL + ALT + DEL keys at hang-up.");
    LblPort = new QLabel(this);
    LblPort->setObjectName("LblPort");
    LblPort->setToolTip("Display the survey status.");
    LblPort->setMinimumWidth(200);
    CmdCancel = new QPushButton("Cancel", this);
    CmdCancel->setObjectName("CmdCancel");
    CmdCancel->setToolTip("Interrupt the communication confirmation. Allow some time.");

    auto* lay = new QVBoxLayout(this);
    lay->addWidget(Label1);
    lay->addWidget(LblPort);
    lay->addWidget(CmdCancel, 0, Qt::AlignHCenter);
    connect(CmdCancel, &QPushButton::clicked, this, &FrmHanTei::CmdCancel_Click);

    scan_.pump = [] { QApplication::processEvents(); };
    scan_.cancelled = [this] { return !CmdCancel->isEnabled(); };
    scan_.showTry = [this](const std::string& text) {
        LblPort->setText(QString::fromStdString(text));
        repaint();
    };

    FitToContents(this);
    if (QScreen* screen = QApplication::primaryScreen()) {
        const QRect r = screen->availableGeometry();
        move(r.center() - rect().center());
    }
}

FrmHanTei::~FrmHanTei() {
    // The scan outlives the window; its calls must not reach a window that is gone.
    scan_.pump = nullptr;
    scan_.cancelled = nullptr;
    scan_.showTry = nullptr;
}

void FrmHanTei::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (started_) return;
    started_ = true;
    // The scan starts once the window is on screen, from the event loop of its modal display.
    QTimer::singleShot(0, this, &FrmHanTei::Form_Activate);
}

void FrmHanTei::Form_Activate() {
    scan_.ScanAmp();
    done(0);
}

void FrmHanTei::CmdCancel_Click() {
    CmdCancel->setEnabled(false);
}

void FrmHanTei::reject() {
    CmdCancel_Click();
}

void FrmHanTei::Exec(int16_t& port, int32_t& baud) {
    HanTeiExecWith(port, baud, [](HanTeiScan& scan) {
        FrmHanTei f(scan, QApplication::activeWindow());
        f.exec();
    });
}
