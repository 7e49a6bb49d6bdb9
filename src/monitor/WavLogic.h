// Decisions of the waveform graph that need no window: the condition words from the controls, the
// family K and M sample unpacking, the bit trace, zoom, offsets and the cursor read-out texts.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "monitor/MonGlb.h"

// What MakeChCond and MakeTrigCond read of the graph window's controls.
struct WavControls {
    bool chkItem[WavChShown] = {true, false, false, false, false, false}; // channel boxes (index = channel)
    bool chkItemEnabled[WavChShown] = {true, true, true, true, true, true};
    int optItem = 0;        // option button 0 channel 3, 1 channel 1, 2 channel 2
    int trgMode = 0;        // trigger box 0 / 1
    int slope = 0;          // item data of the slope list
    int position = 0;       // item data of the position list
    std::string levelText = " 0";
    int sldMin = 1, sldMax = 10, sldValue = 10; // sampling slider (stored inverted)
};

// Two bytes to a signed 16-bit value.
int16_t btod(uint8_t lo, uint8_t hi);

// Sampling multiplier the slider stands for: Max + Min - Value.
int16_t WavSampling(const WavControls& c);
// Channel words 0..5 and the option word.
void MakeChCond(WavCondRec& cond, const WavControls& c);
// Trigger words and the sampling word. The level is clamped to the series' limits (when the definition
// gives any) and to 16 bits, and c.levelText is rewritten with the stored value.
void MakeTrigCond(WavCondRec& cond, WavControls& c);
// The level text as the box shows it: decimal with a leading blank when not negative.
std::string WavLevelText(int value);
// The channel set of an amplifier that takes no selection: boxes 1, 2, 3 on, slots 9 = 1, 7 = 2, 8 = 3.
void WaveDefCh(WavCondRec& cond, WavControls& c);

// Slot word of a channel without a capture slot; such a channel is never fetched.
constexpr int16_t WavNoSlot = -1;
// Before a family R channel selection: every channel but 0 without a slot, so that the packing's
// leftovers (a fourth channel finds none) are never fetched with an earlier run's slot.
void WavClearSlots(WavCondRec& cond);
// True when channel ch (1..5) is on but has no slot.
bool WavChannelUnslotted(const WavCondRec& cond, int ch);

// Record that takes the second signal of families K and M: 0, 2 or 3 by the option word.
int WavSecondRecord(const WavCondRec& cond);
// Family K: four 7-bit bytes per point; a byte 130 at the start of a point ends the data. Returns the
// number of points unpacked.
int WaveUnpackK(std::span<const uint8_t> data, const WavCondRec& cond, WavGraphRec& g);
// Family M: the data read's reply. Four series of 500 samples one after the other (the actual speed
// first, the chosen second signal last), or 500 interleaved pairs (actual speed, second signal). With
// option 1 the second signal is divided by 5 (halves to even). False when the reply is too short.
bool WaveUnpackM(std::span<const uint8_t> data, const WavCondRec& cond, WavGraphRec& g);
// Samples 0..499 to 1 when they have a bit of mask, else 0.
void WaveBitTrace(int16_t* samples, int16_t mask);

// ---- view --------------------------------------------------------------------------------------------

// Zoom steps 1, 2, 4, 10, 20; a factor outside the list becomes 4.
float WavZoomIn(float f);
float WavZoomOut(float f);
// Snaps a loaded factor onto the list (1 for anything else).
float WavZoomValid(float f);
int WavSliderLarge(float f);
int WavSliderSmall(float f);
// First visible sample for zoom f and the offset slider's value of its maximum.
int WavXOff(float f, int value, int maximum);
// Cursor 1 on the trigger point of position code 0..5.
int WavCsrToTrig(int code);
// The sample under x logical units from the graph's left edge.
int WavSampleAt(double x, float zoom, int xoff);
// Whether value axis 0, 1, 2 or 4 (record 1, 2, 3 or 5) can be chosen: the in-position axis only where
// the series offers that channel.
bool WavAxisOffered(int axis);

// An offset bar: limits and value after a change of its axis's range.
struct WavBar {
    int min = 0, max = 0, value = 0, large = 1;
};
// rec's range index becomes newIdx (clamped to the table); with keep the absolute offset is kept, else
// the bar value stays.
WavBar WavBarSetup(WavChRec& rec, int newIdx, bool keep, int oldValue);
// Full scale of a record's chosen range; positive, whatever the table says.
int32_t WavFullScale(const WavChRec& rec);

// ---- texts -------------------------------------------------------------------------------------------

std::string WavCycleText(int n, double base);  // "Cycle of 0.50ms"
std::string WavTimeText(int n, double base);   // "Measuring time 250ms"
// Cursor read-out: time of a sample, in ms.
double WavCsrTime(int pos, int n, double base);
std::string WavMsText(double ms);
std::string WavValText(int v, const char* unit);
