#include "app/StartUp.h"

#include "app/FrmAxis.h"
#include "app/FrmInstall.h"
#include "app/FrmLog.h"
#include "app/SetModel.h"
#include "app/FrmOpen.h"
#include "app/FrmPort.h"
#include "app/FrmType.h"
#include "app/FrmVersion.h"
#include "app/MainLogic.h"
#include "app/Glb.h"
#include "app/ModSearchKisyu.h"
#include "app/Mevalo.h"
#include "comm/EnvCheck.h"
#include "comm/FrmSysCon.h"
#include "comm/FrmCom.h"
#include "comm/TeskM.h"
#include "comm/TeskR.h"
#include "data/DefFil.h"
#include "data/PmtFil.h"
#include "data/PrmTbl.h"
#include "positioning/PopGlb.h"
#include "positioning/PopWiring.h"
#include "params/PrmWiring.h"
#include "monitor/MoniWiring.h"
#include "monitor/WavWiring.h"
#include "frequency/FrqWiring.h"
#include "frequency/AutoWiring.h"
#include "platform/Ask.h"
#include "platform/EndProgram.h"
#include "platform/Files.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"
#include "platform/SingleInstance.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace {

std::string TempFolder() {
    for (const char* var : {"TEMP", "TMPDIR"})
        if (const char* v = std::getenv(var); v && *v) return v;
    return "/tmp";
}

// Milliseconds since this process started, from the kernel's record of its start (10 ms steps).
double MsSinceProcessStart() {
    std::ifstream in("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = stat.rfind(')'); // the command name may hold blanks
    if (close == std::string::npos) return -1;
    std::istringstream fields(stat.substr(close + 2));
    std::string f;
    unsigned long long start = 0;
    // Field 3 (state) is the first after the name; the start time is field 22.
    for (int i = 3; i <= 22 && fields >> f; ++i)
        if (i == 22) start = std::strtoull(f.c_str(), nullptr, 10);
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    return (now.tv_sec + now.tv_nsec / 1e9 - static_cast<double>(start) / ticks) * 1000.0;
}

} // namespace

void KillSetupTemp() {
    const std::string dir = TempFolder();
    if (!plat::FileExists(dir + "/vimedo1.cab")) return;
    for (const char* name :
         {"setup.lst", "setup.exe", "Instoran.exe", "vimedo1.cab", "vimedo2.cab", "vimedo3.cab"})
        plat::DeleteFileQuiet(dir + "/" + name);
}

int16_t ChkResource() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return plat::VbFalse;
    try {
        // A window of some eighty controls, never shown: if this cannot be made, no screen can.
        auto dummy = std::make_unique<QWidget>();
        dummy->setObjectName("FrmDummy");
        for (int i = 0; i < 20; ++i) {
            new QLabel(dummy.get());
            new QLineEdit(dummy.get());
            new QPushButton(dummy.get());
            new QCheckBox(dummy.get());
        }
        dummy->ensurePolished();
    } catch (...) {
        plat::MsgBox(
            "Too many application is being used.\r\nTry again after you close some unnecessary windows.",
            plat::Buttons::Ok, plat::Icon::None, "Short of the system resources.");
        return plat::VbTrue;
    }
    return plat::VbFalse;
}

void CheckSingleInstance() {
    const plat::InstanceClaim claim = plat::ClaimSingleInstance();
    if (claim.kind == plat::InstanceClaim::Taken) return;
    if (claim.kind == plat::InstanceClaim::HeldElsewhere) {
        plat::MsgBox("Mevalo is already logged on.", plat::Buttons::Ok, plat::Icon::None,
                     "Log-on of the Mevalo");
        plat::EndProgram(0);
    }
    // No lock at all is not another copy: say what failed, and end before anything is written.
    plat::MsgBox("The lock file " + claim.path + " cannot be created: " + claim.error + ".",
                 plat::Buttons::Ok, plat::Icon::Critical, "Log-on of the Mevalo");
    plat::EndProgram(1);
}

void ResetLog() {
    // Runs only once this copy holds the user's lock, so a refused second start keeps the log.
    plat::DeleteFileQuiet(plat::AppFile("Log.txt"));
}

void SetStartValues() {
    ExtV25Opt[0] = 0;
    ExtV25Opt[1] = 1;
    char cwd[4096];
    StartDir = getcwd(cwd, sizeof cwd) ? cwd : plat::AppDir();
    MultiAxisEnable = 1;
    ComPortCnt = 4;
    UserLevel = 1;
}

void CheckDataInstall() {
    if (plat::FileDateTime(plat::AppFile("ini\\def\\default.def"))) return;
    plat::MsgBox("Not finish installing data. Can not execute Mevalo.", plat::Buttons::Ok, plat::Icon::None,
                 "Read data file.");
    plat::EndProgram(0);
}

void StartUpLoop(const std::function<void()>& showPort) {
    for (;;) {
        RetVar = FIL_ReadGroupFile(plat::AppFile("ini\\def\\default.DEF"), plat::VbTrue);
        if (!SearchKisyu().ToBool()) {
            plat::MsgBox(
                "No file having factory preset standard values of parameter (ini\\prm\\\u2026\\*.prm).",
                plat::Buttons::Ok, plat::Icon::None, " Can not start Mevalo.");
            plat::EndProgram(0);
        }
        EnvCheck();
        StartUpDone = 0;
        showPort();
        const int16_t result = DlgResult;
        StartUpDone = -1;
        if (result == -1) break;
        if (result == 0) plat::EndProgram(0);
        // Anything else (data were installed): read everything again.
    }
}

void WireStartUpWindows() {
    Links().showVersion = [] { ShowFrmVersion(Mevalo::Instance()); };
    Links().showPort = [] { ShowFrmPort(Mevalo::Instance()); };
    Links().showType = [] { ShowFrmType(Mevalo::Instance()); };
    WireFrmCom();
    WirePrmTbl();
    WirePmtFil();
    WireDataInstaller();
    WireConnectSteps();
    InstallTeskRPrmRecv();
    InstallTeskMPrmRecv();
    AxisScreens().loadPopDefault = [](const std::string& model, int16_t flag) {
        return LoadPopDefault(model, flag != 0);
    };
    WireParamScreens();
    WireMonitorScreens();
    WireWaveScreen();
    WireFrequencyScreen();
    WireAutoScreen();
    WirePositioningScreens();
}

bool StartUpProbeOn() {
    const char* v = std::getenv("MEVALO_STARTUP_PROBE");
    return v && std::string(v) == "1";
}

void StartUpPrologue() {
    KillSetupTemp();
    if (ChkResource()) plat::EndProgram(0);
    // The instance check comes first, so that a refused second start leaves the running copy's log alone.
    CheckSingleInstance();
    ResetLog();
}

void Main() {
    const bool probe = StartUpProbeOn();
    StartUpPrologue();
    // Both stay loaded, hidden, for the whole run: logging works from the first request on, and the
    // console's switches are in place before the definition files set them.
    FrmSysCon::Load();
    FrmLog::Load();
    SetStartValues();
    CheckDataInstall();
    // The probe measures the program, not the splash's fixed display time.
    ShowFrmOpen(probe ? 0 : FrmOpen::kShowMs);

    WireStartUpWindows();
    auto* main = new Mevalo;
    main->show();
    main->UpdCaption();
    ExtV36Val = 9;

    StartUpLoop([main, probe] {
        if (probe) {
            // Fires once the dialog's own event loop runs, i.e. when it is on the screen.
            QTimer::singleShot(0, [] {
                std::printf("%.0f\n", MsSinceProcessStart());
                plat::EndProgram(0);
            });
        }
        ShowFrmPort(main);
    });
    main->ShowFrmMenu();
}
