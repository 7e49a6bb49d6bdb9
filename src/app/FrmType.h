// The series dialog: lists the series of the catalogue and loads the chosen series' definition files.
// With TypeSelMode 2 it goes on to the model dialog.
#pragma once

#include "app/Glb.h"
#include "app/ListDlg.h"
#include "data/PrmTbl.h"

#include <string>
#include <vector>

// Loads the definition files of series key with the default rate table in place (the files may replace
// it). Only when they loaded do KisyuKey, BaudTbl and BaudCnt take the new series' values; otherwise they
// keep the old ones and the user is told. Returns loaded.
bool SelectSeries(const std::string& key);

// What a change of series replaces: the key, the rate table and, through the definition files, the masks
// and tables. Taken when the series dialog opens and put back whole when it is cancelled.
class SeriesSnapshot {
  public:
    SeriesSnapshot();
    // Reads the common, series and model definitions of the old state again, then its key and rates.
    void Restore() const;

  private:
    std::string key_;
    std::string model_;
    int32_t baudTbl_[BaudTblSize];
    int32_t baudCnt_;
    std::vector<PrmAttrRec> prmAttr_;
    std::vector<Prm32AttrRec> prm32Attr_;
};

class FrmType : public ListDlg {
  public:
    explicit FrmType(QWidget* parent = nullptr);

    void Form_Load();
    void CmdOk_Click() override;
    void CmdCancel_Click() override;

  private:
    SeriesSnapshot before_;
    bool seriesLoaded_ = false;
};

// Shows the series dialog modally; the outcome is DlgResult and the shared state.
void ShowFrmType(QWidget* parent = nullptr);
