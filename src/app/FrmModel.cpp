#include "app/FrmModel.h"

#include "app/ConnectCalls.h"
#include "app/Frame.h"
#include "app/Glb.h"
#include "app/ModeCode.h"
#include "app/Uty.h"
#include "comm/ComGlb.h"
#include "data/DefFil.h"
#include "platform/Ask.h"

#include <QListWidget>

int16_t GetCmdFamily(int16_t code) {
    if (code >= 10 && code <= 12) return 1;
    if (code >= 20 && code <= 25) return 5;
    return 0;
}

void SetOfflineModel(int row) {
    KisyuCode = 25;
    KisyuMei = KisyuTbl[row].ModelKey;
    CmdFamily = GetCmdFamily(KisyuCode);
    DlgResult = -1;
    FIL_LoadDefFileCpu(KisyuMei);
    ComPortNo = 0;
    ComBaud = 0;
    ConnClose();
    // The caption shows the model and the port, so it is refreshed once both are set.
    UpdCaption();
    MenuSetEnable();
}

FrmModel::FrmModel(const std::string& seriesKey, QWidget* parent)
    : ListDlg("FrmModel", ModeDlg::Model, parent), SeriesKey(seriesKey) {
    Form_Load();
}

void FrmModel::Form_Load() {
    CenterOnMain();
    List1->clear();
    for (int i = 0; i < KisyuTblCnt; ++i) {
        if (KisyuTbl[i].SeriesKey != SeriesKey) continue;
        auto* item = new QListWidgetItem(QString::fromStdString(DelMark(KisyuTbl[i].ModelKey)), List1);
        item->setData(Qt::UserRole, i);
    }
    if (List1->count() > 0) List1->setCurrentRow(0);
    setWindowTitle(QString::fromStdString(DelMark(SeriesKey) + " Model selection"));
}

void FrmModel::CmdOk_Click() {
    const QListWidgetItem* item = List1->currentItem();
    if (!item || !item->isSelected()) {
        plat::MsgBox("Select the model.", plat::Buttons::Ok, plat::Icon::None, "Model setting");
        return;
    }
    const int row = item->data(Qt::UserRole).toInt();
    if (row < 0 || row >= KisyuTblCnt) return; // the catalogue was rebuilt under the dialog; nothing to set
    SetOfflineModel(row);
    Unload();
}

void ShowFrmModel(const std::string& seriesKey, QWidget* parent) {
    FrmModel f(seriesKey, parent);
    f.exec();
}
