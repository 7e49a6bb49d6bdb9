#include "app/Frame.h"

FrameHooks& Frame()
{
    static FrameHooks hooks;
    return hooks;
}

void UpdStat(const std::string& text)
{
    if (Frame().updStat) Frame().updStat(text);
}

void UpdStatFix(const std::string& text)
{
    if (Frame().updStatFix) Frame().updStatFix(text);
}

void UpdPbar(long cur, long total)
{
    if (Frame().updPbar) Frame().updPbar(cur, total);
}

void UpdCaption()
{
    if (Frame().updCaption) Frame().updCaption();
}

void Hourglass(bool busy)
{
    if (Frame().hourglass) Frame().hourglass(busy);
}
