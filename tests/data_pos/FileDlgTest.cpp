// The last-folder table and the save/open dialog around it.
#include "PosEnv.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include "app/FileDlg.h"
#include "platform/Ask.h"

namespace {

class FileDialog : public PosEnv {
  protected:
    void SetUp() override {
        PosEnv::SetUp();
        SetFileDlgShow([this](const FileDlgRequest& r) {
            asked_.push_back(r);
            if (moveTo_) QDir::setCurrent(QString::fromStdString(dir_.string())); // as a dialog may
            if (answers_.empty()) return std::string();
            std::string a = answers_.front();
            answers_.erase(answers_.begin());
            return a;
        });
    }
    void TearDown() override {
        SetFileDlgShow(nullptr);
        PosEnv::TearDown();
    }

    std::vector<FileDlgRequest> asked_;
    std::vector<std::string> answers_;
    bool moveTo_ = false;
};

TEST(PathTable, KeepsOneFolderPerKeyForTwentyOneKeys) {
    PathTblClear();
    EXPECT_EQ(PathGet("prm", "def"), "def");
    PathSet("prm", "/a");
    PathSet("wgd", "/b");
    PathSet("prm", "/c");
    EXPECT_EQ(PathGet("prm", "def"), "/c");
    EXPECT_EQ(PathGet("wgd", "def"), "/b");
    EXPECT_EQ(PathGet("PRM", "def"), "def"); // keys are case-sensitive
    for (int i = 3; i <= 21; ++i)
        PathSet("k" + std::to_string(i), "/k");
    PathSet("k22", "/full");
    EXPECT_EQ(PathGet("k21", "def"), "/k");
    EXPECT_EQ(PathGet("k22", "def"), "def");
    PathSet("prm", "/d"); // a known key is still replaced
    EXPECT_EQ(PathGet("prm", "def"), "/d");
    PathTblClear();
    EXPECT_EQ(PathGet("prm", "def"), "def");
}

TEST(FileDlgText, FilterAndExtension) {
    EXPECT_EQ(FilDlgFilter("Parameter file(*.prm)|*.prm"), "Parameter file(*.prm)");
    EXPECT_EQ(FilDlgFilter("Text|*.txt|All|*.*"), "Text (*.txt);;All (*.*)");
    EXPECT_EQ(FilDlgExtension("Positioning parameter and step data file(*.ncp)|*.ncp"), "ncp");
    EXPECT_EQ(FilDlgExtension("All|*.*"), "");
    EXPECT_EQ(FilDlgExtension("no pattern"), "");
}

TEST_F(FileDialog, RemembersTheFolderPerKindAndRestoresTheCurrentFolder) {
    const std::string prm = Dir("prm");
    const std::string other = Dir("other/folder");
    const std::string elsewhere = Dir("elsewhere");
    QDir::setCurrent(QString::fromStdString(elsewhere));
    moveTo_ = true;

    answers_ = {other + "/saved"};
    EXPECT_EQ(FilDlg("prm", "write", "Parameter file(*.prm)|*.prm"), other + "/saved.prm");
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_TRUE(asked_[0].save);
    EXPECT_EQ(asked_[0].folder, prm);
    EXPECT_EQ(asked_[0].name, "");
    EXPECT_EQ(asked_[0].filter, "Parameter file(*.prm)");
    EXPECT_EQ(QDir::currentPath().toStdString(), elsewhere);

    answers_ = {other + "/kept.txt"}; // an extension of the user's own stays
    EXPECT_EQ(FilDlg("prm", "write", "Parameter file(*.prm)|*.prm"), other + "/kept.txt");
    EXPECT_EQ(asked_[1].folder, other);
    // Another kind starts in its own folder (or the program folder while that does not exist).
    EXPECT_EQ(FilDlg("wgd", "write", "Wave form graphic file(*.wgd)|*.wgd"), "");
    EXPECT_EQ(asked_[2].folder, dir_.string());
    EXPECT_EQ(PathGet("wgd", "none"), "none");

    // Cancel keeps the folder of the kind.
    EXPECT_EQ(FilDlg("prm", "write", "Parameter file(*.prm)|*.prm"), "");
    EXPECT_EQ(PathGet("prm", "none"), other);
    EXPECT_EQ(QDir::currentPath().toStdString(), elsewhere);
}

TEST_F(FileDialog, ReplacingAFileNeedsTheUsersYes) {
    const std::string other = Dir("other");
    Put("other/x.prm", "old\n");
    plat::ScriptedAsker ask(plat::No);
    answers_ = {other + "/x"};
    EXPECT_EQ(FilDlg("prm", "write", "Parameter file(*.prm)|*.prm"), "");
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text, "The file has already existed. Do you replace it?");
    EXPECT_EQ(ask.Asked()[0].title, "Yes ?");
    // No: the dialog comes back on the same name.
    ASSERT_EQ(asked_.size(), 2u);
    EXPECT_EQ(asked_[1].folder, other);
    EXPECT_EQ(asked_[1].name, "x.prm");
    EXPECT_EQ(PathGet("prm", "none"), "none");

    ask.Push(plat::Yes);
    answers_ = {other + "/x.prm"};
    EXPECT_EQ(FilDlg("prm", "write", "Parameter file(*.prm)|*.prm"), other + "/x.prm");
    EXPECT_EQ(PathGet("prm", "none"), other);
}

TEST_F(FileDialog, ReadTakesOnlyExistingFiles) {
    const std::string p = Put("prm/a.prm", "x\n");
    answers_ = {p, (dir_ / "prm/none.prm").string()};
    EXPECT_EQ(FilDlg("prm", "read", "Parameter file(*.prm)|*.prm"), p);
    EXPECT_FALSE(asked_[0].save);
    EXPECT_EQ(FilDlg("prm", "read", "Parameter file(*.prm)|*.prm"), "");
}

TEST_F(FileDialog, RealDialogStartsInTheFolderAndGivesTheFullPath) {
    SetFileDlgShow(nullptr);
    const std::string prm = Dir("prm");
    std::string shownIn;
    int ticks = 0;
    int answers = 0;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        // Looked up among the visible windows, not as the active modal one: on a loaded machine the
        // offscreen platform may not have activated the dialog yet.
        QFileDialog* d = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* f = qobject_cast<QFileDialog*>(w); f && f->isVisible()) d = f;
        if (d) {
            // Answered again on every tick until it closes: a dialog still filling its folder view may
            // not take the answer, and is then closed with it.
            if (shownIn.empty()) shownIn = d->directory().absolutePath().toStdString();
            d->selectFile(QStringLiteral("typed"));
            if (++answers < 25)
                QMetaObject::invokeMethod(d, "accept");
            else
                static_cast<QDialog*>(d)->done(QDialog::Accepted);
        } else if (++ticks > 1500) {
            poll.stop(); // never hang the run: whatever modal window is open is closed, the checks fail
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        }
    });
    poll.start();
    EXPECT_EQ(FilDlg("prm", "write", "Parameter file(*.prm)|*.prm"), prm + "/typed.prm");
    EXPECT_EQ(shownIn, prm);
}

} // namespace
