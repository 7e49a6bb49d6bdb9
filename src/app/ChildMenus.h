// The main window's menu items that every screen repeats in its own menus: the items keep the main window's
// item names (Mevalo::ItemName), so that MnuFilEnable and MnuHyoujiEnable set them on the screen as they do
// on the main window, and each calls the main window's handler with its index.
#pragma once

#include <cstdint>

class Mevalo;
class QMenu;
class QWidget;

namespace MainText {
inline constexpr const char* HyoujiItems[10] = {"Window menu &L",
                                                "Parameter &P",
                                                "Monitor &M",
                                                "Alarm &A",
                                                "Wave form graphic &W",
                                                "Auto tuning &T",
                                                "Frequency characteristics &F",
                                                "Positioning Parameter &S",
                                                "Positioning Monitor &O",
                                                "Close all windows &C"};
inline constexpr const char* WinItems[3] = {"Display in piles &C", "Display horizontally &H",
                                            "Display vertically &V"};
} // namespace MainText

// Adds count items "<name>_<i>" with captions[i] to menu; each calls handler(i) on the main window.
void AddMainItems(QMenu* menu, const char* name, const char* const* captions, int count,
                  void (Mevalo::*handler)(int16_t));
// The ten Display items; the main window enables them for screen each time the menu opens.
void AddDisplayItems(QMenu* menu, QWidget* screen);
// The three Window items.
void AddWindowItems(QMenu* menu);
