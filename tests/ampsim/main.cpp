// ampsim: the simulated amplifier as a program, for trying the link by hand.
//   ampsim --port N [--addr 0,1,...] [--pace] [--baud B] [--env-file F] [--family R|K|M] [--delay-us D]
//          [--front-panel] [--model NAME] [--plant gain|delay|lag|resonance]
// With --family R each address answers as a family R amplifier of its own; with --family K one family K
// amplifier speaks the line protocol (and answers the framed ping, model name and axis requests); with
// --family M each address answers as a family M amplifier of its own (--delay-us does not apply).
// Prints QEL_COM<N>=<pty path>, then one line per request block, until killed. Commands on standard input
// steer the amplifiers while they run (see --help).
#include "ampsim.h"
#include "ModelK.h"
#include "ModelFrq.h"
#include "ModelM.h"
#include "ModelR.h"
#include "ModelTune.h"
#include "Console.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <poll.h>
#include <time.h>
#include <unistd.h>

namespace {

void usage() {
    std::fprintf(stderr, "usage: ampsim --port N [--addr 0,1,...] [--pace] [--baud B] [--env-file F]\n"
                         "              [--family R|K|M] [--delay-us D] [--front-panel] [--model NAME]\n"
                         "              [--plant gain|delay|lag|resonance]\n");
    std::exit(2);
}

int number(const char* text, long lo, long hi) {
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (!*text || *end || v < lo || v > hi) usage();
    return static_cast<int>(v);
}

std::vector<int> addressList(const std::string& text) {
    std::vector<int> out;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t comma = text.find(',', pos);
        std::string item = text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        out.push_back(number(item.c_str(), 0, 15));
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    return out;
}

void printRequest(const ampsim::Request& rq) {
    static const char* answers[] = {"ACK", "NAK", "-"};
    std::printf("addr %d cmd %d mode %d n %zu %s %s:", rq.address, rq.cmd, rq.mode, rq.data.size(),
                rq.complete ? (rq.sumOk ? "sum ok" : "BAD SUM") : "SHORT",
                answers[static_cast<int>(rq.answer)]);
    for (uint8_t b : rq.raw)
        std::printf(" %02X", b);
    std::printf("\n");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    ampsim::Simulator::Options opt;
    opt.port = 0;
    std::string envFile;
    std::string family;
    long delayUs = 0;
    bool frontPanel = false;
    // The model the family R amplifier reports: by default one of the shipped catalogue, so that the
    // program finds its presets.
    std::string modelName = "ZT010A";
    // The plant a family R amplifier measures the frequency response of.
    std::string plantName = "lag";
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) usage();
            return argv[++i];
        };
        if (a == "--port")
            opt.port = number(value(), 1, 255);
        else if (a == "--addr")
            opt.addresses = addressList(value());
        else if (a == "--pace")
            opt.pace = true;
        else if (a == "--baud")
            opt.baud = static_cast<uint32_t>(number(value(), 1, 4000000));
        else if (a == "--env-file")
            envFile = value();
        else if (a == "--family")
            family = value();
        else if (a == "--delay-us")
            delayUs = number(value(), 0, 10000000);
        else if (a == "--front-panel")
            frontPanel = true;
        else if (a == "--model")
            modelName = value();
        else if (a == "--plant")
            plantName = value();
        else if (a == "--help") {
            std::printf("usage: ampsim --port N [--addr 0,1,...] [--pace] [--baud B] [--env-file F]\n"
                        "              [--family R|K|M] [--delay-us D] [--front-panel] [--model NAME]\n"
                        "              [--plant gain|delay|lag|resonance]\n%s",
                        ampsim::steerHelp());
            return 0;
        }
        else
            usage();
    }
    const bool familyK = family == "K" || family == "k";
    const bool familyM = family == "M" || family == "m";
    if (opt.port == 0 || (!family.empty() && family != "R" && family != "r" && !familyK && !familyM)) usage();
    const std::optional<ampsim::Plant> plant = ampsim::Plant::named(plantName);
    if (!plant) usage();

    // Signals are taken synchronously below, so block them before the line thread starts.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        // The models outlive the simulator, whose line thread calls into them.
        std::vector<std::unique_ptr<ampsim::ModelR>> models;
        ampsim::ModelK modelK;
        std::vector<std::unique_ptr<ampsim::ModelM>> modelsM;
        // Auto tuning in front of each model (the tuned parameters are those of the shipped definition).
        std::vector<std::unique_ptr<ampsim::TuneR>> tunesR;
        std::vector<std::unique_ptr<ampsim::TuneM>> tunesM;
        ampsim::TuneK tuneK(modelK);
        std::vector<std::unique_ptr<ampsim::ModelFrq>> modelsFrq;
        ampsim::Simulator sim(opt);
        if (familyK) {
            tuneK.attach(sim);
        } else if (familyM) {
            for (int address : opt.addresses) {
                modelsM.push_back(std::make_unique<ampsim::ModelM>());
                modelsM.back()->setFrontPanel(frontPanel);
                tunesM.push_back(std::make_unique<ampsim::TuneM>(*modelsM.back(), sim));
                sim.setHandler(tunesM.back()->handler(), address);
            }
        } else if (!family.empty()) {
            for (int address : opt.addresses) {
                ampsim::ModelR::Options mo;
                mo.replyDelay = std::chrono::microseconds(delayUs);
                mo.modelName = modelName.substr(0, 12);
                mo.modelName.resize(12, '*');
                models.push_back(std::make_unique<ampsim::ModelR>(mo));
                models.back()->setFrontPanel(frontPanel);
                // A positioning program whose codes a model definition can name: four modes, two
                // block kinds, and a step under way for the positioning monitor.
                for (int n = 0; n < mo.popSteps; ++n)
                    models.back()->setStep(n, {(n % 4 == 3) ? 500 : n * int64_t{10000}, n % 16, n % 4,
                                               (n / 4) % 4, n % 4, n % 2});
                ampsim::ModelR::PopMonitor pm;
                pm.f3 = 0x00010005;
                pm.f4 = 0x00020009;
                pm.f5 = 2;
                pm.pos = 20000;
                pm.b27 = 0x52; // velocity 2, deceleration 1, acceleration 1
                pm.b28 = 0x82; // mode 2, block
                pm.w = {600, 100, 0, 100, 0};
                pm.moving = true;
                models.back()->setPopMonitor(pm);
                tunesR.push_back(std::make_unique<ampsim::TuneR>(*models.back(), std::vector<int>{0, 1, 2, 3}));
                tunesR.back()->script(0, {0, 2, 2, 2, 3});
                ampsim::ModelFrq::Options fo;
                fo.plant = *plant;
                modelsFrq.push_back(std::make_unique<ampsim::ModelFrq>(tunesR.back()->handler(), fo));
                sim.setHandler(modelsFrq.back()->handler(), address);
            }
        }
        std::string line = sim.envName() + "=" + sim.devicePath();
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
        if (!envFile.empty()) {
            std::ofstream f(envFile, std::ios::trunc);
            f << line << "\n";
            if (!f) {
                std::fprintf(stderr, "ampsim: cannot write %s\n", envFile.c_str());
                return 1;
            }
        }
        ampsim::SteerTargets targets;
        for (auto& m : models) targets.r.push_back(m.get());
        for (auto& m : modelsM) targets.m.push_back(m.get());
        if (familyK) targets.k = &modelK;
        bool console = true;
        std::string pending;
        ampsim::Clock::time_point shown{};
        timespec tick{0, 0};
        for (;;) {
            // Steering commands, one a line, until standard input ends.
            pollfd pfd{STDIN_FILENO, POLLIN, 0};
            if (console && poll(&pfd, 1, 100) > 0) {
                char buf[256];
                const ssize_t n = read(STDIN_FILENO, buf, sizeof buf);
                if (n <= 0) console = false;
                else pending.append(buf, static_cast<size_t>(n));
                for (size_t nl; (nl = pending.find('\n')) != std::string::npos; pending.erase(0, nl + 1)) {
                    std::printf("%s\n", ampsim::steer(targets, pending.substr(0, nl)).c_str());
                    std::fflush(stdout);
                }
            } else if (!console) {
                poll(nullptr, 0, 100);
            }
            int sig = sigtimedwait(&stopSignals, nullptr, &tick);
            // By time rather than by index: the log drops its oldest entries when it grows long.
            for (const auto& rq : sim.requests())
                if (rq.at > shown) {
                    printRequest(rq);
                    shown = rq.at;
                }
            if (sig > 0) break;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ampsim: %s\n", e.what());
        return 1;
    }
    return 0;
}
