// The waveform graph window: measurement conditions, runs, the graph with cursors and zoom, the
// reference copy, and the waveform files and print-outs.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

#include "monitor/MonGlb.h"
#include "monitor/WavDraw.h"
#include "monitor/WavLogic.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSlider;
class QTabWidget;
class QTimer;
class QToolBar;
class QGroupBox;
class WavRun;

// The graph's picture: the curves drawn once into a cached image, the cursors painted over it, so that
// moving a cursor never redraws the curves.
class WavPicture : public QWidget {
  public:
    explicit WavPicture(QWidget* parent = nullptr);
    // Draws the graph without cursors into the cache.
    void Redraw(int16_t dataFlag);
    const QImage& Cache() const { return cache_; }
    const WgdView& View() const { return view_; }
    int Redraws() const { return redraws_; }
    // Mouse presses and drags: x in drawing units from the graph's left edge, left or right button.
    std::function<void(double x, bool left, bool drag)> onMouse;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void Mouse(QMouseEvent* event, bool drag);
    QImage cache_;
    WgdView view_; // where the cached drawing put the graph
    int16_t dataFlag_ = 1;
    int redraws_ = 0;
};

class FrmGraph : public QWidget {
    Q_OBJECT
  public:
    explicit FrmGraph(QWidget* parent = nullptr);
    ~FrmGraph() override;
    // The loaded window, or null.
    static FrmGraph* Instance();

    // ---- public methods ----
    void EnableReadOut();
    void SetChkDsp(int index, int16_t value);
    void working(int16_t flag);
    void DataIsValid(int ch, bool flag);
    void RefDataIsValid(int ch, bool flag);
    int16_t IsMeasureEnd(int16_t& status);
    void ChangeYRangeForDefFile(int axis);
    int GetXOff();

    // ---- handlers ----
    void TBar_ButtonClick(const std::string& key);
    void WaveStartChk();
    void WaveSokuTeiStop();
    void Timer1_Timer();
    void TimReDraw_Timer();
    void ChkItem_Click(int ch);
    void SldSmp_Change();
    void level_LostFocus();
    void CmdTrigSign_Click();
    void CmdToTrig_Click();
    void HScrCur_Change(int n);
    void ChkCsr_Click();
    void Xrange_UP_Click();
    void Xrange_DOWN_Click();
    void Yrange_Click(int step);
    void CmdAuto_Click();
    void CmdGenTen_Click();
    void Option1_Click(int axis);
    void SanSyouTenSou();
    void ColorPick(int ch, bool ref);
    void Picture1_Mouse(double x, bool left);
    // Reads a waveform file kind ("wgc", "wgd", "wgp", or all three run together).
    void LoadFile(const std::string& exts, const std::string& title);
    void SaveFile();
    void PrintGraph();
    // Prints what the print words name; false when nothing went to the printer.
    bool PrintChosen(const std::string& words);
    // Draws the graph on the printer (or a preview surface) with its text panel.
    void DrawForPrint(PrdSurface* target, const std::string& options);

    // ---- controls ----
    QToolBar* TBar = nullptr;
    QAction* TBarKey(const std::string& key) const;
    QGroupBox* FramChk = nullptr;
    QGroupBox* FramOpt = nullptr;
    QCheckBox* ChkItem[WavChShown] = {};
    QRadioButton* OptItem[3] = {};
    QCheckBox* trg_mode = nullptr;
    QComboBox* trg_pos = nullptr;
    QComboBox* trg_slope = nullptr;
    QLineEdit* level = nullptr;
    QPushButton* CmdTrigSign = nullptr;
    QSlider* SldSmp = nullptr;
    QLabel* LblSmpInt = nullptr;
    QLabel* LblSmpTim = nullptr;
    QCheckBox* ChkSngTrig = nullptr;
    QCheckBox* ChkDsp[WavChShown] = {};
    QCheckBox* ChkRefDsp = nullptr;
    QAction* MnuDsp[WavChShown] = {};
    QAction* MnuDspRef = nullptr;
    QAction* MnuThick[WavChShown] = {};
    QAction* MnuRefThick[WavChShown] = {};
    QAction* MnuSokutei = nullptr;
    QPushButton* CmdObsCol[WavChShown] = {};
    QPushButton* CmdRefCol[WavChShown] = {};
    QPushButton* CmdObsTic[WavChShown] = {};
    QPushButton* CmdRefTic[WavChShown] = {};
    WavPicture* Picture1 = nullptr;
    QTabWidget* TSPage = nullptr;
    QScrollBar* HScrCur[2] = {};
    QCheckBox* ChkCsr = nullptr;
    QPushButton* CmdToTrig = nullptr;
    QLabel* LblCsrName[6] = {};
    QLabel* LblCsrTim[4] = {};
    QLabel* LblCsrSpd[4] = {};
    QLabel* LblCsrTrq[4] = {};
    QLabel* LblCsrCmd[4] = {};
    QLabel* LblCsrErr[4] = {};
    QLabel* LblCsrFce[4] = {};
    QScrollBar* Slider1 = nullptr;
    QPushButton* Xrange_UP = nullptr;
    QPushButton* Xrange_DOWN = nullptr;
    QRadioButton* Option1[5] = {}; // 0, 1, 2, 4
    QScrollBar* SldYOff[5] = {};   // 0, 1, 2, 4
    QPushButton* Yrange_UP = nullptr;
    QPushButton* Yrange_DOWN = nullptr;
    QPushButton* CmdAuto = nullptr;
    QPushButton* CmdGenTen = nullptr;
    QLabel* LblDate = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* TimReDraw = nullptr;

    float Zoom() const { return zoom_; }
    bool ResultLoaded() const { return resultLoaded_; }
    WavRun& Run() { return *run_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Build();
    void Form_Load();
    void InitRecords();
    WavControls Controls() const;
    void PutControls(const WavControls& c);
    void FillCond();
    void ApplyLoaded(bool cond);
    void SyncView();
    void SetZoom(float f);
    void AxisSetup(int axis, int newIdx, bool keep);
    void ApplyChannelLimit();
    void UpdateReadout();
    void UpdateChannelControls(int ch);
    void RequestRedraw() const;
    void SamplingLabels();
    WgdPanelInfo PanelInfo() const;
    int AxisRec(int axis) const;
    bool Online() const;

    std::unique_ptr<WavRun> run_;
    float zoom_ = 1.0f;
    bool resultLoaded_ = false;
    bool loadingRef_ = false;
    bool hasCapture_ = false;
    bool updating_ = false;
    int yAxis_ = 0;
    std::string savedLevel_;
    WavCondRec capturedCond_;
};
