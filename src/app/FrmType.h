// The series dialog: lists the series of the catalogue and loads the chosen series' definition files.
// With TypeSelMode 2 it goes on to the model dialog.
#pragma once

#include "app/ListDlg.h"

#include <string>

// Loads the definition files of series key with the default rate table in place (the files may replace
// it). Only when they loaded do KisyuKey, BaudTbl and BaudCnt take the new series' values; otherwise they
// keep the old ones and the user is told. Returns loaded.
bool SelectSeries(const std::string& key);

class FrmType : public ListDlg {
  public:
    explicit FrmType(QWidget* parent = nullptr);

    void Form_Load();
    void CmdOk_Click() override;
};

// Shows the series dialog modally; the outcome is DlgResult and the shared state.
void ShowFrmType(QWidget* parent = nullptr);
