// The model dialog: lists the models of one series of the catalogue; OK sets the model off line.
#pragma once

#include "app/ListDlg.h"

#include <cstdint>
#include <string>

// Protocol family of a series code: 1 the ASCII line protocol (10 to 12), 5 framed requests (20 to 25),
// 0 for any other code.
int16_t GetCmdFamily(int16_t code);

// The off-line model choice of catalogue row: series code, model, family, its definition files; the link
// closed and no port. Sets DlgResult -1.
void SetOfflineModel(int row);

class FrmModel : public ListDlg {
  public:
    // seriesKey: the series whose models are listed.
    explicit FrmModel(const std::string& seriesKey, QWidget* parent = nullptr);

    std::string SeriesKey;

    void Form_Load();
    void CmdOk_Click() override;
};

// Shows the model dialog for seriesKey modally; the outcome is DlgResult and the shared state.
void ShowFrmModel(const std::string& seriesKey, QWidget* parent = nullptr);
