// The communication settings dialog: COM port, bit rate, the two time-outs and the retry count of the
// normal setting (time-out triple 0). OK tests the chosen port through the detection window and reopens
// the link with the new settings; Cancel reopens the link as it was.
#pragma once

#include "app/Adj.h"

#include <QDialog>

#include <cstdint>
#include <string>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// ---- the dialog's decisions ------------------------------------------------------------------------

// The rates the list offers, in list order.
inline constexpr int32_t ComRates[] = {2400, 4800, 9600, 19200, 38400};
// The list entry of a stored rate; a rate the list does not offer selects the first entry.
int ComRateIndex(int32_t rate);
// The rate of a list entry (the first for an index outside the list).
int32_t ComRateOf(int index);

// What the boxes show for stored settings: whole tenths of a second for T1, whole seconds for T2.
std::string ComT1Text(int32_t t1Ms);
std::string ComT2Text(int32_t t2Ms);
// ms from a box's text: its leading number times unitMs, to the nearest integer (a half to even), held
// within the 32-bit range.
int32_t ComMsFromText(const std::string& text, int32_t unitMs);
// The retry count from a box's text, to the nearest integer within the 16-bit range.
int16_t ComRetryFromText(const std::string& text);

// The OK and Cancel roads without the window: what the dialog holds is handed in as texts and indexes.
class ComSetup {
  public:
    struct Input {
        std::string t1, t2, retry; // box texts after their clamps
        int portIndex = -1;        // -1: no port selected
        int rateIndex = 0;
    };

    // Remembers the port and rate for Cancel and the texts the boxes are loaded with.
    void Load();
    const std::string& LoadedT1() const { return t1Shown_; }
    const std::string& LoadedT2() const { return t2Shown_; }
    int16_t OldPort() const { return oldPort_; }
    int32_t OldBaud() const { return oldBaud_; }

    // Stores the time-outs and retries, tests the chosen port and reopens the link with the new settings.
    // True when the dialog may close; false when the communication test did not succeed (the settings
    // stay stored, the link as the test left it).
    //
    // The boxes show T1 and T2 in whole units, so writing an untouched box back would round the stored
    // time (550 ms shown as 5 would become 500 ms). A time whose box still holds the text it was loaded
    // with therefore keeps its stored value; any edit, or a clamp that changed the text, stores the box.
    bool Ok(const Input& in);
    // Puts the remembered port and rate back and reopens that link.
    void Cancel();

  private:
    int16_t oldPort_ = 0;
    int32_t oldBaud_ = 0;
    std::string t1Shown_, t2Shown_;
};

// ---- the window ------------------------------------------------------------------------------------

class FrmCom : public QDialog {
  public:
    explicit FrmCom(QWidget* parent = nullptr);
    ~FrmCom() override;

    QGroupBox* Frame1;
    QLabel* Label1;
    QComboBox* rs232c;
    QLabel* Label2;
    QComboBox* borate;
    QGroupBox* Frame2;
    QLabel* Label3;
    QLineEdit* time1;
    QLabel* Label4;
    QLabel* Label5;
    QLineEdit* time2;
    QLabel* Label6;
    QLabel* Label7;
    QLineEdit* retry;
    QLabel* Label8;
    QPushButton* ok;
    QPushButton* cancel;

    void Form_Load();
    void ok_Click();
    void cancel_Click();
    // The three boxes share these handlers.
    void Box_GotFocus(QLineEdit* box);
    void Box_KeyPress(QLineEdit* box, int key);
    void Box_LostFocus(QLineEdit* box);

    // True once OK or Cancel has closed the dialog.
    bool Unloaded() const { return unloaded_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override; // Esc outside the boxes and the close button act as Cancel

  private:
    void Unload();

    AdjTbl adj_;
    ComSetup setup_;
    std::string remembered_[3];
    bool unloaded_ = false;
};

// Shows the dialog modally (the main window's Setting menu).
void ShowFrmCom(QWidget* parent = nullptr);
// Connects the dialog to the main window's Setting item.
void WireFrmCom();
