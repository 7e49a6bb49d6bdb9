#include "app/FrmAxis.h"

#include "app/Fit.h"
#include "app/ConnectCalls.h"
#include "app/Frame.h"
#include "app/FrmHanTei.h"
#include "app/Glb.h"
#include "app/Mevalo.h"
#include "app/SetModel.h"
#include "app/Uty.h"
#include "comm/Com.h"
#include "comm/ComCore.h"
#include "comm/ComGlb.h"
#include "comm/ComReq.h"
#include "data/PrmGlb.h"
#include "data/PrmTbl.h"
#include "platform/Ask.h"
#include "platform/EndProgram.h"
#include "platform/FormRegistry.h"
#include "platform/Library.h"
#include "comm/SpektApi.h"
#include "positioning/PopGlb.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int AxisCnt = 16;
constexpr int16_t AxisLast = 15;

using spekt::BtoS;

void Message(const std::string& text, const std::string& title) {
    plat::MsgBox(text, plat::Buttons::Ok, plat::Icon::None, title);
}

bool IsAxis(int16_t r) {
    return r >= 0 && r <= AxisLast;
}

// Keeps busy bit 0x20 set for its lifetime: the axis window's load and unload.
class AxisBusy {
  public:
    AxisBusy() { ComBusySet(BusyAxisDialog); }
    ~AxisBusy() {
        UpdCaption();
        ComBusyClr(BusyAxisDialog);
    }
    AxisBusy(const AxisBusy&) = delete;
    AxisBusy& operator=(const AxisBusy&) = delete;
};

void NoticeOtherScreens() {
    const AxisScreenCalls& c = AxisScreens();
    CallUpdAxis("FrmPom", c.pomUpdAxis);
    CallUpdAxis("FrmMoni", c.moniUpdAxis);
    CallUpdAxis("FrmAuto", c.autoUpdAxis);
}

// What the open parameter editor shows after the model set-up replaced its values with the presets: the new
// axis read again when the load dialog asked for it, else the values kept before the change when the user
// wanted them, else the presets with a notice.
void ParaAfterAxisChange(int16_t keepPrm) {
    if (!IsFrmLoad("FrmPara")) return;
    if (PrmFlg != 0) {
        CallUpdAxis("FrmPara", AxisScreens().paraUpdAxis);
        return;
    }
    if (keepPrm != 0) {
        LoadPrmFromAxis(0);
        if (Prm32Cnt != 0) LoadPrm32FromAxis(0);
        SetPrmSrc(2, AxisMsg::KeptSource);
    } else {
        Message(AxisMsg::PrmDefault, AxisMsg::ChangeTitle);
    }
    PrmFlg = 0;
    PrmIsAmp = 0;
}

} // namespace

int16_t ValidAxis(int16_t id) {
    SndAxis = id;
    SndCmd = 11;
    SndMode = 0;
    SndLen = 1;
    SndBuf[0] = 0;
    if (!ComCmd(SndAxis, SndCmd, SndMode, SndLen, NoErrWindow, 0, 0xFF)) return -1;
    // Two data bytes and the status; anything shorter carries no address.
    if (SndLen < 3) return -1;
    return BtoS(RcvBuf[1], RcvBuf[0]);
}

int16_t SearchAxis(const std::function<void()>& redraw) {
    auto draw = [&] {
        if (redraw) redraw();
    };
    ComSetTime(ComTime[1].T1, ComTime[1].T2, ComTime[1].Retry);
    for (int i = 0; i < AxisCnt; ++i)
        AxisTxt[i].clear();
    int16_t result = -1;

    UpdStat(AxisMsg::Searching);
    UpdPbar(0, AxisLast);
    AxisTxt[0] = AxisText::Searching;
    draw();
    const int16_t r = ValidAxis(0);
    AxisTxt[0].clear();
    draw();

    if (r >= 1 && r <= AxisLast) {
        // Address 0 passes the line on to one amplifier only: no scan.
        AxisTxt[r] = AxisText::Connected;
        draw();
        result = r;
    } else if (r == 0) {
        AxisTxt[0] = AxisText::Connected;
        draw();
        result = 0;
        for (int16_t i = 1; i <= AxisLast; ++i) {
            UpdStat(AxisMsg::Searching);
            UpdPbar(i, AxisLast);
            AxisTxt[i] = AxisText::Searching;
            draw();
            const int16_t a = ValidAxis(i);
            AxisTxt[i] = a == i ? AxisText::Connected : "";
            draw();
        }
    }
    ComSetTimeDef();
    return result;
}

int16_t AxisSelection(int16_t axisNo, int16_t searchResult) {
    if (axisNo == -1) return searchResult;
    if (IsAxis(axisNo) && !AxisTxt[axisNo].empty()) return axisNo;
    return searchResult;
}

std::string AxisCaption(int i) {
    return std::to_string(i) + ":" + AxisTxt[i];
}

bool CheckAxis(int16_t id) {
    ComSetTimeDef();
    const int16_t r = ValidAxis(0);
    if (!IsAxis(r)) return false;
    if (r != id && ValidAxis(id) != id) return false;
    return true;
}

bool Set232Axis() {
    const AxisBusy busy;
    const int16_t r = ValidAxis(0);
    if (!IsAxis(r)) {
        Message(AxisMsg::NoAnswer232, AxisMsg::CommTitle);
        return false;
    }
    const bool changed = AxisNo != r;
    const ModelSnapshot before;
    AxisNo = r;
    // The set-up loads the presets over the editor's values, whether the address changed or not.
    SavePrmToAxis(0);
    if (Prm32Cnt != 0) SavePrm32ToAxis(0);
    int16_t keepPrm = 0;
    int16_t keepPop = 0;
    const SetModelStage stage = RunSetModel(AxisNo, keepPrm, keepPop);
    if (stage != SetModelStage::Done) {
        const bool failed = stage == SetModelStage::Failed;
        before.Restore(failed);
        if (failed) {
            LoadPrmFromAxis(0);
            if (Prm32Cnt != 0) LoadPrm32FromAxis(0);
        }
        return false;
    }
    MenuSetEnable();
    CallCheckPoints();
    // Until the editor has read the new axis its values are the presets.
    if (IsFrmLoad("FrmPara") && PrmFlg != 0) SetPrmSrc(3, "");
    ParaAfterAxisChange(keepPrm);
    if (changed) {
        if (IsFrmLoad("FrmPop")) {
            SetPopDataSource(3, "");
            CallUpdAxis("FrmPop", AxisScreens().popUpdAxis);
        }
        NoticeOtherScreens();
    }
    return true;
}

bool AxisChangeOk(int16_t sel, const std::function<void(int16_t)>& redraw) {
    if (!CheckAxis(sel)) {
        Message(AxisMsg::NoAnswerAtOk, AxisMsg::CommTitle);
        if (IsAxis(sel)) AxisTxt[sel].clear();
        if (redraw) redraw(sel);
        return false;
    }
    // The new address takes effect for the model set-up's own requests; it stays only when the set-up
    // succeeds, so that the axis and its model are never apart.
    const ModelSnapshot before;
    AxisNo = sel;
    SavePrmToAxis(0);
    if (Prm32Cnt != 0) SavePrm32ToAxis(0);
    BackupPopData();

    int16_t keepPrm = 0;
    int16_t keepPop = 0;
    const SetModelStage stage = RunSetModel(sel, keepPrm, keepPop, redraw);
    if (stage != SetModelStage::Done) {
        const bool changed = stage == SetModelStage::Failed;
        before.Restore(changed);
        if (changed) {
            LoadPrmFromAxis(0);
            if (Prm32Cnt != 0) LoadPrm32FromAxis(0);
            RestorePopData();
        }
        return false;
    }

    MenuSetEnable();
    CallCheckPoints();
    const AxisScreenCalls& c = AxisScreens();
    ParaAfterAxisChange(keepPrm);
    if (IsFrmLoad("FrmPop")) {
        if (PopFlg != 0) {
            CallUpdAxis("FrmPop", c.popUpdAxis);
        } else {
            if (keepPop != 0) {
                RestorePopData();
                SetPopDataSource(2, AxisMsg::KeptSource);
            } else {
                Message(AxisMsg::PopDefault, AxisMsg::ChangeTitle);
            }
            PopFlg = 0;
            PopIsAmp = 0;
        }
    }
    NoticeOtherScreens();
    DlgResult = -1;
    return true;
}

AxisCancel AxisCancelAction(bool startUpDone, bool okPressed) {
    if (!startUpDone || !okPressed) return AxisCancel::Unload;
    if (MsgYesNo(AxisMsg::CantCancel, AxisMsg::CantCancelTitle)) return AxisCancel::Quit;
    Message(AxisMsg::ClickOk, AxisMsg::WindowTitle);
    return AxisCancel::Stay;
}

// ---- window ---------------------------------------------------------------------------------------

FrmAxis::FrmAxis(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmAxis");
    setModal(true);
    setWindowTitle(AxisMsg::WindowTitle);

    Label1 = new QLabel("Select the axis address(ID) of the amplifier to be communicated.", this);
    Label1->setObjectName("Label1");
    Frame1 = new QGroupBox("Axis address(ID)", this);
    Frame1->setObjectName("Frame1");
    auto* group = new QButtonGroup(this);
    group->setObjectName("OptAxisGroup");
    auto* grid = new QGridLayout(Frame1);
    for (int i = 0; i < AxisCnt; ++i) {
        OptAxis[i] = new QRadioButton(Frame1);
        OptAxis[i]->setObjectName(QString("OptAxis_%1").arg(i));
        OptAxis[i]->setToolTip("Select the axis address(ID) to be used.(display the status of each axis.)");
        group->addButton(OptAxis[i], i);
        grid->addWidget(OptAxis[i], i % 8, i / 8);
    }
    Label2 = new QLabel("Click the <Search> button when checking the connecting amplifier.", this);
    Label2->setObjectName("Label2");
    Label3 =
        new QLabel("If there is discrepancy in quantity between the connecting amplifiers and the confirmed "
                   "ones, there may be a miss-setting of the RSW of the amplifier. Check it again.",
                   this);
    Label3->setObjectName("Label3");
    Label3->setWordWrap(true);

    CmdReScan = new QPushButton("Search", this);
    CmdReScan->setObjectName("CmdReScan");
    CmdReScan->setToolTip("Survey the axis address(ID).(take some time.)");
    CmdOk = new QPushButton("OK", this);
    CmdOk->setObjectName("CmdOk");
    CmdOk->setToolTip("Exit this screen after setting the axis address(ID).");
    CmdOk->setDefault(true);
    CmdCancel = new QPushButton("Cancel", this);
    CmdCancel->setObjectName("CmdCancel");
    CmdCancel->setToolTip("Exit this screen without setting the axis address(ID).");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CmdReScan);
    buttons->addStretch(1);
    buttons->addWidget(CmdOk);
    buttons->addWidget(CmdCancel);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(Label1);
    lay->addWidget(Frame1);
    lay->addWidget(Label2);
    lay->addWidget(Label3);
    lay->addLayout(buttons);

    connect(CmdReScan, &QPushButton::clicked, this, &FrmAxis::CmdReScan_Click);
    connect(CmdOk, &QPushButton::clicked, this, &FrmAxis::CmdOk_Click);
    connect(CmdCancel, &QPushButton::clicked, this, &FrmAxis::CmdCancel_Click);

    plat::RegisterForm("FrmAxis", this);
    Form_Load();
}

FrmAxis::~FrmAxis() {
    Unload();
    plat::UnregisterForm(this);
}

void FrmAxis::Form_Load() {
    ComBusySet(BusyAxisDialog);
    loaded_ = true;
    okPressed_ = false;
    FitToContents(this);
    if (QWidget* main = parentWidget() ? parentWidget()->window() : nullptr) {
        const QRect m = main->frameGeometry();
        move(m.left() + m.width() / 2 - width() / 2, m.top() + m.height() / 2 - height() / 2);
    }
    SetAxisCaption(AxisNo);
}

void FrmAxis::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    Form_Activate();
}

void FrmAxis::Form_Activate() {
    SetAxisCaption(AxisNo);
}

void FrmAxis::SetAxisCaption(int16_t selected) {
    // Without exclusivity for a moment, so that no button at all can be selected (no axis chosen yet).
    for (int i = 0; i < AxisCnt; ++i)
        OptAxis[i]->setAutoExclusive(false);
    for (int i = 0; i < AxisCnt; ++i) {
        OptAxis[i]->setText(QString::fromStdString(AxisCaption(i)));
        OptAxis[i]->setChecked(i == selected);
    }
    for (int i = 0; i < AxisCnt; ++i)
        OptAxis[i]->setAutoExclusive(true);
    repaint();
}

int16_t FrmAxis::Selected() const {
    for (int i = 0; i < AxisCnt; ++i)
        if (OptAxis[i]->isChecked()) return static_cast<int16_t>(i);
    return 0;
}

void FrmAxis::RunAxisSearch() {
    CmdOk->setEnabled(false);
    CmdCancel->setEnabled(false);
    CmdReScan->setEnabled(false);
    const int16_t shown = Selected();
    const int16_t r = SearchAxis([this, shown] { SetAxisCaption(shown); });
    SetAxisCaption(AxisSelection(AxisNo, r));
    CmdOk->setEnabled(true);
    CmdCancel->setEnabled(true);
    CmdReScan->setEnabled(true);
}

void FrmAxis::CmdReScan_Click() {
    RunAxisSearch();
}

void FrmAxis::CmdOk_Click() {
    okPressed_ = true;
    if (AxisChangeOk(Selected(), [this](int16_t s) { SetAxisCaption(s); })) Unload();
}

void FrmAxis::CmdCancel_Click() {
    switch (AxisCancelAction(StartUpDone != 0, okPressed_)) {
    case AxisCancel::Unload:
        DlgResult = 0;
        Unload();
        break;
    case AxisCancel::Quit:
        Unload();
        if (Mevalo* main = Mevalo::Instance()) main->bye();
        plat::EndProgram(0);
    case AxisCancel::Stay:
        break;
    }
}

void FrmAxis::reject() {
    CmdCancel_Click();
}

void FrmAxis::Unload() {
    if (!loaded_) return;
    loaded_ = false;
    UpdCaption();
    ComBusyClr(BusyAxisDialog);
    if (isVisible()) done(0);
}

void ShowFrmAxis(QWidget* parent) {
    FrmAxis f(parent);
    f.exec();
}

void WireConnectSteps() {
    ConnectCalls& c = Connect();
    c.hanTeiExec = [](int16_t& port, int32_t& baud) { FrmHanTei::Exec(port, baud); };
    c.set232Axis = [] { return Set232Axis(); };
    c.validAxis = [](int16_t id) { return ValidAxis(id); };
    c.showFrmAxis = [] { ShowFrmAxis(Mevalo::Instance()); };
}
