// The frequency characteristics window: gain above phase over a logarithmic frequency axis, with the
// reference pair, a cursor with its read-out, peak and dip search, the cut-off frequency, sliders that
// zoom and shift the axes, and the measurement, file, print and reference commands.
#pragma once

#include <QMainWindow>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class PrdPictureBox;
class PrdSurface;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSlider;
class QTimer;
class QToolBar;

class FrmFft : public QMainWindow {
    Q_OBJECT
  public:
    // Opens the window in the main window's frame, or brings the open one to the front.
    static void ShowScreen();
    static FrmFft* Instance();

    // The print-items dialog ("graph", "parameter" or "cancel"); without one the graph is printed.
    using PrintItems = std::function<std::string(const std::string& caption)>;
    static PrintItems SetPrintItems(PrintItems dialog);
    static std::string AskPrintItems(const std::string& caption);

    explicit FrmFft(QWidget* parent = nullptr);
    ~FrmFft() override;

    // Brings the data-ready flags of the current and the reference measurement into the window.
    void ReflectDataReady();
    // Redraws once the burst of changes that asked for it is over.
    void RequestRedraw();
    void TimRefreshGraph_Timer();

    // ---- commands ----
    void MnuSokuTei_Click();
    void MnuHoZonDat_Click();
    void MnuHoZonCnd_Click();
    void MnuHoZonPrm_Click();
    void MnuHoZonIdt_Click();
    void SaveChoice();
    // Loads a file of the given kinds ("fcdfccfcpidt" for any); title for the chooser.
    void Load(const std::string& title, const std::string& extensions);
    void MnuTenSouSanSyou_Click();
    void MnuInSatu_Click();
    void MnuHenSyuComment_Click();
    void MnuDspRef_Click();
    void CmbWindow_Click();
    void CmdPeak_Click();
    void ChkCsr_Click();
    void ChkCov_Click();
    void HScrCsr_Change(int value);
    // The cursor's point; set from the scroll bar, a drag, a search.
    int CursorPoint() const { return csrPoint_; }
    void SetCursorPoint(int point);
    // Left button over the picture at a position in picture pixels.
    void PicGrp_Mouse(double xPx, double yPx);
    // The smoothing the box shows, normalised into 1..25.
    int SmoothingValue();

    // Draws both graphs on surface (the picture's or the printer's).
    void DrawGraphs(PrdSurface& surface, bool printer);
    // Prints what the print words name; false when they name nothing.
    bool PrintChosen(const std::string& w);

    PrdPictureBox* PicGrp = nullptr;
    QScrollBar* VScrool = nullptr;
    std::array<QSlider*, 2> HScr{};
    std::array<QSlider*, 4> VScr{};
    QGroupBox* FramCsr = nullptr;
    QCheckBox* ChkCsr = nullptr;
    QScrollBar* HScrCsr = nullptr;
    QLabel* LblFrq = nullptr;
    QLabel* LblGin = nullptr;
    QLabel* LblPas = nullptr;
    std::array<QLabel*, 3> LblCsrCaption{};
    QGroupBox* FrmSearch = nullptr;
    QRadioButton* OptLoc = nullptr;
    QRadioButton* OptAll = nullptr;
    QCheckBox* ChkPeak = nullptr;
    QPushButton* CmdPeak = nullptr;
    QGroupBox* FramCut = nullptr;
    QCheckBox* ChkCov = nullptr;
    QLabel* LblCovFrq = nullptr;
    QGroupBox* FramGrpOpt = nullptr;
    QComboBox* CmbWindow = nullptr;
    std::array<QLabel*, 6> Lbl1{}; // captions: full-closed, sampling, amplitude, offset, part, model
    QLabel* LblSmp = nullptr;
    QLabel* LblAmp = nullptr;
    QLabel* LblOff = nullptr;
    QLabel* LblFce = nullptr;
    QLabel* LblBui = nullptr;
    QLabel* LblKsy = nullptr;
    QToolBar* TBar = nullptr;
    QTimer* TimRefreshGraph = nullptr;
    QAction* MnuSokuTei = nullptr;
    QAction* MnuInSatu = nullptr;
    QMenu* MnuHoZon = nullptr;
    QAction* MnuCov = nullptr;
    QAction* MnuDspRef = nullptr;
    QAction* TbSokuTei = nullptr;
    QAction* TbSave = nullptr;
    QAction* TbPrint = nullptr;
    QAction* TbEnaRef = nullptr;

    bool GraphOn() const { return graphOn_; }
    bool CondOn() const { return condOn_; }
    int Redraws() const { return redraws_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildMenus();
    void BuildControls();
    void Form_Load();
    void InitGraphRecords();
    void ApplySliders();
    void CondLabels();
    void CsrReadout();
    void SaveView();
    void RestoreView();
    void SaveGroup(int kind);
    void AfterLoad(const std::string& words);
    void ReferenceDisplayOn();
    void PinkReference();
    void CalcCurves();

    bool graphOn_ = false;
    bool condOn_ = false;
    int csrPoint_ = 1;
    int redraws_ = 0;
    int drawnSmoothing_ = 4; // what the curves were last computed with, and a save records
};
