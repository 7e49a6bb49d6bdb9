// The comment entry: the kind's lines in and out, and the characters a memo cannot hold.
#include "PosEnv.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/FrmRem.h"

namespace {

class Comment : public PosEnv {
  protected:
    void TearDown() override {
        FrmRem::SetShowHook(nullptr);
        PosEnv::TearDown();
    }
};

TEST_F(Comment, ForbiddenCharactersAreRemovedAsTyped) {
    FrmRem::SetShowHook([&](FrmRem& w) {
        QLineEdit* box = w.TxtCmt[1];
        box->setFocus();
        QTest::keyClicks(box, "a,b");
        EXPECT_EQ(box->text().toStdString(), "ab");
        EXPECT_EQ(status_, std::vector<std::string>{"',' and ''' can't be used in memo."});
        QTest::keyClicks(box, "\"c'd");
        EXPECT_EQ(box->text().toStdString(), "abc'd");
        EXPECT_EQ(status_.size(), 2u);
        // Typing goes on where it stopped.
        box->setCursorPosition(1);
        QTest::keyClicks(box, ",X");
        EXPECT_EQ(box->text().toStdString(), "aXbc'd");
        QTest::keyClicks(w.TxtCmt[2], std::string(61, 'z').c_str());
        EXPECT_EQ(w.TxtCmt[2]->text().size(), 60);
        w.CmdOk_Click();
    });
    FrmRem::Exec(Variant(int16_t(3)), "Comment on positioning parameter",
                 "Comment is saved with positioning parameter.");
    EXPECT_EQ(DlgResult, -1);
    EXPECT_EQ(CommentTxt[3][1], "aXbc'd");
    EXPECT_EQ(CommentTxt[3][2], std::string(60, 'z'));
}

TEST_F(Comment, CancelKeepsTheLinesAndOkStoresThem) {
    for (int j = 0; j < 5; ++j)
        CommentTxt[0][j] = "old " + std::to_string(j);
    FrmRem::SetShowHook([&](FrmRem& w) {
        EXPECT_EQ(w.windowTitle().toStdString(), "Comment on parameter");
        EXPECT_EQ(w.LblFoot->text().toStdString(), "Comment is saved with parameter.");
        EXPECT_EQ(w.TxtCmt[4]->text().toStdString(), "old 4");
        w.TxtCmt[0]->setText(QStringLiteral("edited"));
        w.CmdCancel_Click();
    });
    DlgResult = -1;
    FrmRem::Exec(Variant(int16_t(0)), "Comment on parameter", "Comment is saved with parameter.");
    EXPECT_EQ(DlgResult, 0);
    EXPECT_EQ(CommentTxt[0][0], "old 0");

    FrmRem::SetShowHook([&](FrmRem& w) {
        EXPECT_EQ(w.TxtCmt[0]->text().toStdString(), "old 0"); // the cancelled edit is gone
        w.TxtCmt[0]->setText(QStringLiteral("new"));
        w.CmdOk_Click();
    });
    FrmRem::Exec(Variant(int16_t(0)), "Comment on parameter", "Comment is saved with parameter.");
    EXPECT_EQ(DlgResult, -1);
    EXPECT_EQ(CommentTxt[0][0], "new");
    EXPECT_EQ(CommentTxt[0][1], "old 1");
    EXPECT_EQ(CommentTxt[1][0], ""); // other kinds untouched

    // Closing the window any other way is a cancel.
    FrmRem::SetShowHook([](FrmRem& w) {
        w.TxtCmt[0]->setText(QStringLiteral("lost"));
        w.close();
    });
    FrmRem::Exec(Variant(int16_t(0)), "c", "f");
    EXPECT_EQ(DlgResult, 0);
    EXPECT_EQ(CommentTxt[0][0], "new");
}

TEST_F(Comment, KindOutsideTheTableEditsNothing) {
    bool shown = false;
    FrmRem::SetShowHook([&](FrmRem&) { shown = true; });
    for (const Variant& kind : {Variant(int16_t(6)), Variant(int16_t(-1)), Variant("x")}) {
        DlgResult = -1;
        FrmRem::Exec(kind, "c", "f");
        EXPECT_EQ(DlgResult, 0);
    }
    EXPECT_FALSE(shown);
    FrmRem::Exec(Variant("5"), "c", "f");
    EXPECT_TRUE(shown);
}

} // namespace
