// The version window: the definition files' versions, the amplifier model, its CPU versions and motor.
#pragma once

#include "app/Glb.h"

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;

// One line of the version text: y in character cells from the top; each line is centred.
struct VerLine {
    std::string text;
    double y = 0;
};

// The lines of the window. Without a link only the file versions; with one the model, the present CPU
// entries of cpu (the window's own table) and the motor model follow.
std::vector<VerLine> BuildVersionLines(bool linkOk, const CpuVerRec (&cpu)[CpuVerCnt]);

// What the window asks of the communication layer; empty entries use ChkComm and GetVerInfo. Tests put an
// amplifier of their own here.
struct VersionReadHooks {
    std::function<bool()> chkComm;                               // link check without a message of its own
    std::function<void(CpuVerRec (&cpu)[CpuVerCnt])> getVerInfo; // clears the flags, then reads
};
VersionReadHooks& VersionHooks();

// The program's own version, as the build gives it.
std::string ProgramVersionText(); // "Mevalo version M.m.r"

// The text area: draws its lines centred, one character cell high each.
class VerPicture : public QWidget {
  public:
    explicit VerPicture(QWidget* parent = nullptr) : QWidget(parent) {}
    void SetLines(std::vector<VerLine> lines);
    const std::vector<VerLine>& Lines() const { return lines_; }

    // As wide as the widest line with a character's room each side, and never narrower than the window was
    // laid out for.
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override { return minimumSizeHint(); }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    std::vector<VerLine> lines_;
};

class FrmVersion : public QDialog {
  public:
    explicit FrmVersion(QWidget* parent = nullptr);
    ~FrmVersion() override;

    VerPicture* PicVer;
    QLabel* lblVersion;
    QLabel* LblTitle;
    QLabel* picIcon;
    QPushButton* CmdOk;

    void Form_Load();
    void Form_Activate();
    void CmdOk_Click();

    // The CPU versions read at load; the shared CpuVer, which file names depend on, stays as it was.
    CpuVerRec Cpu[CpuVerCnt];

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    bool activated_ = false;
};

// Opens the version window modally (the main window's Help menu).
void ShowFrmVersion(QWidget* parent = nullptr);
