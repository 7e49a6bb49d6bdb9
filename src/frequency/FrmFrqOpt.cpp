#include "frequency/FrmFrqOpt.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedLayout>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>

#include "platform/Ask.h"
#include "platform/FormRegistry.h"

namespace {

template <class T> typename T::ShowHook& HookOf() {
    static typename T::ShowHook hook;
    return hook;
}

QPushButton* Button(QWidget* parent, const char* name, const char* text, const char* tip) {
    auto* b = new QPushButton(QString::fromLatin1(text), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(QString::fromLatin1(tip));
    return b;
}

template <class T> std::string Run(T* w, const std::string& name) {
    QPointer<T> p = w;
    plat::RegisterForm(name, w);
    if (HookOf<T>())
        HookOf<T>()(*w);
    else
        w->exec();
    if (!p) return "cancel";
    const std::string r = p->property("result").toString().toStdString();
    plat::UnregisterForm(p);
    delete p;
    return r;
}

} // namespace

// ---- save options -----------------------------------------------------------------------------------

FrmFrqSav::ShowHook FrmFrqSav::SetShowHook(ShowHook hook) {
    ShowHook previous = std::move(HookOf<FrmFrqSav>());
    HookOf<FrmFrqSav>() = std::move(hook);
    return previous;
}

FrmFrqSav::FrmFrqSav(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmFrqSav"));
    setWindowTitle(QStringLiteral("Saving frequency characteristic data."));
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setToolTip(QStringLiteral("Select the element that it is saved."));
    const char* const caption[4] = {"Measuring result", "Measuring condition",
                                    "Measuring result and parameter", "Measuring result (IDT format)"};
    const char* const tip[4] = {"Save the result of the measurement.",
                                "Save the condition of the measurement.",
                                "Save the result of the measurement and the condition and the parameter.",
                                "Save with the IDT format."};
    auto* group = new QVBoxLayout(Frame1);
    for (int i = 0; i < 4; ++i) {
        auto* o = new QRadioButton(QString::fromLatin1(caption[i]), Frame1);
        o->setObjectName(QStringLiteral("OptSaveMode_%1").arg(i));
        o->setToolTip(QString::fromLatin1(tip[i]));
        group->addWidget(o);
        OptSaveMode[static_cast<size_t>(i)] = o;
    }
    OptSaveMode[2]->setChecked(true);
    CmdOk = Button(this, "CmdOk", "OK", "Save the frequency characteristic data.");
    Command1 = Button(this, "Command1", "Cancel", "Cancel saving, and be returned on the former screen.");
    CmdOk->setDefault(true);
    connect(CmdOk, &QPushButton::clicked, this, [this] { CmdOk_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(CmdOk);
    buttons->addWidget(Command1);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);
    setProperty("result", QStringLiteral("cancel"));
}

std::string FrmFrqSav::Exec() {
    return Run(new FrmFrqSav(QApplication::activeWindow()), "FrmFrqSav");
}

void FrmFrqSav::CmdOk_Click() {
    static const char* const words[4] = {"result", "condition", "parameter", "idtformat"};
    for (size_t i = 0; i < 4; ++i)
        if (OptSaveMode[i]->isChecked()) setProperty("result", QString::fromLatin1(words[i]));
    close();
}

void FrmFrqSav::Command1_Click() {
    close();
}

// ---- load options -----------------------------------------------------------------------------------

FrmFrqLod::ShowHook FrmFrqLod::SetShowHook(ShowHook hook) {
    ShowHook previous = std::move(HookOf<FrmFrqLod>());
    HookOf<FrmFrqLod>() = std::move(hook);
    return previous;
}

FrmFrqLod::FrmFrqLod(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmFrqLod"));
    ChkReference = new QCheckBox(QStringLiteral("Read to reference data"), this);
    ChkReference->setObjectName(QStringLiteral("ChkReference"));
    ChkReference->setToolTip(QStringLiteral("The data is read as the reference."));
    connect(ChkReference, &QCheckBox::toggled, this, [this] { ChkReference_Click(); });
    const char* const caption[4] = {"Measuring result", "Measuring condition", "Reference", "Parameter"};
    const char* const tip[4] = {"Read the measurement result.", "Read the measurement condition.",
                                "Read the reference data.", "Read the parameter data."};
    auto frame = [this, &caption, &tip](const char* name, const char* boxes, std::array<QCheckBox*, 4>& out) {
        auto* f = new QGroupBox(QStringLiteral("The element to read"), this);
        f->setObjectName(QString::fromLatin1(name));
        f->setToolTip(QStringLiteral("Select the element that it is read."));
        auto* l = new QVBoxLayout(f);
        for (int i = 0; i < 4; ++i) {
            auto* c = new QCheckBox(QString::fromLatin1(caption[i]), f);
            c->setObjectName(QStringLiteral("%1_%2").arg(QString::fromLatin1(boxes)).arg(i));
            c->setToolTip(QString::fromLatin1(tip[i]));
            l->addWidget(c);
            out[static_cast<size_t>(i)] = c;
        }
        return f;
    };
    FraMeasure = frame("FraMeasure", "ChkLoadMode", ChkLoadMode);
    FraReference = frame("FraReference", "ChkRefLoadMode", ChkRefLoadMode);
    // The rule runs on every change of a tick, the dialog's own included.
    for (QCheckBox* c : ChkLoadMode)
        connect(c, &QCheckBox::toggled, this, [this] { ChkLoadMode_Click(); });
    CmdOk = Button(this, "CmdOk", "OK", "Read the file of the frequency characteristic.");
    CmdCancel = Button(this, "CmdCancel", "Cancel", "Cancel reading and return to previous screen.");
    CmdOk->setDefault(true);
    connect(CmdOk, &QPushButton::clicked, this, [this] { CmdOk_Click(); });
    connect(CmdCancel, &QPushButton::clicked, this, [this] { CmdCancel_Click(); });
    // The two frames share one place; only one shows at a time.
    auto* stack = new QStackedLayout;
    stack->setStackingMode(QStackedLayout::StackAll);
    stack->addWidget(FraMeasure);
    stack->addWidget(FraReference);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(CmdOk);
    buttons->addWidget(CmdCancel);
    buttons->addStretch(1);
    auto* left = new QVBoxLayout;
    left->addWidget(ChkReference);
    left->addLayout(stack);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(buttons);
    ChkReference_Click();
    setProperty("result", QStringLiteral("cancel"));
}

void FrmFrqLod::SetKind(const std::string& kind) {
    struct Row {
        const char* kind;
        bool refEnabled;
        std::array<bool, 4> enabled, ticked, refTicked;
    };
    static const Row rows[] = {
        {"idt", false, {1, 1, 0, 0}, {1, 1, 0, 0}, {1, 1, 0, 0}},
        {"fcc", false, {0, 1, 0, 0}, {0, 1, 0, 0}, {0, 0, 0, 0}},
        {"fcd", true, {1, 1, 1, 0}, {1, 1, 1, 0}, {1, 1, 0, 0}},
        {"fcp", true, {1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 0, 0}},
    };
    for (const Row& r : rows) {
        if (kind != r.kind) continue;
        ChkReference->setChecked(false);
        ChkReference->setEnabled(r.refEnabled);
        for (size_t i = 0; i < 4; ++i)
            ChkLoadMode[i]->setEnabled(r.enabled[i]);
        for (size_t i = 0; i < 4; ++i)
            ChkLoadMode[i]->setChecked(r.ticked[i]);
        for (size_t i = 0; i < 4; ++i)
            ChkRefLoadMode[i]->setChecked(r.refTicked[i]);
    }
}

std::string FrmFrqLod::Exec(const std::string& path, const std::string& caption) {
    auto* w = new FrmFrqLod(QApplication::activeWindow());
    w->setWindowTitle(QString::fromStdString(caption));
    std::string kind = path.size() >= 3 ? path.substr(path.size() - 3) : path;
    std::transform(kind.begin(), kind.end(), kind.begin(), [](unsigned char c) { return std::tolower(c); });
    w->SetKind(kind);
    w->adjustSize();
    return Run(w, "FrmFrqLod");
}

void FrmFrqLod::ChkReference_Click() {
    FraMeasure->setVisible(!ChkReference->isChecked());
    FraReference->setVisible(ChkReference->isChecked());
}

void FrmFrqLod::ChkLoadMode_Click() {
    if (ChkLoadMode[0]->isChecked() || ChkLoadMode[2]->isChecked()) {
        ChkLoadMode[1]->setChecked(true);
        ChkLoadMode[1]->setEnabled(false);
    } else {
        ChkLoadMode[1]->setEnabled(true);
    }
}

void FrmFrqLod::CmdOk_Click() {
    std::string r;
    const bool toRef = ChkReference->isChecked();
    if (toRef) r += " toref";
    const auto& boxes = toRef ? ChkRefLoadMode : ChkLoadMode;
    static const char* const words[4] = {" result", " condition", " reference", " parameter"};
    for (size_t i = 0; i < 4; ++i)
        if (boxes[i]->isChecked()) r += words[i];
    setProperty("result", QString::fromStdString(r));
    if (r.empty()) {
        plat::MsgBox("Set the item to read.", plat::Buttons::Ok, plat::Icon::Exclamation,
                     "Set the item of frequency characteristic data to read");
        return;
    }
    close();
}

void FrmFrqLod::CmdCancel_Click() {
    setProperty("result", QStringLiteral("cancel"));
    close();
}
