// What the positioning editor does, apart from its widgets: on-demand page reception, applying a step
// row or a parameter row (with the single write and read-back when the values are the amplifier's), send
// all, receive all, the data files and presets, and the scroll arithmetic of the pages.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "positioning/PopGlb.h"

// The pages of one table received on demand by the last call: only the two pages of the last call count
// as received, so a page scrolled away from is received again when it comes back.
class PopPageKeeper {
  public:
    void Clear() { kept_.clear(); }
    const std::string& Kept() const { return kept_; }
    // Receives, through recv(page), the pages that rows first..first+7 of a table of count entries need
    // and that the last call did not keep. Pages beyond the table are never asked for.
    void Recv(int first, int count, const std::function<void(int page)>& recv);

  private:
    std::string kept_;
};

// The three tables, each with its keeper; only while PopRecvByPage is set and the link answers.
void RecvStepPages(PopPageKeeper& keeper, int first);
void RecvPrm16Pages(PopPageKeeper& keeper, int first);
void RecvPrm32Pages(PopPageKeeper& keeper, int first);

// A position typed into a step row: an integer (blanks around it allowed) becomes that value, one beyond
// the 64-bit range the nearest end of it; anything else is an empty position. Then it is clamped to the
// step limits (an empty position counts as 0 there).
PopPos PopPosFromText(const std::string& text);

// One step row as the user left it. A list without a selection has no code: the step's code is one the
// list does not hold, and the user did not choose another.
struct PopStepRow {
    std::string pos;
    std::optional<int16_t> mod, vel, acc, dec, blk;
    std::string comment;
};
// The step the row makes of held, the step as the table has it: a list without a selection keeps held's
// code, so that applying a row never changes a value the user did not touch.
PopStepRec GetStepRow(const PopStepRow& row, const PopStepRec& held);

// Status texts and the hourglass of the editor while it works.
using PopWaitMsg = std::function<void(const std::string& text, bool busy)>;

// Applies step n: into the table, and when the values are the amplifier's and a port is chosen, to the
// amplifier with a read-back. A failed write puts the old step back. Steps beyond the count are left.
void UpdStepRow(int n, const PopStepRec& rec, const PopWaitMsg& wait);

// Applies a value typed into parameter row n (wide: the 32-bit table). Returns whether the parameter
// has just been written and becomes active only after a power cycle (the caller shows that notice).
bool UpdPrmRow(bool wide, int n, int64_t value);

// Send all: checks, then steps, 16-bit and 32-bit parameters under one execution right. True when
// everything was sent (the data then count as transmitted).
bool PopSendAll();
// Receives the three tables into the given arrays with the editor's progress texts; 0 when all came,
// else the table that failed first (1 steps, 2 16-bit, 3 32-bit), the later ones not asked for.
int PopRecvTables(PopStepRec* steps, PopPrmRec* prm16, PopPrmRec* prm32, const char* stepText);
// Receive all of the editor (also its axis change): after a failure the data are marked as not
// transmitted and the caption says the reception was not complete. True when everything came.
bool PopRecvAll();

// The editor's file commands; each says what went wrong itself. True when done.
bool PopSaveFile();
bool PopReadFile();
bool PopPresets();

// Which menus and buttons the editor enables for a port and a data source.
struct PopMenuState {
    bool send = false, eep = false; // need a port
    bool recv = false;              // amplifier data; never over file or preset data
    bool read = false, presets = false;
};
PopMenuState PopMenuFor(bool portSelected, int32_t source);

// Scroll targets of a page of eight rows over min..max: the page keys wrap from one end to the other
// when pressed at the end, else stop at the ends; the arrow keys past the first or last row wrap as
// soon as the step would leave the range.
int PopPageKeyTarget(int value, int delta, int min, int max);
int PopRowKeyTarget(int value, int delta, int min, int max);
