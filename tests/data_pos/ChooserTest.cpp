// The data-file chooser: the header reader behind its list, the listing of a folder of mixed files, OK
// and Cancel with the remembered folder, the folder change, the trial read and the trace.
#include "../common/Oversized.h"
#include "PosEnv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include "app/FrmLog.h"
#include "app/FrmPrmSel.h"
#include "app/Uty.h"
#include "platform/Ask.h"

namespace {

class Chooser : public PosEnv {
  protected:
    void SetUp() override {
        PosEnv::SetUp();
        Put("prm/a.prm",
            "#\n#file(x)\nMODEL,1\nDATA,0,TESK_R,MODELA______\nEND\n"
            "PARA COMMENT,5\nDATA,0,\"hello\",#Memo\nDATA,1,\"second\",#Memo\nEND\n"
            "CPU VER,1\nDATA,0,0x01,0x02\nEND\nMOTOR MODEL,1\nDATA,0,M1\nEND\n"
            "POS PARA 16,1\nDATA,0x00,5\nEND\nPARA COMMENT,5\nDATA,0,\"never read\"\nEND\nDEF END,0\n");
        Put("prm/broken.prm", "MODEL,1\nDATA,0,TESK_R,BROKEN\nEND\nPARA COMMENT,5\nFOO,0,\"x\"\nEND\n");
        Put("prm/bin.PRM", std::string("\x01\x02\0\xff,\"\n\xfe", 8));
        Put("prm/noheader.prm", "STEP COMMENT,5\nDATA,0,\"only memo\"\nEND\nDEF END,0\n");
        Put("prm/c.wgd", "MODEL,1\nDATA,0,TESK_R,W\nEND\nDEF END,0\n");
        Dir("prm/sub");
    }
    void TearDown() override {
        FrmPrmSel::SetShowHook(nullptr);
        PosEnv::TearDown();
    }

    // Runs the chooser; the hook starts it as its timers would and then acts.
    std::string Run(const std::string& key, const std::string& exts, const std::string& type,
                    const std::function<void(FrmPrmSel&)>& act) {
        FrmPrmSel::SetShowHook([&](FrmPrmSel& w) {
            w.TimInit_Timer();
            w.TimSearch_Timer();
            act(w);
        });
        return FrmPrmSel::Exec(key, exts, type);
    }

    static std::vector<std::vector<std::string>> Rows(const FrmPrmSel& w) {
        std::vector<std::vector<std::string>> rows;
        for (int i = 0; i < w.ListView1->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* it = w.ListView1->topLevelItem(i);
            rows.push_back({it->text(0).toStdString(), it->text(1).toStdString(), it->text(2).toStdString()});
        }
        return rows;
    }
    static void Select(FrmPrmSel& w, int row) {
        w.ListView1->setCurrentItem(w.ListView1->topLevelItem(row));
        w.ListView1->setFocus();
    }
};

TEST_F(Chooser, HeaderReaderStopsAtTheFirstDataGroup) {
    FilHeader h;
    EXPECT_EQ(FIL_LoadName((dir_ / "prm/a.prm").string(), h), -1);
    EXPECT_EQ(h.model, "MODELA______");
    EXPECT_EQ(h.comment[0], "hello");
    EXPECT_EQ(h.comment[1], "second");

    FilHeader b;
    EXPECT_EQ(FIL_LoadName((dir_ / "prm/broken.prm").string(), b), 0);
    EXPECT_EQ(b.model, "BROKEN"); // what came before the fault stays

    FilHeader m;
    EXPECT_EQ(FIL_LoadName((dir_ / "prm/missing.prm").string(), m), 0);
    FilHeader g;
    EXPECT_EQ(FIL_LoadName((dir_ / "prm/bin.PRM").string(), g), -1);
    EXPECT_EQ(g.model, "");
}

TEST_F(Chooser, ListsOneKindWithModelAndFirstCommentLine) {
    const std::string chosen = Run("prm", "prm", "Parameter file", [&](FrmPrmSel& w) {
        EXPECT_EQ(w.windowTitle().toStdString(), "Parameter file - Selection of the file.");
        EXPECT_EQ(w.CmdOk->toolTip().toStdString(), "Read designated Parameter file.");
        EXPECT_EQ(w.CmdCancel->toolTip().toStdString(), "Cancel reading of the file Parameter file.");
        EXPECT_EQ(w.ListView1->toolTip().toStdString(), "Display Saved Parameter file.");
        const std::vector<std::vector<std::string>> want = {{"a.prm", "MODELA", "hello"},
                                                            {"bin.PRM", "", ""},
                                                            {"broken.prm", "BROKEN", ""},
                                                            {"noheader.prm", "", "only memo"}};
        EXPECT_EQ(Rows(w), want);
        EXPECT_EQ(w.Logic().fileCount, 4);
        // OK without a selected file keeps the dialog open.
        w.CmdOk_Click();
        EXPECT_NE(w.result(), QDialog::Accepted);
        Select(w, 0);
        w.CmdOk_Click();
    });
    EXPECT_EQ(chosen, (dir_ / "prm/a.prm").string());
    EXPECT_EQ(status_, std::vector<std::string>{"Parameter fileSearching the parameter file."});
    EXPECT_EQ(PathGet("prm", "none"), (dir_ / "prm").string());
}

// A stray large file among the data files is listed without being read, so the chooser opens at once; the
// log says why its header is missing.
TEST_F(Chooser, OversizedFileIsListedUnreadAndTheLogSaysWhy) {
    const std::string big = PutOversized((dir_ / "prm/big.prm").string(),
                                         "MODEL,1\r\nDATA,0,TESK_R,BIG\r\nEND\r\n", "DEF END,0\r\n");
    FrmLog* log = FrmLog::Load();
    log->show();
    for (int i = 0; i < FrmLog::LogModeCnt; ++i)
        log->ChkLogMode[i]->setChecked(true);
    QElapsedTimer t;
    t.start();
    Run("prm", "prm", "Parameter file", [&](FrmPrmSel& w) {
        const auto rows = Rows(w);
        EXPECT_NE(std::find(rows.begin(), rows.end(), std::vector<std::string>{"big.prm", "", ""}), rows.end());
        w.CmdCancel_Click();
    });
    EXPECT_LT(t.elapsed(), 2000);
    const std::string shown = log->TxtLog->toPlainText().toStdString();
    FrmLog::Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the window goes now, not at exit
    EXPECT_NE(shown.find("Can't read " + big + ": File too large"), std::string::npos) << shown;
}

TEST_F(Chooser, SeveralKindsAreGroupedInTheOrderAsked) {
    Put("wgd/z.wgd", "DEF END,0\n");
    Put("wgd/a.wgc", "DEF END,0\n");
    Put("wgd/m.wgp", "DEF END,0\n");
    Put("wgd/b.wgd", "DEF END,0\n");
    Put("wgd/n.txt", "DEF END,0\n");
    Run("wgd", "wgdwgcwgp", "Wave form graphic file", [&](FrmPrmSel& w) {
        std::vector<std::string> names;
        for (const auto& r : Rows(w))
            names.push_back(r[0]);
        EXPECT_EQ(names, (std::vector<std::string>{"b.wgd", "z.wgd", "a.wgc", "m.wgp"}));
        w.CmdCancel_Click();
    });
}

TEST_F(Chooser, EmptyFolderCancelAndAnotherFolder) {
    // OK in a folder without files of the kind answers "" and closes.
    EXPECT_EQ(Run("ncp", "ncp", "Positioning parameter",
                  [&](FrmPrmSel& w) {
                      // The key's own folder does not exist yet: the program folder is shown.
                      EXPECT_EQ(w.Logic().dirPath, dir_.string());
                      w.CmdOk_Click();
                      EXPECT_EQ(w.result(), QDialog::Accepted);
                  }),
              "");
    EXPECT_EQ(PathGet("ncp", "none"), "none");

    const std::string other = Dir("other/folder");
    Put("other/folder/x.prm", "MODEL,1\nDATA,0,TESK_R,XX\nEND\nDEF END,0\n");
    // Cancel after moving to another folder leaves the remembered folder as it was.
    EXPECT_EQ(Run("prm", "prm", "Parameter file",
                  [&](FrmPrmSel& w) {
                      w.SelectFolder(other);
                      w.TimSearch_Timer();
                      EXPECT_EQ(Rows(w).size(), 1u);
                      w.CmdCancel_Click();
                  }),
              "");
    EXPECT_EQ(PathGet("prm", "none"), "none");

    // A file chosen in another folder makes that folder the start of the next chooser of the kind.
    EXPECT_EQ(Run("prm", "prm", "Parameter file",
                  [&](FrmPrmSel& w) {
                      w.SelectFolder(other);
                      w.TimSearch_Timer();
                      Select(w, 0);
                      w.CmdOk_Click();
                  }),
              other + "/x.prm");
    Run("prm", "prm", "Parameter file", [&](FrmPrmSel& w) {
        EXPECT_EQ(w.Logic().dirPath, other);
        EXPECT_EQ(w.Dir1->currentIndex().data(Qt::DisplayRole).toString().toStdString(), "folder");
        w.CmdCancel_Click();
    });
    // Another key is not affected.
    Run("wgd", "wgd", "Wave", [&](FrmPrmSel& w) {
        EXPECT_NE(w.Logic().dirPath, other);
        w.CmdCancel_Click();
    });
}

TEST_F(Chooser, FolderThatCannotBeListedTakesTheDialogBack) {
    plat::ScriptedAsker ask;
    PrmSelLogic l;
    l.Begin("prm", "prm", "Parameter file");
    l.Start();
    EXPECT_FALSE(l.ChangeFolder((dir_ / "gone").string()));
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text, "Drive isn't installed, or not ready.");
    EXPECT_EQ(ask.Asked()[0].title, "Drive error");
    EXPECT_EQ(l.dirPath, (dir_ / "prm").string());
    EXPECT_TRUE(l.ChangeFolder((dir_ / "prm/sub").string()));
    EXPECT_EQ(l.Ok(true, 0), PrmSelLogic::OkAction::OpenFolder);
    l.AddFiles();
    EXPECT_EQ(l.Ok(false, -1), PrmSelLogic::OkAction::Close);

    // A remembered folder that has gone: the key's folder.
    PathSet("prm", (dir_ / "gone").string());
    l.Begin("prm", "prm", "Parameter file");
    l.Start();
    EXPECT_EQ(l.dirPath, (dir_ / "prm").string());
}

TEST_F(Chooser, DriveListMovesTheTreeAndAVolumeThatHasGoneIsReported) {
    const std::vector<std::string> drives{"/", "/home/u", "/media/u/stick"};
    EXPECT_EQ(PrmSelDriveOf("/home/u/prm", drives), "/home/u");
    EXPECT_EQ(PrmSelDriveOf("/media/u/stick", drives), "/media/u/stick");
    EXPECT_EQ(PrmSelDriveOf("/media/u/stick2/prm", drives), "/");

    plat::ScriptedAsker ask;
    const std::string vol = Dir("vol");
    Put("vol/v.prm", "MODEL,1\nDATA,0,TESK_R,VV\nEND\nDEF END,0\n");
    const std::string gone = Dir("gone");
    Run("prm", "prm", "Parameter file", [&](FrmPrmSel& w) {
        EXPECT_EQ(w.Drive1->toolTip().toStdString(), "Designate the drive housing the file Parameter file.");
        EXPECT_EQ(w.Drive1->itemData(0).toString().toStdString(), "/");
        const std::string kept = w.Drive1->currentData().toString().toStdString();
        EXPECT_EQ(kept, w.Logic().drive);
        w.Drive1->addItem("vol", QString::fromStdString(vol));
        w.Drive1->addItem("gone", QString::fromStdString(gone));

        w.Drive1->setCurrentIndex(w.Drive1->findData(QString::fromStdString(vol)));
        w.TimSearch_Timer();
        EXPECT_EQ(w.Logic().dirPath, vol);
        EXPECT_EQ(Rows(w), (std::vector<std::vector<std::string>>{{"v.prm", "VV", ""}}));
        EXPECT_TRUE(ask.Asked().empty());

        // Media taken out after the list was made.
        std::filesystem::remove_all(gone);
        w.Drive1->setCurrentIndex(w.Drive1->findData(QString::fromStdString(gone)));
        w.TimSearch_Timer();
        ASSERT_EQ(ask.Asked().size(), 1u);
        EXPECT_EQ(ask.Asked()[0].text, "Drive isn't installed, or not ready.");
        EXPECT_EQ(ask.Asked()[0].title, "Drive error");
        EXPECT_EQ(w.Drive1->currentData().toString().toStdString(), kept);
        EXPECT_EQ(w.Logic().dirPath, (dir_ / "prm").string());
        EXPECT_EQ(Rows(w).size(), 4u);
        w.CmdCancel_Click();
    });
}

TEST_F(Chooser, TrialReadOnlyInSeMode) {
    for (int16_t level : {1, 2, 3}) {
        SCOPED_TRACE(level);
        UserLevel = level;
        plat::ScriptedAsker ask;
        Run("prm", "prm", "Parameter file", [&](FrmPrmSel& w) {
            Select(w, 0);
            QTest::keyClicks(w.ListView1, "@");
            Select(w, 2);
            QTest::keyClicks(w.ListView1, "@");
            QTest::keyClicks(w.ListView1, "x");
            w.CmdCancel_Click();
        });
        if (level < 3) {
            EXPECT_TRUE(ask.Asked().empty());
            continue;
        }
        // The reads ask and warn as any read does (another model, a damaged file); then the result.
        std::vector<std::string> results;
        for (const auto& a : ask.Asked())
            if (a.text.rfind("Trial", 0) == 0) results.push_back(a.text);
        EXPECT_EQ(results, (std::vector<std::string>{"Trial reading of file Result:True.",
                                                     "Trial reading of file Result:False."}));
    }
}

TEST_F(Chooser, TraceIsWrittenOnlyWhileSwitchedOn) {
    Run("prm", "prm", "Parameter file", [](FrmPrmSel& w) { w.CmdCancel_Click(); });
    EXPECT_FALSE(std::filesystem::exists(dir_ / "FilLog.txt"));

    QSettings(QStringLiteral("Mevalo"), QStringLiteral("Mevalo"))
        .setValue(QStringLiteral("Log/Switch"), "ON");
    Run("prm", "prm", "Parameter file", [](FrmPrmSel& w) { w.CmdCancel_Click(); });
    QSettings(QStringLiteral("Mevalo"), QStringLiteral("Mevalo")).remove(QStringLiteral("Log/Switch"));
    const std::string log = Slurp((dir_ / "FilLog.txt").string());
    EXPECT_EQ(log.rfind("FrmPrmSel.Exec:-----------ENTER------------\r\nTimInit_Timer:ENTER\r\n", 0), 0u)
        << log;
    EXPECT_NE(log.find("AddFiles:Extention:prm\r\nAddFiles:File:a.prm\r\n"), std::string::npos);
    const std::string tail = "FrmPrmSel.Exec:-----------END------------\r\n";
    ASSERT_GE(log.size(), tail.size());
    EXPECT_EQ(log.substr(log.size() - tail.size()), tail);
}

TEST_F(Chooser, ScreensCanScriptTheAnswer) {
    FrmPrmSel::SetAnswerer(
        [](const std::string& key, const std::string& exts, const std::string&) { return key + "/" + exts; });
    EXPECT_EQ(FrmPrmSel::Exec("ncp", "ncp", "Positioning parameter"), "ncp/ncp");
    FrmPrmSel::SetAnswerer(nullptr);
}

} // namespace
