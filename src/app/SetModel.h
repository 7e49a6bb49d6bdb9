// Model set-up of the amplifier at one axis address: reads its model name, rebuilds the catalogue, reads
// the CPU versions and loads the model's definition files and presets. Every connection path and every
// axis change runs it. Also the calls it makes into screens and loaders that come with other parts of the
// program, and the snapshot that puts the old axis and model back when a change does not go through.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/Glb.h"

// Answer text of each axis address shown on its button (0..15 used): "", "In-searching" or "Connection".
constexpr int AxisTxtCnt = 33;
extern std::string AxisTxt[AxisTxtCnt];

namespace AxisText {
inline constexpr const char* Searching = "In-searching";
inline constexpr const char* Connected = "Connection";
} // namespace AxisText

// The positioning editor's twins of PrmFlg and PrmIsAmp: True while its values came from the amplifier.
extern int16_t PopFlg;
extern int16_t PopIsAmp;

// What the model set-up and the axis change call in screens and loaders that install themselves here.
// An empty entry is logged as not installed; a loader that is missing does not stop the set-up.
struct AxisScreenCalls {
    // Factory preset parameters of a model (version key variant 0): True when loaded.
    std::function<int16_t(const std::string& model, int16_t variant)> prmKiTeiChi;
    // Positioning presets of a model: True when loaded.
    std::function<int16_t(const std::string& model, int16_t variant)> loadPopDefault;
    // EEPROM read-back points of the parameter and positioning EEPROM dialogs.
    std::function<void(const std::string&)> checkPoint;
    std::function<void(const std::string&)> popCheckPoint;
    // Axis-change notices of the open screens (each called only while its window is loaded).
    std::function<void()> paraUpdAxis; // FrmPara: receives its parameters again
    std::function<void()> popUpdAxis;  // FrmPop
    std::function<void()> pomUpdAxis;  // FrmPom
    std::function<void()> moniUpdAxis; // FrmMoni
    std::function<void()> autoUpdAxis; // FrmAuto
};
AxisScreenCalls& AxisScreens();

// Runs an installed entry, or logs that none is installed and reports success (so that a connection is
// still possible without it).
int16_t CallPrmKiTeiChi(const std::string& model);
int16_t CallLoadPopDefault(const std::string& model);
void CallCheckPoints();
// The UpdAxis of name's window when it is loaded and its entry is installed.
void CallUpdAxis(const char* name, const std::function<void()>& upd);

namespace SetModelText {
inline constexpr const char* NoAnswerTitle = "Search of the axis address(ID)";
inline constexpr const char* DetectTitle = "Yes ?";
inline constexpr const char* RetainPrm =
    "Do you retain the current parameter value even after the axis change ?";
inline constexpr const char* RetainPop =
    "Do you retain the current positioning parameter value even after the axis change ?";
inline constexpr const char* FileTitle = "Reading of file";
inline constexpr const char* SetTitle = "Setting model";
} // namespace SetModelText

// "Axis address(ID):" & id & " Can't connect the amplifier to COM" & port & "." (the port of the link).
std::string NoModelAnswerText(int16_t id, int16_t port);
// The 12 characters of a model name reply, "*" and NUL as "_"; bytes the reply did not carry read as NUL.
std::string ModelNameFromReply(const uint8_t* data, int dataLen);
// The model key: the first 12 characters of name, padded with "_".
std::string ModelKey(const std::string& name);

// How far a model set-up went.
enum class SetModelStage {
    Done,     // the model is set up
    NoAnswer, // the model name could not be read; nothing changed
    Declined, // the user declined the detected model; nothing changed
    Failed,   // a preset file is missing; the model state has changed
};

// The model set-up of the amplifier at id. keepPrm / keepPop receive the answers to the retain questions
// (left as they were when not asked). redraw(id) redraws the axis buttons with id selected.
SetModelStage RunSetModel(int16_t id, int16_t& keepPrm, int16_t& keepPop,
                          const std::function<void(int16_t)>& redraw = {});
// The same with the result as a truth value.
void SetModel(int16_t id, int16_t& keepPrm, int16_t& keepPop, int16_t& ok,
              const std::function<void(int16_t)>& redraw = {});

// The axis and the model that belongs to it, taken before a change and put back when it fails, so that
// requests never go to one amplifier with the model and definitions of another.
class ModelSnapshot {
  public:
    ModelSnapshot();
    // Puts the axis back; when modelChanged, also the model, its versions and its definition files.
    void Restore(bool modelChanged) const;

  private:
    int16_t axisNo_;
    int16_t kisyuCode_;
    std::string kisyuMei_;
    CpuVerRec cpuVer_[CpuVerCnt];
};
