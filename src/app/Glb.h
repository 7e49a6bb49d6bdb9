// Shared state of the application frame: plain globals that every part reads and writes on the one
// user-interface thread. Boolean words hold -1 (True) or 0 (False). Table sizes are named so that
// every loader can check an index against its table before it writes.
#pragma once

#include <cstdint>
#include <string>

#include "app/Variant.h"

// ---- modal results, start-up, operating mode ------------------------------------------------------

// Result word of the modal dialogs: -1 proceed, 0 cancel, 7 data were installed, 123 quit the program.
extern int16_t DlgResult;
// 0 while the start-up loop shows the connection dialog, -1 afterwards.
extern int16_t StartUpDone;
// Operating mode: 1 normal, 2 internal, 3 SE.
extern int16_t UserLevel;
// The connection dialog offers RS-485 multi-axis operation (EXTENTION V2.5).
extern int16_t MultiAxisEnable;
// Number of COM ports offered (COM1 to COM<n>).
extern int16_t ComPortCnt;
// Further EXTENTION V2.5 words; word 0 enables the model check during the axis search.
extern int16_t ExtV25Opt[3];
// EXTENTION V3.6 word read by the auto-tuning screen.
extern int16_t ExtV36Val;
// Current directory at start-up: first folder of the file dialogs.
extern std::string StartDir;
// Result of the last request, library call or file read.
extern Variant RetVar;

// ---- amplifier identity --------------------------------------------------------------------------

constexpr int CpuVerCnt = 11;
struct CpuVerRec {
    int16_t Present = 0; // non-zero when the entry holds a version
    int16_t Major = 0;
    int16_t Minor = 0;
    int16_t Word4 = 0;
};
extern CpuVerRec CpuVer[CpuVerCnt];

struct MotorMeiRec {
    int16_t Present = 0; // non-zero when the motor model is known
    std::string Name;
};
extern MotorMeiRec MotorMei;

constexpr int FileVerCnt = 11;
struct FileVerRec {
    std::string Name;
    std::string Ver;
    int16_t Present = 0;
};
// FILE VERSION rows of the definition files, listed by the version window.
extern FileVerRec FileVerTbl[FileVerCnt];

extern std::string KisyuMei; // model name, 12 characters as the amplifier gives it
extern std::string KisyuKey; // series key = folder name under ini/prm
extern int16_t KisyuCode;    // 10-12 family K, 20-24 family M, 25 family R
extern int16_t CmdFamily;    // 1 ASCII line protocol, 5 framed requests
extern int32_t LinkKind;     // 1 RS-232C, 2 RS-485 multi-axis, 3 no amplifier
extern int16_t AxisNo;       // axis address 0 to 15 (-1 while a search has found none)
extern int16_t TypeSelMode;  // 1 series only, 2 series and then model

// Capability masks: 0 on line over RS-232C, 1 on line over RS-485, 2 off line.
extern int16_t MenuMask[3];

// Bit rates that detection tries, in order.
constexpr int BaudTblSize = 17;
extern int32_t BaudCnt;
extern int32_t BaudTbl[BaudTblSize];

// ---- series / model catalogue --------------------------------------------------------------------

constexpr int KisyuListSize = 65;
constexpr int KisyuTblSize = 1025;
struct KisyuRec {
    std::string SeriesKey; // folder name, an entry of KisyuList
    std::string ModelKey;  // first 12 characters of the preset file's name
    int16_t Code = 0;      // series code
};
extern std::string KisyuList[KisyuListSize];
extern int16_t KisyuListCnt;
extern KisyuRec KisyuTbl[KisyuTblSize];
extern int16_t KisyuTblCnt;

// ---- data files ----------------------------------------------------------------------------------

// Comment lines of the data files by kind (0 parameters, 1 waveform, 2 frequency, 3 positioning,
// 4 and 5 spare) and line 0 to 4.
constexpr int CommentKinds = 6;
constexpr int CommentLines = 5;
extern std::string CommentTxt[CommentKinds][CommentLines];

// Load selections set by the screens' load dialogs around one file read.
// LoadSel: 0 skip condition, 1 skip measured waveform, 2 skip reference, 3 skip parameter groups,
// 4 load the measured waveform as reference.
extern int16_t LoadSel[5];
// FrqLoadSel: 0 skip view, 1 skip condition, 2 skip measured result, 3 skip reference.
extern int16_t FrqLoadSel[4];
// Set by the parameter-value and positioning loaders during one read.
extern int16_t PrmValLoaded;
extern int16_t PrmPosLoaded;

// ---- tables of the frame's dialogs ---------------------------------------------------------------

// Bit names of the driver-error window and the monitors: text set 0..20, bit 0..40.
constexpr int BitNameSets = 21;
constexpr int BitNameBits = 41;
extern std::string BitName[BitNameSets][BitNameBits];

// Caution table of the caution dialog.
constexpr int AlartCnt = 11;
struct AlartRec {
    std::string Caption; // window title
    std::string Message; // caution text
    int16_t Offer = 0;   // non-zero: offer "No display of this window hereafter"
    int16_t Off = 0;     // 1: the user asked not to see it again
};
extern AlartRec AlartTbl[AlartCnt];

// Status messages of the screens, 0 to 100.
constexpr int AutoMsgCnt = 101;
extern std::string AutoMsg[AutoMsgCnt];
