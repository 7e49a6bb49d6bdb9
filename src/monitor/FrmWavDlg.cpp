#include "monitor/FrmWavDlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>
#include <memory>

#include "platform/Ask.h"

namespace {

template <class Hook> Hook& HookOf()
{
    static Hook hook;
    return hook;
}

template <class Hook> Hook Swap(Hook hook)
{
    Hook previous = std::move(HookOf<Hook>());
    HookOf<Hook>() = std::move(hook);
    return previous;
}

QPushButton* Button(QWidget* parent, const char* name, const char* text, const char* tip)
{
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(name);
    b->setToolTip(QString::fromUtf8(tip));
    return b;
}

QHBoxLayout* Buttons(QPushButton* ok, QPushButton* cancel)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

// Shows w modally, or hands it to the test's hook.
template <class Dlg> void Run(Dlg& w)
{
    if (const auto& hook = HookOf<typename Dlg::ShowHook>())
        hook(w);
    else
        w.exec();
}

} // namespace

// ---- save ------------------------------------------------------------------------------------------

FrmWavSav::FrmWavSav()
{
    setObjectName("FrmWavSav");
    setWindowTitle("Save the wave form graphic data");
    auto* frame = new QGroupBox("Select the element that it is saved.", this);
    frame->setObjectName("Frame1");
    auto* fl = new QVBoxLayout(frame);
    static const char* const kText[] = {"Measuring result ", "Measuring condition", "Measuring result and parameter"};
    static const char* const kTip[] = {"Save the result of the measurement.", "Save the condition of the measurement.",
                                       "Save the result of the measurement and the condition and the parameter."};
    for (int i = 0; i < 3; ++i) {
        OptSaveMode[i] = new QRadioButton(kText[i], frame);
        OptSaveMode[i]->setObjectName(QString("OptSaveMode_%1").arg(i));
        OptSaveMode[i]->setToolTip(kTip[i]);
        fl->addWidget(OptSaveMode[i]);
    }
    OptSaveMode[2]->setChecked(true);
    ChkVer2 = new QCheckBox("Save as previous version. (Mevalo 2.5).", this);
    ChkVer2->setObjectName("ChkVer2");
    ChkVer2->setToolTip("Save with the form of Mevalo version 2.5.");
    CmdOk = Button(this, "CmdOk", "OK", "Save the wave form graphics.");
    CmdCancel = Button(this, "CmdCancel", "Cancel", "Cancel saving, and be returned on the former screen.");
    CmdOk->setDefault(true);
    auto* l = new QVBoxLayout(this);
    l->addWidget(frame);
    l->addWidget(ChkVer2);
    l->addLayout(Buttons(CmdOk, CmdCancel));
    connect(CmdOk, &QPushButton::clicked, this, [this] { CmdOk_Click(); });
    connect(CmdCancel, &QPushButton::clicked, this, [this] { CmdCancel_Click(); });
}

FrmWavSav::ShowHook FrmWavSav::SetShowHook(ShowHook hook) { return Swap(std::move(hook)); }

std::string FrmWavSav::Exec(std::string& ver)
{
    FrmWavSav w;
    Run(w);
    ver = w.ver_;
    return w.result_;
}

void FrmWavSav::CmdOk_Click()
{
    if (OptSaveMode[0]->isChecked())
        result_ = "result";
    else if (OptSaveMode[1]->isChecked())
        result_ = "condition";
    else if (OptSaveMode[2]->isChecked())
        result_ = "parameter";
    ver_ = ChkVer2->isChecked() ? "ver2" : "ver3";
    accept();
}

void FrmWavSav::CmdCancel_Click()
{
    result_ = "cancel";
    reject();
}

// ---- load ------------------------------------------------------------------------------------------

FrmWavLod::FrmWavLod()
{
    setObjectName("FrmWavLod");
    setWindowTitle("Read the wave form graphic data");
    ChkReference = new QCheckBox("Read as a reference wave form", this);
    ChkReference->setObjectName("ChkReference");
    ChkReference->setToolTip("The data is read as the reference.");
    static const char* const kText[] = {"Measuring result", "Measuring condition", "Reference", "Parameter"};
    static const char* const kTip[] = {"Read the measurement result.", "Read the measurement condition.",
                                       "Read the reference data.", "Read the parameter data."};
    FraMeasure = new QGroupBox("Select the element that it is read.", this);
    FraMeasure->setObjectName("FraMeasure");
    FraReference = new QGroupBox("Select the element that it is read.", this);
    FraReference->setObjectName("FraReference");
    auto* ml = new QVBoxLayout(FraMeasure);
    auto* rl = new QVBoxLayout(FraReference);
    for (int i = 0; i < 4; ++i) {
        ChkLoadMode[i] = new QCheckBox(kText[i], FraMeasure);
        ChkLoadMode[i]->setObjectName(QString("ChkLoadMode_%1").arg(i));
        ChkLoadMode[i]->setToolTip(kTip[i]);
        ml->addWidget(ChkLoadMode[i]);
        ChkRefLoadMode[i] = new QCheckBox(kText[i], FraReference);
        ChkRefLoadMode[i]->setObjectName(QString("ChkRefLoadMode_%1").arg(i));
        ChkRefLoadMode[i]->setToolTip(kTip[i]);
        rl->addWidget(ChkRefLoadMode[i]);
        // Programmatic changes count too: a result is never read without its condition.
        connect(ChkLoadMode[i], &QCheckBox::toggled, this, [this, i] { ChkLoadMode_Click(i); });
    }
    ChkRefLoadMode[0]->setChecked(true);
    FraReference->hide();
    CmdOk = Button(this, "CmdOk", "OK", "Read the file of the wave form graphic data.");
    CmdCancel = Button(this, "CmdCancel", "Cancel", "Cancel reading and return to previous screen.");
    CmdOk->setDefault(true);
    auto* l = new QVBoxLayout(this);
    l->addWidget(ChkReference);
    // The two frames share one place.
    l->addWidget(FraMeasure);
    l->addWidget(FraReference);
    l->addLayout(Buttons(CmdOk, CmdCancel));
    connect(ChkReference, &QCheckBox::toggled, this, [this] { ChkReference_Click(); });
    connect(CmdOk, &QPushButton::clicked, this, [this] { CmdOk_Click(); });
    connect(CmdCancel, &QPushButton::clicked, this, [this] { CmdCancel_Click(); });
}

FrmWavLod::ShowHook FrmWavLod::SetShowHook(ShowHook hook) { return Swap(std::move(hook)); }

void FrmWavLod::SetKind(const std::string& fileName)
{
    std::string kind = fileName.size() >= 3 ? fileName.substr(fileName.size() - 3) : fileName;
    std::transform(kind.begin(), kind.end(), kind.begin(), [](unsigned char c) { return std::tolower(c); });
    // Enabled / checked of result, condition, reference, parameter.
    static const bool kWgc[4] = {false, true, false, false};
    static const bool kWgd[4] = {true, true, true, false};
    static const bool kWgp[4] = {true, true, true, true};
    const bool* on = kind == "wgc" ? kWgc : kind == "wgd" ? kWgd : kind == "wgp" ? kWgp : nullptr;
    if (!on) return;
    ChkReference->setEnabled(kind != "wgc");
    for (int i = 0; i < 4; ++i) {
        ChkLoadMode[i]->setEnabled(on[i]);
        ChkLoadMode[i]->setChecked(on[i]);
    }
    ChkLoadMode_Click(0);
}

std::string FrmWavLod::Exec(const std::string& fileName)
{
    FrmWavLod w;
    w.SetKind(fileName);
    w.result_ = "cancel";
    Run(w);
    return w.result_;
}

void FrmWavLod::ChkLoadMode_Click(int)
{
    if (ChkLoadMode[0]->isChecked()) {
        ChkLoadMode[1]->setChecked(true);
        ChkLoadMode[1]->setEnabled(false);
    } else {
        ChkLoadMode[1]->setEnabled(true);
    }
}

void FrmWavLod::ChkReference_Click()
{
    const bool ref = ChkReference->isChecked();
    FraMeasure->setVisible(!ref);
    FraReference->setVisible(ref);
}

void FrmWavLod::CmdOk_Click()
{
    std::string words;
    QCheckBox* const* group = ChkLoadMode;
    if (ChkReference->isChecked()) {
        words = "toref";
        group = ChkRefLoadMode;
    }
    static const char* const kWord[] = {"result", "condition", "reference"};
    for (int i = 0; i < 3; ++i)
        if (group[i]->isChecked()) words += kWord[i];
    if (group[3]->isChecked()) words += "parameter";
    if (words.empty() || words == "toref") {
        result_.clear();
        plat::MsgBox("Set the item to read.", plat::Buttons::Ok, plat::Icon::None,
                     "Set the item of waveform graphic to read.");
        return;
    }
    result_ = words;
    accept();
}

void FrmWavLod::CmdCancel_Click()
{
    result_ = "cancel";
    reject();
}

// ---- print -----------------------------------------------------------------------------------------

FrmPrnItem::FrmPrnItem()
{
    setObjectName("FrmPrnItem");
    setWindowTitle("Print of the wave form graphic");
    auto* label = new QLabel("You can start printing.Select the items from the below,and click the execution.", this);
    label->setObjectName("Label1");
    label->setWordWrap(true);
    ChkGraph = new QCheckBox("Print the graph", this);
    ChkGraph->setObjectName("ChkGraph");
    ChkGraph->setToolTip("Print the displayed wave form graphic.");
    ChkGraph->setChecked(true);
    ChkParam = new QCheckBox("Print the parameter", this);
    ChkParam->setObjectName("ChkParam");
    ChkParam->setToolTip("Print the parameter list.");
    CmdOk = Button(this, "CmdOk", "Execute", "Execute the print");
    CmdCancel = Button(this, "CmdCancel", "Cancel", "Return to the previous menu without printing.");
    CmdOk->setDefault(true);
    auto* l = new QVBoxLayout(this);
    l->addWidget(label);
    l->addWidget(ChkGraph);
    l->addWidget(ChkParam);
    l->addLayout(Buttons(CmdOk, CmdCancel));
    connect(CmdOk, &QPushButton::clicked, this, [this] { CmdOk_Click(); });
    connect(CmdCancel, &QPushButton::clicked, this, [this] { CmdCancel_Click(); });
}

FrmPrnItem::ShowHook FrmPrnItem::SetShowHook(ShowHook hook) { return Swap(std::move(hook)); }

std::string FrmPrnItem::Exec(const std::string& caption)
{
    FrmPrnItem w;
    w.setWindowTitle(QString::fromStdString(caption));
    Run(w);
    return w.result_;
}

void FrmPrnItem::CmdOk_Click()
{
    // Both boxes cleared give an empty list: the caller prints nothing.
    std::string words;
    if (ChkGraph->isChecked()) words += "graph";
    if (ChkParam->isChecked()) words += "parameter";
    result_ = words;
    accept();
}

void FrmPrnItem::CmdCancel_Click()
{
    result_ = "cancel";
    reject();
}
