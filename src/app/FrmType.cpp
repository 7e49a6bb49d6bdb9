#include "app/FrmType.h"

#include "app/FrmModel.h"
#include "app/Glb.h"
#include "app/ModSearchKisyu.h"
#include "app/ModeCode.h"
#include "app/Uty.h"
#include "data/DefFil.h"
#include "platform/Ask.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"

#include <QListWidget>
#include <algorithm>

bool SelectSeries(const std::string& key) {
    int32_t oldTbl[BaudTblSize];
    std::copy(std::begin(BaudTbl), std::end(BaudTbl), oldTbl);
    const int32_t oldCnt = BaudCnt;

    std::fill(std::begin(BaudTbl), std::end(BaudTbl), 0);
    BaudTbl[0] = 9600;
    BaudTbl[1] = 4800;
    BaudTbl[2] = 2400;
    BaudCnt = 3;
    if (FIL_LoadDef(key) == plat::VbTrue) {
        KisyuKey = key;
        return true;
    }
    // The old series stays in force as a whole: its key still names the presets that are loaded.
    std::copy(std::begin(oldTbl), std::end(oldTbl), BaudTbl);
    BaudCnt = oldCnt;
    plat::MsgBox("Can not select series.\r\nThere is no definition file according to selected series.(" +
                     key + ".def)",
                 plat::Buttons::Ok, plat::Icon::None, "Select series");
    return false;
}

SeriesSnapshot::SeriesSnapshot()
    : key_(KisyuKey), model_(KisyuMei), baudCnt_(BaudCnt), prmAttr_(std::begin(PrmAttr), std::end(PrmAttr)),
      prm32Attr_(std::begin(Prm32Attr), std::end(Prm32Attr)) {
    std::copy(std::begin(BaudTbl), std::end(BaudTbl), baudTbl_);
}

void SeriesSnapshot::Restore() const {
    // The definition files lay their groups over one another, so the old state is built again in the
    // order it was built: the common file, the series, the model.
    RetVar = FIL_ReadGroupFile(plat::AppFile("ini\\def\\default.DEF"), plat::VbTrue);
    if (!key_.empty()) RetVar = Variant(FIL_LoadDef(key_));
    if (!model_.empty()) FIL_LoadDefFileCpu(model_);
    // The parameter types came from the presets and the user's selection after the definitions; reading
    // the definitions again would put the defined types back in their place.
    std::copy(prmAttr_.begin(), prmAttr_.end(), PrmAttr);
    std::copy(prm32Attr_.begin(), prm32Attr_.end(), Prm32Attr);
    KisyuKey = key_;
    std::copy(std::begin(baudTbl_), std::end(baudTbl_), BaudTbl);
    BaudCnt = baudCnt_;
}

FrmType::FrmType(QWidget* parent) : ListDlg("FrmType", ModeDlg::Type, parent) {
    setWindowTitle("Series setting");
    List1->setToolTip("Selects the amplifier series.");
    Form_Load();
}

void FrmType::Form_Load() {
    CenterOnMain();
    RetVar = SearchKisyu();
    List1->clear();
    for (int i = 0; i < KisyuListCnt; ++i)
        List1->addItem(QString::fromStdString(DelMark(KisyuList[i])));
    // An empty list selects nothing; OK then asks for a series.
    if (List1->count() > 0) List1->setCurrentRow(0);
}

void FrmType::CmdOk_Click() {
    const int i = List1->currentRow();
    if (i < 0 || i >= KisyuListCnt || List1->selectedItems().isEmpty()) {
        plat::MsgBox("Select series.", plat::Buttons::Ok, plat::Icon::None, "Select series");
        return;
    }
    const std::string key = KisyuList[i];
    if (!SelectSeries(key)) return;
    seriesLoaded_ = true;
    if (TypeSelMode == 2)
        ShowFrmModel(key, this);
    else
        DlgResult = -1;
    // A cancelled model choice leaves the series dialog open.
    if (DlgResult != 0) Unload();
}

void FrmType::CmdCancel_Click() {
    // A series whose model choice was cancelled must not stay half in force.
    if (seriesLoaded_) before_.Restore();
    seriesLoaded_ = false;
    ListDlg::CmdCancel_Click();
}

void ShowFrmType(QWidget* parent) {
    FrmType f(parent);
    f.exec();
}
