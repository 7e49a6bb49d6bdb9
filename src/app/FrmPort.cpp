#include "app/FrmPort.h"

#include "app/ConnectCalls.h"
#include "app/Fit.h"
#include "app/FrmType.h"
#include "app/Glb.h"
#include "app/ModeCode.h"
#include "app/Uty.h"
#include "comm/ComGlb.h"
#include "platform/Ask.h"
#include "platform/FormRegistry.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

std::vector<std::string> PortEntries(int16_t comPortCnt) {
    std::vector<std::string> e{"Auto-set", "COM1"};
    for (int i = 2; i <= comPortCnt; ++i)
        e.push_back("COM" + std::to_string(i));
    return e;
}

std::string PortMessage(int index, const std::string& entryText) {
    if (index == 0)
        return "Check the communication port from COM1, and uses the port where the amplifier is connected.";
    return "Use the [" + entryText + "] terminal of the PC for the communication with the amplifier.";
}

namespace {

QLabel* Msg(const char* name, const char* text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setWordWrap(true);
    // A margin, not an indent: a wrapped label measures its height without the indent and gets cut.
    l->setContentsMargins(20, 0, 0, 0);
    return l;
}

} // namespace

FrmPort::FrmPort(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmPort");
    setModal(true);
    setWindowTitle("Selection of the communication with the amplifier");

    FrmDrv = new QGroupBox("Selection of the communication with the amplifier", this);
    FrmDrv->setObjectName("FrmDrv");
    Opt232 = new QRadioButton("Communicate with the amplifier", FrmDrv);
    Opt232->setObjectName("Opt232");
    Lbl232Msg = Msg("Lbl232Msg", "Communicate with amplifier directly connected with RS232", FrmDrv);
    OptDrv = new QRadioButton("Communicate with the amplifier(via RS485)", FrmDrv);
    OptDrv->setObjectName("OptDrv");
    LblDrvMsg = Msg(
        "LblDrvMsg",
        "Communicate with the amplifier connected by RS485, via the amplifier with axis address(ID) of 0.",
        FrmDrv);
    OptNoDrv = new QRadioButton("No communication", FrmDrv);
    OptNoDrv->setObjectName("OptNoDrv");
    LblNoDrvMsg =
        Msg("LblNoDrvMsg",
            "Execute the command such as parameter filing with PC without communicating with the amplifier.",
            FrmDrv);
    auto* drvLay = new QVBoxLayout(FrmDrv);
    for (QWidget* w : {static_cast<QWidget*>(Opt232), static_cast<QWidget*>(Lbl232Msg),
                       static_cast<QWidget*>(OptDrv), static_cast<QWidget*>(LblDrvMsg),
                       static_cast<QWidget*>(OptNoDrv), static_cast<QWidget*>(LblNoDrvMsg)})
        drvLay->addWidget(w);

    FramPort = new QGroupBox("Selection of the communication port", this);
    FramPort->setObjectName("FramPort");
    LblDrv = new QLabel("Communication port", FramPort);
    LblDrv->setObjectName("LblDrv");
    CmbPort = new QComboBox(FramPort);
    CmbPort->setObjectName("CmbPort");
    CmbPort->setToolTip("Select the communication port to be used.");
    LblComMsg = new QLabel(FramPort);
    LblComMsg->setObjectName("LblComMsg");
    LblComMsg->setWordWrap(true);
    auto* portLay = new QGridLayout(FramPort);
    portLay->addWidget(LblDrv, 0, 0);
    portLay->addWidget(CmbPort, 0, 1);
    portLay->addWidget(LblComMsg, 1, 0, 1, 2);

    CmdOk = new QPushButton("OK", this);
    CmdOk->setObjectName("CmdOk");
    CmdOk->setToolTip("Select the communication and exit this screen.");
    CmdOk->setDefault(true);
    CmdCancel = new QPushButton("Cancel", this);
    CmdCancel->setObjectName("CmdCancel");
    CmdCancel->setToolTip("Return to the previous menu without selection.");
    CmdDataInstall = new QPushButton("Data", this);
    CmdDataInstall->setObjectName("CmdDataInstall");
    CmdDataInstall->setVisible(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CmdDataInstall);
    buttons->addStretch(1);
    buttons->addWidget(CmdOk);
    buttons->addWidget(CmdCancel);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(FrmDrv);
    lay->addWidget(FramPort);
    lay->addLayout(buttons);

    connect(Opt232, &QRadioButton::clicked, this, &FrmPort::Opt232_Click);
    connect(OptDrv, &QRadioButton::clicked, this, &FrmPort::OptDrv_Click);
    connect(OptNoDrv, &QRadioButton::clicked, this, &FrmPort::OptNoDrv_Click);
    connect(CmbPort, &QComboBox::currentIndexChanged, this, &FrmPort::CmbPort_Click);
    connect(CmdOk, &QPushButton::clicked, this, &FrmPort::CmdOk_Click);
    connect(CmdCancel, &QPushButton::clicked, this, &FrmPort::CmdCancel_Click);
    connect(CmdDataInstall, &QPushButton::clicked, this, &FrmPort::CmdDataInstall_Click);

    modeKeys_ = new ModeKeyFilter(ModeDlg::Port, modeBuf_, this);
    modeKeys_->WatchButton(CmdOk);
    modeKeys_->onMode = [this](int16_t level) { CmdDataInstall->setVisible(level == 3); };

    plat::RegisterForm("FrmPort", this);
    Form_Load();
}

FrmPort::~FrmPort() {
    plat::UnregisterForm(this);
}

void FrmPort::Form_Load() {
    FitToContents(this);
    if (QWidget* main = parentWidget() ? parentWidget()->window() : nullptr) {
        const QRect m = main->frameGeometry();
        move(m.left() + m.width() / 2 - width() / 2, m.top() + m.height() / 2 - height() / 2);
    }
    const QSignalBlocker block(CmbPort);
    CmbPort->clear();
    for (const std::string& e : PortEntries(ComPortCnt))
        CmbPort->addItem(QString::fromStdString(e));

    OptDrv->setEnabled(MultiAxisEnable != 0);
    LblDrvMsg->setEnabled(MultiAxisEnable != 0);
    okPressed_ = false;

    switch (LinkKind) {
    case 1:
        Opt232->setChecked(true);
        EnablePortFrame(true);
        break;
    case 2:
        OptDrv->setChecked(true);
        EnablePortFrame(true);
        break;
    case 3:
        OptNoDrv->setChecked(true);
        EnablePortFrame(false);
        break;
    default:
        break; // first run: nothing chosen yet
    }

    // A definition file may have offered fewer ports than the last connection used.
    const int entry = (ComPortNo >= 0 && ComPortNo < CmbPort->count()) ? ComPortNo : 0;
    CmbPort->setCurrentIndex(entry);
    CmbPort_Click();
}

void FrmPort::EnablePortFrame(bool on) {
    FramPort->setEnabled(on);
    LblDrv->setEnabled(on);
    LblComMsg->setEnabled(on);
    CmbPort->setEnabled(on);
}

void FrmPort::Opt232_Click() {
    EnablePortFrame(true);
}
void FrmPort::OptDrv_Click() {
    EnablePortFrame(true);
}
void FrmPort::OptNoDrv_Click() {
    EnablePortFrame(false);
}

void FrmPort::CmbPort_Click() {
    const int i = CmbPort->currentIndex();
    if (i < 0) return;
    LblComMsg->setText(QString::fromStdString(PortMessage(i, CmbPort->itemText(i).toStdString())));
}

int16_t FrmPort::ValidAxis(int16_t id) {
    return Connect().validAxis ? Connect().validAxis(id) : int16_t(-1);
}

void FrmPort::CmdOk_Click() {
    if (StartUpDone != 0) okPressed_ = true;
    if (Opt232->isChecked())
        LinkKind = 1;
    else if (OptDrv->isChecked())
        LinkKind = 2;
    else if (OptNoDrv->isChecked())
        LinkKind = 3;

    switch (LinkKind) {
    case 1:
        Conn232();
        break;
    case 2:
        ConnDrv();
        break;
    case 3:
        ConnNoDrv();
        break;
    default:
        break;
    }
}

bool FrmPort::ChooseSeriesAndDetect() {
    // Detection and the axis windows come with the communication layer; say so before asking anything.
    if (!OnlineConnectAvailable()) {
        ReportNotAvailable("Communication with the amplifier");
        return false;
    }
    TypeSelMode = 1;
    ShowFrmType(this);
    if (DlgResult == 0) return false;
    int16_t port = static_cast<int16_t>(CmbPort->currentIndex() < 0 ? 0 : CmbPort->currentIndex());
    int32_t baud = BaudTbl[0];
    Connect().hanTeiExec(port, baud);
    return DlgResult != 0;
}

void FrmPort::Conn232() {
    if (!ChooseSeriesAndDetect()) return;
    if (!Connect().set232Axis()) {
        ConnClose();
        return;
    }
    DlgResult = -1;
    Unload();
}

void FrmPort::ConnDrv() {
    if (!ChooseSeriesAndDetect()) return;
    if (ValidAxis(0) != 0) {
        plat::MsgBox("No connection. 485 communication is for amplifier.", plat::Buttons::Ok,
                     plat::Icon::None, "Connects with the amplifier.");
        ConnClose();
        return;
    }
    Connect().showFrmAxis();
    if (DlgResult != 0) {
        DlgResult = -1;
        Unload();
    } else {
        ConnClose();
    }
}

void FrmPort::ConnNoDrv() {
    TypeSelMode = 2;
    ShowFrmType(this);
    if (DlgResult == 0) return;
    MenuSetEnable();
    DlgResult = -1;
    ConnClose();
    Unload();
}

void FrmPort::CmdCancel_Click() {
    if (okPressed_) {
        if (MsgYesNo("Can't cancel.  Do you exit Mevalo ?", "Selecting the connection with the amplifier.")) {
            DlgResult = 123;
            Unload();
        } else {
            plat::MsgBox("Click the <OK> button after selecting the connection.", plat::Buttons::Ok,
                         plat::Icon::None, "Select the connection with the amplifier.");
        }
        return;
    }
    DlgResult = 0;
    Unload();
}

void FrmPort::reject() {
    CmdCancel_Click();
}

void FrmPort::CmdDataInstall_Click() {
    if (!Connect().dataInstall) {
        ReportNotAvailable("The data installer");
        return;
    }
    // The installer's source: the folder that stands for the first drive.
    RetVar = Connect().dataInstall("A:", false);
    DlgResult = 7;
    Unload();
}

void FrmPort::Unload() {
    hide();
    done(0);
}

void ShowFrmPort(QWidget* parent) {
    FrmPort f(parent);
    f.exec();
}
