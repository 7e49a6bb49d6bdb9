#include "app/FrmRem.h"

#include "app/Fit.h"
#include "app/Frame.h"
#include "app/Glb.h"
#include "app/Uty.h"
#include "platform/FormRegistry.h"
#include "platform/Numbers.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

const char* const CommentEdit::kForbiddenMsg = "',' and ''' can't be used in memo.";

bool CommentEdit::SetKind(const Variant& kind) {
    int16_t k = -1;
    try {
        k = kind.ToInt16();
    } catch (const VariantError&) {
        return false;
    }
    if (k < 0 || k >= CommentKinds) return false;
    kind_ = k;
    return true;
}

std::array<std::string, 5> CommentEdit::Lines() const {
    std::array<std::string, 5> lines;
    for (int j = 0; j < CommentLines; ++j)
        lines[j] = CommentTxt[kind_][j];
    return lines;
}

void CommentEdit::Store(const std::array<std::string, 5>& lines) const {
    for (int j = 0; j < CommentLines; ++j)
        CommentTxt[kind_][j] = lines[j];
}

std::string CommentEdit::Clean(const std::string& text, bool& changed) {
    std::string clean = DelCommaQuote(text);
    changed = clean != text;
    return clean;
}

namespace {
FrmRem::ShowHook& Hook() {
    static FrmRem::ShowHook hook;
    return hook;
}
} // namespace

FrmRem::ShowHook FrmRem::SetShowHook(ShowHook hook) {
    ShowHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

FrmRem::FrmRem(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmRem"));
    setWindowTitle(QStringLiteral("Comment"));

    Label10 = new QLabel(QStringLiteral("Comment(memo at data saving)"), this);
    Label10->setObjectName(QStringLiteral("Label10"));
    Label11 = new QLabel(QStringLiteral("Description of this line is displayed at file selection"), this);
    Label11->setObjectName(QStringLiteral("Label11"));
    LblFoot = new QLabel(QStringLiteral("Comment is saved with parameter and graphic data"), this);
    LblFoot->setObjectName(QStringLiteral("LblFoot"));

    auto* grid = new QGridLayout;
    for (int j = 0; j < CommentLines; ++j) {
        QLineEdit* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("TxtCmt_%1").arg(j));
        box->setMaxLength(CommentEdit::MaxLen);
        box->setMinimumWidth(box->fontMetrics().averageCharWidth() * CommentEdit::MaxLen);
        box->setToolTip(j == 0
                            ? QStringLiteral("Memo at data saving. This line is displayed at file selection.")
                            : QStringLiteral("Memo at data saving"));
        connect(box, &QLineEdit::textChanged, this, [this, j] { TxtCmt_Change(j); });
        TxtCmt[j] = box;
        grid->addWidget(box, j, 0);
    }
    grid->addWidget(Label11, 0, 1);

    CmdOk = new QPushButton(QStringLiteral("OK"), this);
    CmdOk->setObjectName(QStringLiteral("CmdOk"));
    CmdOk->setToolTip(QStringLiteral("Set the comment and exit the comment screen."));
    CmdOk->setDefault(true);
    CmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    CmdCancel->setToolTip(QStringLiteral("Cancel the comment entry."));
    connect(CmdOk, &QPushButton::clicked, this, [this] { CmdOk_Click(); });
    connect(CmdCancel, &QPushButton::clicked, this, [this] { CmdCancel_Click(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(LblFoot, 1);
    buttons->addWidget(CmdOk);
    buttons->addWidget(CmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label10);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    plat::RegisterForm("FrmRem", this);
}

FrmRem::~FrmRem() {
    plat::UnregisterForm(this);
}

void FrmRem::Form_Load() {
    FitToContents(this);
    if (QWidget* main = parentWidget()) {
        const QRect m = main->frameGeometry();
        move(m.x() + m.width() / 2 - width() / 2, m.y() + m.height() / 2 - height() / 2);
    }
}

void FrmRem::DispComment() {
    const auto lines = edit_.Lines();
    for (int j = 0; j < CommentLines; ++j)
        TxtCmt[j]->setText(QString::fromStdString(lines[j]));
}

void FrmRem::CmdOk_Click() {
    std::array<std::string, 5> lines;
    for (int j = 0; j < CommentLines; ++j)
        lines[j] = TxtCmt[j]->text().toStdString();
    edit_.Store(lines);
    DlgResult = plat::VbTrue;
    accept();
}

void FrmRem::CmdCancel_Click() {
    DlgResult = 0;
    reject();
}

void FrmRem::TxtCmt_Change(int index) {
    QLineEdit* box = TxtCmt[index];
    const std::string text = box->text().toStdString();
    bool changed = false;
    const std::string clean = CommentEdit::Clean(text, changed);
    if (!changed) return;
    UpdStat(CommentEdit::kForbiddenMsg);
    // The caret stays after the character typed, less what was removed before it.
    const QString before = box->text().left(box->cursorPosition());
    bool unused = false;
    const int caret =
        static_cast<int>(QString::fromStdString(CommentEdit::Clean(before.toStdString(), unused)).size());
    box->setText(QString::fromStdString(clean)); // re-enters with nothing left to remove
    box->setCursorPosition(caret);
}

void FrmRem::Exec(const Variant& kind, const std::string& caption, const std::string& foot) {
    DlgResult = 0;
    QPointer<FrmRem> w = new FrmRem(QApplication::activeWindow());
    if (!w->edit_.SetKind(kind)) {
        // A kind outside the table has no lines to edit: the same as a cancelled entry.
        delete w;
        return;
    }
    w->DispComment();
    w->setWindowTitle(QString::fromStdString(caption));
    w->LblFoot->setText(QString::fromStdString(foot));
    w->Form_Load();
    if (Hook())
        Hook()(*w);
    else
        w->exec();
    if (w) {
        plat::UnregisterForm(w);
        w->deleteLater();
    }
}
