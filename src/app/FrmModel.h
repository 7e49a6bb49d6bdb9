// The model dialog: lists the models of one series of the catalogue; OK sets the model off line.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

class QListWidget;
class QPushButton;
class ModeKeyFilter;

// Protocol family of a series code: 1 the ASCII line protocol (10 to 12), 5 framed requests (20 to 25),
// 0 for any other code.
int16_t GetCmdFamily(int16_t code);

// The off-line model choice of catalogue row: series code, model, family, its definition files; the link
// closed and no port. Sets DlgResult -1.
void SetOfflineModel(int row);

class FrmModel : public QDialog {
  public:
    // seriesKey: the series whose models are listed.
    explicit FrmModel(const std::string& seriesKey, QWidget* parent = nullptr);
    ~FrmModel() override;

    std::string SeriesKey;
    QListWidget* List1;
    QPushButton* CmdOk;
    QPushButton* CmdCancel;

    void Form_Load();
    void CmdOk_Click();
    void CmdCancel_Click();

  protected:
    void reject() override;

  private:
    void Unload();

    std::string modeBuf_;
    ModeKeyFilter* modeKeys_ = nullptr;
};

// Shows the model dialog for seriesKey modally; the outcome is DlgResult and the shared state.
void ShowFrmModel(const std::string& seriesKey, QWidget* parent = nullptr);
