#include "app/FrmVersion.h"

#include "app/Fit.h"
#include "app/Uty.h"
#include "comm/ComCore.h"
#include "comm/ComGlb.h"
#include "comm/TeskCmd.h"
#include "platform/Ask.h"
#include "platform/FormRegistry.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

// The build may name the program's version; otherwise the project's own numbers stand.
#ifndef MEVALO_VERSION_MAJOR
#define MEVALO_VERSION_MAJOR 0
#endif
#ifndef MEVALO_VERSION_MINOR
#define MEVALO_VERSION_MINOR 1
#endif
#ifndef MEVALO_VERSION_PATCH
#define MEVALO_VERSION_PATCH 0
#endif

namespace {

constexpr double kFirstLine = 0.2;

std::string Two(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

} // namespace

std::vector<VerLine> BuildVersionLines(bool linkOk, const CpuVerRec (&cpu)[CpuVerCnt]) {
    std::vector<VerLine> lines;
    double y = kFirstLine;
    auto put = [&](std::string text) {
        lines.push_back({std::move(text), y});
        y += 1;
    };
    for (const FileVerRec& f : FileVerTbl)
        if (f.Present != 0) put(f.Name + ":" + f.Ver);
    if (!linkOk) return lines;

    y += 1; // blank line
    put("Amplifier model : " + DelMark(KisyuMei));
    put("Version");
    for (int i = 0; i < CpuVerCnt; ++i)
        if (cpu[i].Present != 0)
            put("CPU " + std::to_string(i + 1) + " : Version " + std::to_string(cpu[i].Major) + "." +
                Two(cpu[i].Minor));
    if (MotorMei.Present != 0) {
        y += 1;
        put("Motor model : " + MotorMei.Name);
    }
    return lines;
}

VersionReadHooks& VersionHooks() {
    static VersionReadHooks hooks;
    return hooks;
}

std::string ProgramVersionText() {
    return "Mevalo version " + std::to_string(MEVALO_VERSION_MAJOR) + "." +
           std::to_string(MEVALO_VERSION_MINOR) + "." + std::to_string(MEVALO_VERSION_PATCH);
}

void VerPicture::SetLines(std::vector<VerLine> lines) {
    lines_ = std::move(lines);
    updateGeometry();
    update();
}

QSize VerPicture::minimumSizeHint() const {
    const QFontMetrics fm(font());
    int widest = 0;
    for (const VerLine& l : lines_)
        widest = std::max(widest, fm.horizontalAdvance(QString::fromStdString(l.text)));
    return {std::max(420, widest + 2 * fm.averageCharWidth()), 16 * fm.height()};
}

void VerPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QFontMetrics fm(font());
    const int cell = fm.height(); // one character cell is the unit of the line positions
    for (const VerLine& l : lines_) {
        const QString t = QString::fromStdString(l.text);
        const int x = width() / 2 - fm.horizontalAdvance(t) / 2;
        p.drawText(x, static_cast<int>(l.y * cell) + fm.ascent(), t);
    }
}

FrmVersion::FrmVersion(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmVersion");
    setModal(true);
    picIcon = new QLabel(this);
    picIcon->setObjectName("picIcon");
    picIcon->setPixmap(QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    LblTitle = new QLabel(this);
    LblTitle->setObjectName("LblTitle");
    QFont big = LblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    LblTitle->setFont(big);
    lblVersion = new QLabel(this);
    lblVersion->setObjectName("lblVersion");
    PicVer = new VerPicture(this);
    PicVer->setObjectName("PicVer");
    PicVer->setAutoFillBackground(true);
    CmdOk = new QPushButton("OK", this);
    CmdOk->setObjectName("CmdOk");
    CmdOk->setDefault(true);
    connect(CmdOk, &QPushButton::clicked, this, &FrmVersion::CmdOk_Click);

    auto* head = new QHBoxLayout;
    head->addWidget(picIcon);
    auto* titles = new QVBoxLayout;
    titles->addWidget(LblTitle);
    titles->addWidget(lblVersion);
    head->addLayout(titles, 1);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(head);
    lay->addWidget(PicVer, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CmdOk);
    lay->addLayout(buttons);

    plat::RegisterForm("FrmVersion", this);
    Form_Load();
}

FrmVersion::~FrmVersion() {
    plat::UnregisterForm(this);
}

void FrmVersion::Form_Load() {
    FitToContents(this);
    if (QWidget* main = parentWidget() ? parentWidget()->window() : nullptr) {
        const QRect m = main->frameGeometry();
        move(m.left() + m.width() / 2 - width() / 2, m.top() + m.height() / 2 - height() / 2);
    }
    // Read into the window's own table: the shared CpuVer keeps naming the files of the set-up model.
    for (CpuVerRec& c : Cpu)
        c = CpuVerRec{};
    if (VersionHooks().getVerInfo)
        VersionHooks().getVerInfo(Cpu);
    else if (ComHandle != 0) // off line no amplifier can answer; the table stays empty
        RetVar = GetVerInfo(Cpu);
    const std::string title = plat::DefaultTitle();
    setWindowTitle(QString::fromStdString(title + " Version information of the Mevalo"));
    lblVersion->setText(QString::fromStdString(ProgramVersionText()));
    LblTitle->setText(QString::fromStdString(title));
}

void FrmVersion::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!activated_) {
        activated_ = true;
        Form_Activate();
    }
}

void FrmVersion::Form_Activate() {
    const bool linkOk = VersionHooks().chkComm ? VersionHooks().chkComm() : ChkComm(0, "") != 0;
    PicVer->SetLines(BuildVersionLines(linkOk, Cpu));
    if (!linkOk)
        plat::MsgBox("Can not connect amplifier.", plat::Buttons::Ok, plat::Icon::None,
                     "Display of amplifier version");
}

void FrmVersion::CmdOk_Click() {
    hide();
    done(0);
}

void ShowFrmVersion(QWidget* parent) {
    FrmVersion f(parent);
    f.exec();
}
