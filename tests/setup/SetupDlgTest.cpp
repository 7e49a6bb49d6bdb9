#include "SetupEnv.h"

#include "setup/SetupDlg.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

using namespace setuptest;

namespace {

// Three disk folders behind one "drive" link that the test turns to the disk asked for, a temporary
// folder given by TEMP, and a dialog whose messages and progress lines are recorded.
class SetupRun : public ::testing::Test {
  protected:
    SetupRun() {
        for (int i = 0; i < 3; ++i) disks[i] = scratch.Dir("disk" + std::to_string(i + 1));
        Insert(1);
        qputenv("TEMP", temp.string().c_str());
        previous = SetupDlg::SetMessageHook(
            [this](const QString& text, const QString& title) { messages.push_back((title + "|" + text).toStdString()); });
        Open();
    }
    ~SetupRun() override {
        dlg.reset();
        SetupDlg::SetMessageHook(previous);
        qunsetenv("TEMP");
    }
    void Open() {
        result = -1;
        dlg = std::make_unique<SetupDlg>(drive.string());
        QObject::connect(dlg.get(), &QDialog::finished, [this](int r) { result = r; });
        QObject::connect(dlg->TxtProgress, &QLineEdit::textChanged,
                         [this](const QString& t) { progress.push_back(t.toStdString()); });
        dlg->show();
    }
    void Insert(int disk) {
        fs::remove(drive);
        fs::create_symlink(disks[disk - 1], drive);
    }
    // Presses OK and, once the disk is copied, inserts the one asked for.
    void CopyDisk(int next) {
        dlg->CmdOk->click();
        ASSERT_TRUE(WaitFor([&] { return dlg->CmdOk->isEnabled() || result != -1; })) << "disk before " << next;
        ASSERT_EQ(dlg->TxtMessage->text().toStdString(), "Insert DISK " + std::to_string(next) + " in the drive.");
        Insert(next);
    }

    Scratch scratch;
    fs::path disks[3];
    fs::path drive = scratch.Root() / "drive";
    fs::path temp = scratch.Dir("temp");
    std::vector<std::string> messages;
    std::vector<std::string> progress;
    SetupDlg::MessageHook previous;
    std::unique_ptr<SetupDlg> dlg;
    int result = -1;
};

TEST_F(SetupRun, CopiesTheThreeDisksAndStartsTheInstallerInTheTemporaryFolder) {
    const fs::path record = scratch.Root() / "record";
    std::ofstream(disks[0] / "setup.exe") << "#!/bin/sh\npwd > \"" << record.string() << "\"\n";
    std::map<std::string, std::string> files = {
        {"setup.lst", WriteFile(disks[0] / "setup.lst", 4096)},
        {"setup.exe", ReadFile(disks[0] / "setup.exe")},
        {"vimedo1.cab", WriteFile(disks[0] / "vimedo1.cab", 0)},
        {"vimedo2.cab", WriteFile(disks[1] / "vimedo2.cab", 301 * 4096 + 100)},
        {"vimedo3.cab", WriteFile(disks[2] / "vimedo3.cab", 7000)},
    };

    EXPECT_EQ(dlg->TxtMessage->text(), "Are you sure to start setup?");
    CopyDisk(2);
    CopyDisk(3);
    // A file of one block shows 0 %; the 301st block of the next stays at 100 %.
    for (const char* text : {"Approx. 0 %", "Approx. 100 %"})
        EXPECT_NE(std::find(progress.begin(), progress.end(), text), progress.end()) << text;
    EXPECT_EQ(std::find(progress.begin(), progress.end(), "Approx. 101 %"), progress.end());
    dlg->CmdOk->click();
    ASSERT_TRUE(WaitFor([&] { return result != -1; }));
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(messages.empty());
    for (const auto& [name, data] : files) EXPECT_EQ(ReadFile(temp / name), data) << name;
    ASSERT_TRUE(WaitFor([&] { return !ReadFile(record).empty(); }));
    EXPECT_EQ(ReadFile(record), temp.string() + "\n");
}

TEST_F(SetupRun, AFailedCopyStopsTheDiskAndEndsTheDialog) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"setup.exe missing", {"setup.lst"}},
        {"temporary folder full", {"setup.exe", "setup.lst", "vimedo1.cab"}}, // sorted
    };
    for (const auto& [what, copied] : cases) {
        fs::remove_all(temp);
        fs::create_directory(temp);
        fs::remove_all(disks[0]);
        fs::create_directory(disks[0]);
        WriteFile(disks[0] / "setup.lst", 100);
        WriteFile(disks[0] / "vimedo1.cab", 9000);
        if (copied.size() == 3) {
            WriteFile(disks[0] / "setup.exe", 10);
            fs::create_symlink("/dev/full", temp / "vimedo1.cab");
        }
        messages.clear();
        Open();
        dlg->CmdOk->click();
        ASSERT_TRUE(WaitFor([&] { return result != -1; })) << what;
        EXPECT_EQ(result, 0) << what;
        EXPECT_EQ(messages, std::vector<std::string>{"Setup|A setup goes wrong."}) << what;
        EXPECT_FALSE(dlg->Copying()) << what;
        std::vector<std::string> inTemp;
        for (const auto& e : fs::directory_iterator(temp)) inTemp.push_back(e.path().filename().string());
        std::sort(inTemp.begin(), inTemp.end());
        EXPECT_EQ(inTemp, copied) << what;
    }
}

// Enter goes to the button that has the focus, as a user at the keyboard presses it.
void PressEnter(QWidget* window) {
    QWidget* to = QApplication::focusWidget() ? QApplication::focusWidget() : window;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(to, &press);
    QApplication::sendEvent(to, &release);
}

TEST_F(SetupRun, EnterAtEachDiskRequestGoesOnWithOk) {
    WriteFile(disks[0] / "setup.lst", 5000);
    WriteFile(disks[0] / "setup.exe", 10);
    WriteFile(disks[0] / "vimedo1.cab", 10);
    WriteFile(disks[1] / "vimedo2.cab", 9000);
    dlg->activateWindow();
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == dlg.get(); }));
    ASSERT_EQ(QApplication::focusWidget(), dlg->CmdOk);
    for (int next : {2, 3}) {
        PressEnter(dlg.get());
        ASSERT_TRUE(WaitFor([&] { return dlg->CmdOk->isEnabled() || result != -1; })) << next;
        ASSERT_EQ(result, -1) << "Enter before disk " << next << " ended the dialog";
        ASSERT_EQ(dlg->TxtMessage->text().toStdString(),
                  "Insert DISK " + std::to_string(next) + " in the drive.");
        EXPECT_EQ(QApplication::focusWidget(), dlg->CmdOk) << next;
        Insert(next);
    }
    EXPECT_EQ(ReadFile(temp / "vimedo2.cab").size(), 9000u);
}

TEST_F(SetupRun, CancelBeforeOkEndsAtOnce) {
    WriteFile(disks[0] / "setup.lst", 100);
    dlg->CmdCancel->click();
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(fs::is_empty(temp));
}

TEST_F(SetupRun, CancelDuringACopyWaitsForTheWorkerAndKeepsThePartialFile) {
    WriteFile(disks[0] / "setup.lst", 1000 * 4096);
    WriteFile(disks[0] / "setup.exe", 10);
    dlg->CmdOk->click();
    ASSERT_TRUE(WaitFor([&] { return !progress.empty() && progress.back() == "Approx. 1 %"; }));
    dlg->CmdCancel->click();
    ASSERT_TRUE(WaitFor([&] { return result != -1; }, std::chrono::milliseconds(500)));
    EXPECT_EQ(result, 2);
    EXPECT_FALSE(dlg->Copying());
    EXPECT_TRUE(messages.empty());
    const auto size = fs::file_size(temp / "setup.lst");
    EXPECT_TRUE(size > 0 && size < 1000u * 4096 && size % 4096 == 0) << size;
    EXPECT_FALSE(fs::exists(temp / "setup.exe")); // nor the rest of the disk
}

} // namespace
