#include "app/FrmLog.h"

#include "app/LogSvc.h"
#include "platform/Editor.h"
#include "platform/Files.h"
#include "platform/FormRegistry.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPointer<FrmLog>& Instance() {
    static QPointer<FrmLog> instance;
    return instance;
}
} // namespace

FrmLog* FrmLog::Load() {
    if (!Instance()) Instance() = new FrmLog;
    return Instance();
}

FrmLog* FrmLog::Loaded() {
    return Instance();
}

void FrmLog::Unload() {
    if (FrmLog* w = Instance()) {
        Instance() = nullptr;
        plat::UnregisterForm(w);
        w->hide();
        w->deleteLater();
    }
}

FrmLog::FrmLog(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FrmLog"));
    setWindowTitle(QStringLiteral("Log"));

    TxtLog = new QPlainTextEdit(this);
    TxtLog->setObjectName(QStringLiteral("TxtLog"));
    TxtLog->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Read-only: the window's character count must stay what was logged.
    TxtLog->setReadOnly(true);
    TxtLog->setLineWrapMode(QPlainTextEdit::NoWrap);

    static const char* const captions[LogModeCnt] = {"Other", "Com", "Def Files", "Used Files", "Debug"};
    auto* modes = new QHBoxLayout;
    for (int i = 0; i < LogModeCnt; ++i) {
        ChkLogMode[i] = new QCheckBox(QString::fromLatin1(captions[i]), this);
        ChkLogMode[i]->setObjectName(QStringLiteral("ChkLogMode%1").arg(i));
        connect(ChkLogMode[i], &QCheckBox::toggled, this, [this, i] { ChkLogMode_Click(i); });
        modes->addWidget(ChkLogMode[i]);
    }
    modes->addStretch();

    CmdClear = new QPushButton(QStringLiteral("clear"), this);
    CmdClear->setObjectName(QStringLiteral("CmdClear"));
    CmdEdt = new QPushButton(QStringLiteral("Edit log"), this);
    CmdEdt->setObjectName(QStringLiteral("CmdEdt"));
    connect(CmdClear, &QPushButton::clicked, this, [this] { CmdClear_Click(); });
    connect(CmdEdt, &QPushButton::clicked, this, [this] { CmdEdt_Click(); });
    modes->addWidget(CmdClear);
    modes->addWidget(CmdEdt);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TxtLog, 1);
    layout->addLayout(modes);
    resize(640, 360);

    plat::RegisterForm("FrmLog", this);
}

FrmLog::~FrmLog() {
    plat::UnregisterForm(this);
}

void FrmLog::log(const std::string& text, int kind) {
    if (!LogTakes(isVisible(), mask_, kind)) return;
    // The check comes before appending, so the last line taken may pass the limit.
    if (shownChars_ < TextLimit) {
        TxtLog->moveCursor(QTextCursor::End);
        const QString line = QString::fromStdString(text);
        TxtLog->insertPlainText(line + QLatin1Char('\n'));
        shownChars_ += static_cast<int>(line.size()) + 2;
        TxtLog->ensureCursorVisible();
        // Long operations log from running code without returning to the event loop: draw now.
        TxtLog->viewport()->repaint();
    }
    LogFileOut(text);
}

void FrmLog::ChkLogMode_Click(int) {
    int mask = 0;
    for (int i = 0; i < LogModeCnt; ++i)
        if (ChkLogMode[i]->isChecked()) mask |= 1 << i;
    mask_ = static_cast<int16_t>(mask);
}

void FrmLog::CmdClear_Click() {
    TxtLog->clear();
    shownChars_ = 0;
    plat::DeleteFileQuiet(LogTxtPath());
}

void FrmLog::CmdEdt_Click() {
    plat::OpenInEditor(LogTxtPath());
}
