#include "app/FrmMenu.h"

#include "app/MainLogic.h"
#include "app/Mevalo.h"
#include "platform/FormRegistry.h"

#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

FrmMenu* g_panel = nullptr;

} // namespace

FrmMenu::FrmMenu(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmMenu");
    setWindowTitle("Window menu");
    g_panel = this;

    auto* layout = new QVBoxLayout(this);
    auto button = [this](QWidget* box, QLayout* into, const QString& name, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption), box);
        b->setObjectName(name);
        into->addWidget(b);
        return b;
    };

    auto* each = new QGroupBox("Each setting", this);
    each->setObjectName("FraSetting");
    auto* eachLayout = new QVBoxLayout(each);
    CmdModel = button(each, eachLayout, "CmdModel", "Model selection");
    CmdAxis = button(each, eachLayout, "CmdAxis", "Selection of the axis address(ID)");
    CmdSetuZoku = button(each, eachLayout, "CmdSetuZoku", "");
    // The mask hides and shows these two as the connection changes: their room stays, so the panel
    // never has to grow under the user.
    for (QPushButton* b : {CmdModel, CmdAxis}) {
        QSizePolicy p = b->sizePolicy();
        p.setRetainSizeWhenHidden(true);
        b->setSizePolicy(p);
    }
    layout->addWidget(each);

    auto* disp = new QGroupBox("Display of window", this);
    disp->setObjectName("FraDisplay");
    auto* dispLayout = new QVBoxLayout(disp);
    const char* captions[10] = {nullptr,
                                "Parameter",
                                "Monitor",
                                "Alarm",
                                "Wave form graphic",
                                "Auto tuning",
                                "",
                                "Positioning parameter",
                                "Positioning monitor",
                                "Close all windows"};
    for (int i = 1; i <= 9; ++i) {
        CmdGo[static_cast<size_t>(i)] = button(disp, dispLayout, Mevalo::ItemName("CmdGo", i), captions[i]);
        connect(CmdGo[static_cast<size_t>(i)], &QPushButton::clicked, this,
                [this, i] { CmdGo_Click(static_cast<int16_t>(i)); });
    }
    layout->addWidget(disp);

    connect(CmdModel, &QPushButton::clicked, this, &FrmMenu::CmdModel_Click);
    connect(CmdAxis, &QPushButton::clicked, this, &FrmMenu::CmdAxis_Click);
    connect(CmdSetuZoku, &QPushButton::clicked, this, &FrmMenu::CmdSetuZoku_Click);

    plat::RegisterForm("FrmMenu", this);
    Form_Load();
}

FrmMenu::~FrmMenu()
{
    plat::UnregisterForm(this);
    if (g_panel == this)
        g_panel = nullptr;
}

FrmMenu* FrmMenu::Instance() { return g_panel; }

void FrmMenu::Form_Load()
{
    CmdSetuZoku->setText("Communication with\nthe amplifier");
    CmdGo[6]->setText("Frequency\ncharacteristics");
    SetEnable();
}

void FrmMenu::SetEnable()
{
    const int16_t mask = GetFuncEnable();
    for (int i = 1; i <= 8; ++i)
        CmdGo[static_cast<size_t>(i)]->setEnabled(HyoujiEnabled(mask, i));
    CmdModel->setVisible(CmdModelVisible(mask));
    CmdAxis->setVisible(CmdAxisVisible(mask));
    CmdSetuZoku->setEnabled(true);
}

void FrmMenu::CmdGo_Click(int16_t index)
{
    if (Mevalo* main = Mevalo::Instance())
        main->MnuHyouji_Click(index);
}

void FrmMenu::CmdAxis_Click()
{
    if (Mevalo* main = Mevalo::Instance())
        main->MnuSeTtei_Click(0);
}

void FrmMenu::CmdModel_Click()
{
    if (Mevalo* main = Mevalo::Instance())
        main->MnuSeTtei_Click(1);
}

void FrmMenu::CmdSetuZoku_Click()
{
    if (Mevalo* main = Mevalo::Instance())
        main->MnuSeTtei_Click(2);
}
