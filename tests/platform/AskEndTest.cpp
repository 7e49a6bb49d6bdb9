// The seams windows use: message boxes and the registry of loaded windows.
#include "platform/Ask.h"
#include "platform/FormRegistry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

using namespace plat;

TEST(Ask, ScriptedAskerRecordsEveryRequestAndAnswersInTurn)
{
    ScriptedAsker asker(No);
    asker.Push(Yes);
    asker.Push(Cancel);

    EXPECT_EQ(MsgBox("Do you exit the Mevalo ?", Buttons::YesNo, Icon::Question), Yes);
    EXPECT_EQ(MsgBox("Reading interrupted.", Buttons::OkCancel, Icon::Exclamation, "Parameter file"), Cancel);
    EXPECT_EQ(MsgBox("third"), No); // the queue ran dry: the default answer

    ASSERT_EQ(asker.Asked().size(), 3u);
    EXPECT_EQ(asker.Asked()[0].text, "Do you exit the Mevalo ?");
    EXPECT_EQ(asker.Asked()[0].title, "Mevalo"); // no title given: the program's
    EXPECT_EQ(asker.Asked()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(asker.Asked()[0].icon, Icon::Question);
    EXPECT_EQ(asker.Asked()[1].title, "Parameter file");
    EXPECT_EQ(asker.Asked()[1].buttons, Buttons::OkCancel);
    EXPECT_EQ(asker.Asked()[1].icon, Icon::Exclamation);
    EXPECT_EQ(asker.Asked()[2].buttons, Buttons::Ok);
}

TEST(Ask, NestedAskersRestoreTheOuterOne)
{
    ScriptedAsker outer(Retry);
    {
        ScriptedAsker inner(Ignore);
        EXPECT_EQ(MsgBox("inner"), Ignore);
    }
    EXPECT_EQ(MsgBox("outer"), Retry);
    ASSERT_EQ(outer.Asked().size(), 1u);
    EXPECT_EQ(outer.Asked()[0].text, "outer");
}

TEST(Ask, TheRealBoxShowsTextTitleAndButtonsAndReportsThePress)
{
    QString title, text;
    QList<QAbstractButton*> shown;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        shown = box->buttons();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(MsgBox("パラメータを保存しますか", Buttons::YesNoCancel, Icon::Question), No);
    EXPECT_EQ(title, "Mevalo");
    EXPECT_EQ(text, QString::fromUtf8("パラメータを保存しますか"));
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(shown.size(), 3);

    QTimer::singleShot(0, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Retry)->click();
    });
    EXPECT_EQ(MsgBox("x", Buttons::RetryCancel, Icon::Critical, "Error occurs"), Retry);
}

TEST(FormRegistry, LoadedWindowsByName)
{
    auto* log = new QWidget;
    QWidget err;
    RegisterForm("FrmLog", log);
    RegisterForm("FrmErr", &err);

    EXPECT_TRUE(IsFrmLoad("FrmLog"));
    EXPECT_TRUE(IsFrmLoad("frmlog"));
    EXPECT_FALSE(IsFrmLoad("FrmGraph"));
    EXPECT_EQ(FindForm("FrmErr"), &err);
    EXPECT_EQ(LoadedForms(), (std::vector<QWidget*>{log, &err}));

    UnregisterForm(&err);
    EXPECT_FALSE(IsFrmLoad("FrmErr"));
    // A window destroyed without unloading is not reported as loaded.
    delete log;
    EXPECT_FALSE(IsFrmLoad("FrmLog"));
    EXPECT_TRUE(LoadedForms().empty());
}
