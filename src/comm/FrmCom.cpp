#include "comm/FrmCom.h"

#include "app/ConnectCalls.h"
#include "app/Frame.h"
#include "app/Glb.h"
#include "app/MainLogic.h"
#include "app/Mevalo.h"
#include "comm/Com.h"
#include "comm/ComGlb.h"
#include "platform/FormRegistry.h"
#include "platform/Numbers.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>
#include <iterator>
#include <limits>
#include <tuple>

// ---- decisions -------------------------------------------------------------------------------------

int ComRateIndex(int32_t rate) {
    for (int i = 1; i < static_cast<int>(std::size(ComRates)); ++i)
        if (ComRates[i] == rate) return i;
    return 0;
}

int32_t ComRateOf(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(ComRates))) return ComRates[0];
    return ComRates[index];
}

std::string ComT1Text(int32_t t1Ms) {
    return std::to_string(t1Ms / 100);
}

std::string ComT2Text(int32_t t2Ms) {
    return std::to_string(t2Ms / 1000);
}

int32_t ComMsFromText(const std::string& text, int32_t unitMs) {
    const double v = plat::RoundHalfEven(plat::LeadingNumber(text) * unitMs);
    if (std::isnan(v)) return 0;
    if (v <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (v >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(v);
}

int16_t ComRetryFromText(const std::string& text) {
    const double v = plat::RoundHalfEven(plat::LeadingNumber(text));
    if (std::isnan(v)) return 0;
    if (v <= -32768.0) return -32768;
    if (v >= 32767.0) return 32767;
    return static_cast<int16_t>(v);
}

void ComSetup::Load() {
    oldPort_ = ComPortNo;
    oldBaud_ = ComBaud;
    t1Shown_ = ComT1Text(ComT1);
    t2Shown_ = ComT2Text(ComT2);
}

bool ComSetup::Ok(const Input& in) {
    if (in.t1 != t1Shown_) ComT1 = ComMsFromText(in.t1, 100);
    if (in.t2 != t2Shown_) ComT2 = ComMsFromText(in.t2, 1000);
    ComRetry = ComRetryFromText(in.retry);
    // Should the dialog stay open, the same texts pressed again mean the times just stored.
    t1Shown_ = in.t1;
    t2Shown_ = in.t2;

    const int32_t rate = ComRateOf(in.rateIndex);
    const int16_t port = static_cast<int16_t>(in.portIndex < 0 ? 0 : in.portIndex + 1);

    if (port != 0) {
        if (!Connect().hanTeiExec) {
            ReportNotAvailable("The communication test");
            return false;
        }
        // The test reports the port and rate it found; the link is set up with the ones chosen here.
        int16_t testPort = port;
        int32_t testBaud = rate;
        DlgResult = 0;
        Connect().hanTeiExec(testPort, testBaud);
        if (DlgResult != -1) return false;
    }

    ComPortNo = port;
    ComBaud = rate;
    ComClose();
    if (ComPortNo != 0) ComOpen(ComPortNo, ComBaud);
    UpdCaption();
    return true;
}

void ComSetup::Cancel() {
    ComPortNo = oldPort_;
    ComBaud = oldBaud_;
    ComClose();
    if (ComPortNo != 0) ComOpen(ComPortNo, ComBaud);
}

// ---- window ----------------------------------------------------------------------------------------

namespace {

QLabel* Label(const char* name, const char* text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QLineEdit* Box(const char* name, const char* tip, QWidget* parent) {
    auto* b = new QLineEdit(parent);
    b->setObjectName(name);
    b->setToolTip(tip);
    b->setAlignment(Qt::AlignRight);
    return b;
}

} // namespace

FrmCom::FrmCom(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmCom");
    setModal(true);
    setWindowTitle("Communication set-up at PC");

    Frame1 = new QGroupBox("RS232 setting", this);
    Frame1->setObjectName("Frame1");
    Label1 = Label("Label1", "RS232 port:", Frame1);
    rs232c = new QComboBox(Frame1);
    rs232c->setObjectName("rs232c");
    rs232c->setToolTip(
        "Select the communication port. There are some limitation depending on PC model. Read the manual.");
    Label2 = Label("Label2", "Communication speed:", Frame1);
    borate = new QComboBox(Frame1);
    borate->setObjectName("borate");
    borate->setToolTip("Select the communication speed.");
    for (int32_t r : ComRates)
        borate->addItem(QString::number(r));
    auto* g1 = new QGridLayout(Frame1);
    g1->addWidget(Label1, 0, 0);
    g1->addWidget(rs232c, 0, 1);
    g1->addWidget(Label2, 1, 0);
    g1->addWidget(borate, 1, 1);

    Frame2 = new QGroupBox("Protocol setting", this);
    Frame2->setObjectName("Frame2");
    Label3 = Label("Label3", "Time-out period T1:", Frame2);
    time1 = Box("time1", "Set time out period between characters.", Frame2);
    Label4 = Label("Label4", "X 0.1 sec", Frame2);
    Label5 = Label("Label5", "Time-out period T2:", Frame2);
    time2 = Box("time2", "Set the time out period of the protocol.", Frame2);
    Label6 = Label("Label6", "Sec", Frame2);
    Label7 = Label("Label7", "Retry times:", Frame2);
    retry = Box("retry", "Set the retry times.", Frame2);
    Label8 = Label("Label8", "times", Frame2);
    auto* g2 = new QGridLayout(Frame2);
    int row = 0;
    for (auto [l, b, u] : {std::tuple{Label3, time1, Label4}, std::tuple{Label5, time2, Label6},
                           std::tuple{Label7, retry, Label8}}) {
        g2->addWidget(l, row, 0);
        g2->addWidget(b, row, 1);
        g2->addWidget(u, row, 2);
        ++row;
    }

    ok = new QPushButton("OK", this);
    ok->setObjectName("ok");
    ok->setToolTip("Activate the change, and exit the sceen.");
    ok->setDefault(true);
    cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cancel");
    cancel->setToolTip("Inactivate the change, and exit the screen.");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* lay = new QVBoxLayout(this);
    lay->addWidget(Frame1);
    lay->addWidget(Frame2);
    lay->addLayout(buttons);

    for (QLineEdit* b : {time1, time2, retry})
        b->installEventFilter(this);
    connect(ok, &QPushButton::clicked, this, &FrmCom::ok_Click);
    connect(cancel, &QPushButton::clicked, this, &FrmCom::cancel_Click);

    plat::RegisterForm("FrmCom", this);
    Form_Load();
}

FrmCom::~FrmCom() {
    plat::UnregisterForm(this);
}

void FrmCom::Form_Load() {
    LoadAdj(adj_, "com.adj");
    if (QWidget* main = parentWidget() ? parentWidget()->window() : nullptr) {
        adjustSize();
        const QRect m = main->frameGeometry();
        move(m.left() + m.width() / 2 - width() / 2, m.top() + m.height() / 2 - height() / 2);
    }
    setup_.Load();

    rs232c->clear();
    for (int i = 1; i <= ComPortCnt; ++i)
        rs232c->addItem(QString("COM%1").arg(i));
    // A port beyond the offered ones (a shorter list in another definition file) selects nothing.
    rs232c->setCurrentIndex(ComPortNo >= 1 && ComPortNo <= rs232c->count() ? ComPortNo - 1 : -1);
    borate->setCurrentIndex(ComRateIndex(ComBaud));

    time1->setText(QString::fromStdString(setup_.LoadedT1()));
    time2->setText(QString::fromStdString(setup_.LoadedT2()));
    retry->setText(QString::number(ComRetry));
    for (int i = 0; i < 3; ++i)
        remembered_[i] = (i == 0 ? time1 : i == 1 ? time2 : retry)->text().toStdString();
}

void FrmCom::Box_GotFocus(QLineEdit* box) {
    const int i = box == time1 ? 0 : box == time2 ? 1 : 2;
    remembered_[i] = box->text().toStdString();
}

void FrmCom::Box_KeyPress(QLineEdit* box, int key) {
    if (key != Qt::Key_Escape) return;
    const int i = box == time1 ? 0 : box == time2 ? 1 : 2;
    box->setText(QString::fromStdString(remembered_[i]));
}

void FrmCom::Box_LostFocus(QLineEdit* box) {
    ADJ_Ctrl(adj_, box);
}

bool FrmCom::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && (box == time1 || box == time2 || box == retry)) {
        // Focus that comes and goes with the whole window (another window activated, a menu) is no
        // entering or leaving of the box.
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            const Qt::FocusReason why = static_cast<QFocusEvent*>(event)->reason();
            if (why == Qt::ActiveWindowFocusReason || why == Qt::PopupFocusReason)
                return QDialog::eventFilter(watched, event);
        }
        switch (event->type()) {
        case QEvent::FocusIn:
            Box_GotFocus(box);
            break;
        case QEvent::FocusOut:
            Box_LostFocus(box);
            break;
        case QEvent::KeyPress:
            // Esc belongs to the box: it takes the edit back and must not reach the dialog as Cancel.
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                Box_KeyPress(box, Qt::Key_Escape);
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmCom::ok_Click() {
    // OK by Enter leaves the focus where it was, so the clamps run here for all three boxes.
    for (QLineEdit* b : {time1, time2, retry})
        ADJ_Ctrl(adj_, b);
    ComSetup::Input in;
    in.t1 = time1->text().toStdString();
    in.t2 = time2->text().toStdString();
    in.retry = retry->text().toStdString();
    in.portIndex = rs232c->currentIndex();
    in.rateIndex = borate->currentIndex();
    if (setup_.Ok(in)) Unload();
}

void FrmCom::cancel_Click() {
    setup_.Cancel();
    Unload();
}

void FrmCom::reject() {
    if (!unloaded_) cancel_Click();
}

void FrmCom::Unload() {
    unloaded_ = true;
    hide();
    done(0);
}

void ShowFrmCom(QWidget* parent) {
    FrmCom f(parent);
    f.exec();
}

void WireFrmCom() {
    Links().showCom = [] { ShowFrmCom(Mevalo::Instance()); };
}
