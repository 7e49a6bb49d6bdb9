#include "app/FrmPrmSel.h"

#include "app/Frame.h"
#include "app/Uty.h"
#include "platform/FormRegistry.h"

#include <QApplication>
#include <QComboBox>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
FrmPrmSel::ShowHook& Hook() {
    static FrmPrmSel::ShowHook hook;
    return hook;
}
FrmPrmSel::Answerer& Answer() {
    static FrmPrmSel::Answerer answer;
    return answer;
}
} // namespace

FrmPrmSel::ShowHook FrmPrmSel::SetShowHook(ShowHook hook) {
    ShowHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

FrmPrmSel::Answerer FrmPrmSel::SetAnswerer(Answerer answerer) {
    Answerer previous = std::move(Answer());
    Answer() = std::move(answerer);
    return previous;
}

FrmPrmSel::FrmPrmSel(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmPrmSel"));
    setWindowTitle(QStringLiteral("Select the file"));

    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setToolTip(QStringLiteral("Select the drive housing the file."));
    drives_ = PrmSelDrives();
    for (const std::string& d : drives_)
        Drive1->addItem(QString::fromStdString(d), QString::fromStdString(d));
    connect(Drive1, &QComboBox::currentIndexChanged, this, [this] { Drive1_Change(); });

    dirModel_ = new QFileSystemModel(this);
    dirModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    dirModel_->setRootPath(QStringLiteral("/"));
    Dir1 = new QTreeView(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setModel(dirModel_);
    for (int c = 1; c < dirModel_->columnCount(); ++c)
        Dir1->hideColumn(c);
    Dir1->setHeaderHidden(true);
    Dir1->setMinimumWidth(200);
    connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { Dir1_Change(); });

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setHeaderLabels(
        {QStringLiteral("File name"), QStringLiteral("Model name"), QStringLiteral("Comment")});
    ListView1->setMinimumWidth(480);
    ListView1->installEventFilter(this);
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { CmdOk_Click(); });

    CmdOk = new QPushButton(QStringLiteral("OK"), this);
    CmdOk->setObjectName(QStringLiteral("CmdOk"));
    CmdOk->setToolTip(QStringLiteral("Read the designated parameter and display the parameter screen."));
    CmdOk->setDefault(true);
    CmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    connect(CmdOk, &QPushButton::clicked, this, [this] { CmdOk_Click(); });
    connect(CmdCancel, &QPushButton::clicked, this, [this] { CmdCancel_Click(); });

    TimInit = new QTimer(this);
    TimInit->setInterval(1);
    connect(TimInit, &QTimer::timeout, this, [this] { TimInit_Timer(); });
    TimSearch = new QTimer(this);
    TimSearch->setInterval(50);
    connect(TimSearch, &QTimer::timeout, this, [this] { TimSearch_Timer(); });

    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(Drive1);
    leftLayout->addWidget(Dir1, 1);
    auto* split = new QSplitter(this);
    split->addWidget(left);
    split->addWidget(ListView1);
    split->setStretchFactor(1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CmdOk);
    buttons->addWidget(CmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
    resize(760, 420);

    plat::RegisterForm("FrmPrmSel", this);
}

FrmPrmSel::~FrmPrmSel() {
    plat::UnregisterForm(this);
}

void FrmPrmSel::Form_Load() {
    if (QWidget* main = parentWidget()) {
        const QRect m = main->frameGeometry();
        move(m.x() + m.width() / 2 - width() / 2, m.y() + m.height() / 2 - height() / 2);
    }
    TimInit->start();
}

std::string FrmPrmSel::TreeFolder() const {
    const QModelIndex i = Dir1->currentIndex();
    return i.isValid() ? dirModel_->filePath(i).toStdString() : std::string();
}

void FrmPrmSel::ShowFolder(const std::string& path) {
    const QModelIndex i = dirModel_->index(QString::fromStdString(path));
    if (!i.isValid()) return;
    syncing_ = true;
    Dir1->setCurrentIndex(i);
    Dir1->expand(i);
    Dir1->scrollTo(i);
    syncing_ = false;
}

void FrmPrmSel::ShowDrive(const std::string& root) {
    int i = Drive1->findData(QString::fromStdString(root));
    if (i < 0) {
        Drive1->addItem(QString::fromStdString(root), QString::fromStdString(root));
        i = Drive1->count() - 1;
    }
    syncing_ = true;
    Drive1->setCurrentIndex(i);
    syncing_ = false;
}

void FrmPrmSel::SelectFolder(const std::string& path) {
    const QModelIndex i = dirModel_->index(QString::fromStdString(path));
    if (i.isValid()) {
        Dir1->setCurrentIndex(i); // Dir1_Change follows
        return;
    }
    if (logic_.ChangeFolder(path)) TimSearch->start();
    ShowFolder(logic_.dirPath);
}

void FrmPrmSel::TimInit_Timer() {
    PrmSelTrace("TimInit_Timer:ENTER");
    TimInit->stop();
    setWindowTitle(QString::fromStdString(logic_.Caption()));
    repaint();
    logic_.Start();
    ShowDrive(logic_.drive);
    ShowFolder(logic_.dirPath);
    TimSearch->start();
    PrmSelTrace("TimInit_Timer:EXIT");
}

void FrmPrmSel::TimSearch_Timer() {
    TimSearch->stop();
    PrmSelTrace("TimSearch_Timer:Enter");
    Hourglass(true);
    UpdStat(logic_.SearchText());

    const int w = ListView1->viewport()->width();
    ListView1->setColumnWidth(0, w / 5);
    ListView1->setColumnWidth(1, w / 5);
    ListView1->setColumnWidth(2, w * 2 / 5);
    ListView1->clear();
    PrmSelTrace("TimSearch_Timer:LstFile.Clear DONE");

    logic_.AddFiles();
    for (const PrmSelRow& row : logic_.rows) {
        auto* item = new QTreeWidgetItem(ListView1);
        item->setText(0, QString::fromStdString(row.name));
        item->setText(1, QString::fromStdString(row.model));
        item->setText(2, QString::fromStdString(row.comment));
    }
    PrmSelTrace("TimSearch_Timer:AddFiles DONE");
    if (ListView1->topLevelItemCount() > 0) {
        ListView1->scrollToItem(ListView1->topLevelItem(ListView1->topLevelItemCount() - 1));
        ListView1->scrollToItem(ListView1->topLevelItem(0));
    }
    Hourglass(false);
}

void FrmPrmSel::Drive1_Change() {
    if (syncing_) return;
    const std::string root = Drive1->currentData().toString().toStdString();
    if (root.empty()) return;
    // A drive that cannot be listed (media taken out) puts the kept drive and folder back.
    if (!logic_.ChangeFolder(root)) ShowDrive(logic_.drive);
    ShowFolder(logic_.dirPath);
    TimSearch->start();
}

void FrmPrmSel::Dir1_Change() {
    if (syncing_) return;
    PrmSelTrace("Dir1_Change:ENTER");
    const std::string path = TreeFolder();
    if (!path.empty() && path != logic_.dirPath) {
        if (logic_.ChangeFolder(path)) {
            ShowDrive(PrmSelDriveOf(logic_.dirPath, drives_));
            TimSearch->start();
        } else {
            ShowFolder(logic_.dirPath);
        }
    }
    PrmSelTrace("Dir1_Change:EXIT");
}

void FrmPrmSel::CmdOk_Click() {
    QTreeWidgetItem* item = ListView1->currentItem();
    const int selected = item && item->isSelected() ? ListView1->indexOfTopLevelItem(item) : -1;
    switch (logic_.Ok(Dir1->hasFocus(), selected)) {
    case PrmSelLogic::OkAction::OpenFolder: {
        // Enter in the tree opens the highlighted folder; the dialog stays.
        const std::string path = TreeFolder();
        if (!path.empty() && path != logic_.dirPath) SelectFolder(path);
        break;
    }
    case PrmSelLogic::OkAction::Close:
        accept();
        break;
    case PrmSelLogic::OkAction::Stay:
        break;
    }
}

void FrmPrmSel::CmdCancel_Click() {
    logic_.Cancel();
    reject();
}

void FrmPrmSel::ListView1_KeyPress(char key) {
    QTreeWidgetItem* item = ListView1->currentItem();
    logic_.KeyPress(key, item && item->isSelected() ? ListView1->indexOfTopLevelItem(item) : -1);
}

bool FrmPrmSel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListView1 && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() == 1 && text[0].unicode() < 0x80)
            ListView1_KeyPress(static_cast<char>(text[0].unicode()));
    }
    return QDialog::eventFilter(watched, event);
}

std::string FrmPrmSel::Exec(const std::string& key, const std::string& extensions,
                            const std::string& typeName) {
    if (Answer()) return Answer()(key, extensions, typeName);
    if (ChkResourceSmall()) return {};

    QPointer<FrmPrmSel> w = new FrmPrmSel(QApplication::activeWindow());
    w->logic_.Begin(key, extensions, typeName);
    PrmSelTrace("FrmPrmSel.Exec:-----------ENTER------------");
    w->CmdOk->setToolTip(QString::fromStdString(w->logic_.OkTip()));
    w->CmdCancel->setToolTip(QString::fromStdString(w->logic_.CancelTip()));
    w->Dir1->setToolTip(QString::fromStdString(w->logic_.DirTip()));
    w->Drive1->setToolTip(QString::fromStdString(w->logic_.DriveTip()));
    w->ListView1->setToolTip(QString::fromStdString(w->logic_.ListTip()));
    w->Form_Load();
    if (Hook())
        Hook()(*w);
    else
        w->exec();
    std::string result;
    if (w) {
        result = w->result() == QDialog::Accepted ? w->logic_.result : std::string();
        plat::UnregisterForm(w);
        w->deleteLater();
    }
    PrmSelTrace("FrmPrmSel.Exec:-----------END------------");
    return result;
}
