// Group files: item reader, whole-file reader with its damaged-file handling, and the writer.
#include "data/DefFil.h"

#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include <unistd.h>

#include "app/Frame.h"
#include "app/Glb.h"
#include "app/Log.h"
#include "app/Uty.h"
#include "data/FilBackup.h"
#include "platform/Ask.h"
#include "platform/EndProgram.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "positioning/PopGlb.h"

std::function<void(int32_t kind, const std::string& title)> FIL_PrmSrcHook;

namespace {

// ---- open files ------------------------------------------------------------------------------------

struct ReadFile {
    std::string path;
    plat::TextLines lines;
    size_t line = 0;
    size_t col = 0;
    bool lineEnded = false; // the last item ended at its line's end
};

struct WriteFile {
    std::unique_ptr<plat::AtomicTextWriter> out;
};

std::map<int16_t, ReadFile>& Readers()
{
    static std::map<int16_t, ReadFile> m;
    return m;
}

std::map<int16_t, WriteFile>& Writers()
{
    static std::map<int16_t, WriteFile> m;
    return m;
}

int16_t FreeFile()
{
    for (int16_t n = 1; n < 512; ++n)
        if (!Readers().count(n) && !Writers().count(n)) return n;
    throw FilError("too many files open");
}

ReadFile& Reader(int16_t file)
{
    auto it = Readers().find(file);
    if (it == Readers().end()) throw FilError("file " + std::to_string(file) + " is not open for reading");
    return it->second;
}

plat::AtomicTextWriter& Writer(int16_t file)
{
    auto it = Writers().find(file);
    if (it == Writers().end() || !it->second.out)
        throw FilError("file " + std::to_string(file) + " is not open for writing");
    return *it->second.out;
}

// ---- items -----------------------------------------------------------------------------------------

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

struct Item {
    std::string text;
    bool quoted = false;
    bool IsComment() const { return !quoted && !text.empty() && text[0] == '#'; }
    bool IsEmpty() const { return !quoted && Trim(text).empty(); }
};

// Moves past the separator that ends an item at col: a comma keeps the line, a line end moves on.
void EndItem(ReadFile& f, size_t stop)
{
    const std::string_view l = f.lines[f.line];
    f.lineEnded = stop >= l.size();
    if (!f.lineEnded) {
        f.col = stop + 1; // past the comma
    } else {
        ++f.line;
        f.col = 0;
    }
}

// One item whole. A quoted item runs to the closing quote (or the line end); what follows it up to
// the separator is dropped.
Item NextItem(ReadFile& f)
{
    if (f.line >= f.lines.size()) throw FilError("end of file");
    const std::string_view l = f.lines[f.line];
    size_t p = f.col;
    while (p < l.size() && IsBlank(l[p])) ++p;
    Item it;
    if (p < l.size() && l[p] == '"') {
        it.quoted = true;
        size_t q = l.find('"', p + 1);
        if (q == std::string::npos) q = l.size();
        it.text = l.substr(p + 1, q - p - 1);
        size_t stop = l.find(',', q);
        EndItem(f, stop == std::string::npos ? l.size() : stop);
    } else {
        size_t stop = l.find(',', p);
        if (stop == std::string::npos) stop = l.size();
        it.text = l.substr(p, stop - p);
        EndItem(f, stop);
    }
    return it;
}

// Whether the text of a quoted field stands further on: the lines from the reader's place, past blank
// lines and comment items, come to a double quote before anything else. When they do, the reader is
// moved to that line; otherwise it stays where it is.
bool QuoteAhead(ReadFile& f) {
    for (size_t line = f.line; line < f.lines.size(); ++line) {
        const std::string_view l = f.lines[line];
        size_t p = 0;
        for (;;) {
            while (p < l.size() && IsBlank(l[p]))
                ++p;
            if (p >= l.size()) break; // nothing more on this line
            if (l[p] == '"') {
                f.line = line;
                f.col = 0;
                return true;
            }
            if (l[p] != '#') return false;
            const size_t comma = l.find(',', p);
            if (comma == std::string::npos) break;
            p = comma + 1;
        }
    }
    return false;
}

Item NextNonComment(ReadFile& f)
{
    for (;;) {
        Item it = NextItem(f);
        if (!it.IsComment()) return it;
    }
}

// The value of a value item; false when the item is not one.
bool ValueOf(const Item& it, Variant& out)
{
    std::string t = it.text;
    size_t b = 0;
    while (b < t.size() && IsBlank(t[b])) ++b;
    t.erase(0, b);
    if (t.compare(0, 2, "Tr") == 0 || t.compare(0, 2, "Fa") == 0) {
        out = Variant(t[0] == 'T');
        return true;
    }
    if (t.compare(0, 2, "0x") == 0 || t.compare(0, 2, "0X") == 0) {
        uint32_t v = 0;
        size_t n = 0;
        for (size_t i = 2; i < t.size(); ++i) {
            const int d = plat::HexDigit(t[i]);
            if (d < 0) break;
            if (++n > 8) throw VariantError(t + " does not fit a 32-bit value");
            v = v << 4 | static_cast<uint32_t>(d);
        }
        // Up to four digits are a 16-bit word, so "0xFFFF" is -1.
        const double d = n <= 4 ? double(static_cast<int16_t>(static_cast<uint16_t>(v))) : double(static_cast<int32_t>(v));
        out = Variant(d);
        return true;
    }
    if (auto d = plat::ParseDouble(t)) {
        // A number beyond the range of a double is damage, never an infinity to store.
        if (!std::isfinite(*d)) throw FilError(Trim(t) + " is out of range");
        out = Variant(*d);
        return true;
    }
    return false;
}

// Writer of the header's date line.
std::function<std::time_t()>& Clock()
{
    static std::function<std::time_t()> c;
    return c;
}

} // namespace

// ---- token readers ---------------------------------------------------------------------------------

int16_t FIL_OpenRead(const std::string& path, plat::ReadError* why)
{
    plat::ReadError error;
    auto lines = plat::ReadLines(path, &error);
    if (!lines) {
        log("Can't read " + path + ": " + error.text, LogDefFiles | LogOther);
        if (why) *why = std::move(error);
        return -1;
    }
    const int16_t file = FreeFile();
    ReadFile& rf = Readers()[file];
    rf.path = path;
    rf.lines = std::move(*lines);
    return file;
}

void FIL_Close(int16_t file)
{
    Readers().erase(file);
}

std::string FIL_ReadCommand(int16_t file)
{
    ReadFile& f = Reader(file);
    for (;;) {
        Item it = NextItem(f);
        if (it.IsComment()) {
            log("Comment:" + it.text, LogOther);
            continue;
        }
        // A blank line or a trailing comma is a separator, not a command.
        if (it.IsEmpty()) continue;
        std::string cmd = Trim(it.text);
        if (!it.quoted && (cmd == "DATA" || cmd == "END")) {
            log("Command>" + cmd, LogOther);
            return cmd;
        }
        log("Unknown command>" + it.text, LogOther);
        return {};
    }
}

Variant FIL_ReadValue(int16_t file)
{
    ReadFile& f = Reader(file);
    for (;;) {
        Item it = NextNonComment(f);
        Variant v;
        if (ValueOf(it, v)) return v;
        log("Unknown vale>" + it.text, LogOther);
    }
}

std::string FIL_ReadString(int16_t file)
{
    return Trim(NextNonComment(Reader(file)).text);
}

std::string FIL_ReadQuotedString(int16_t file)
{
    ReadFile& f = Reader(file);
    // The text may stand on the record's line or, when that line ends before an opening quote (after the
    // index, a trailing comma or a comment item), on a following line that opens with one. A record
    // without a text (the bare "DATA,n" form) leaves the next line to the next record.
    if (f.col == 0 && f.lineEnded && !QuoteAhead(f)) return {};
    // Up to the opening quote; a '#' on the way starts a comment item, dropped to its end.
    for (;;) {
        if (f.line >= f.lines.size()) throw FilError("end of file");
        const std::string_view l = f.lines[f.line];
        if (f.col >= l.size()) {
            EndItem(f, l.size());
            if (!QuoteAhead(f)) return {};
            continue;
        }
        const char c = l[f.col];
        if (c == '"') break;
        if (c == '#') {
            size_t stop = l.find(',', f.col);
            EndItem(f, stop == std::string::npos ? l.size() : stop);
            if (f.lineEnded && !QuoteAhead(f)) return {};
            continue;
        }
        ++f.col;
    }
    const std::string_view l = f.lines[f.line];
    const size_t open = f.col;
    size_t stop = l.find(',', open);
    if (stop == std::string::npos) stop = l.size(); // a line end ends the text like a comma
    if (open + 1 < l.size() && l[open + 1] == '"') {
        EndItem(f, stop); // "" is the empty text; the rest of the item goes with it
        return {};
    }
    std::string text = Trim(l.substr(open + 1, stop - open - 1));
    if (!text.empty() && text.back() == '"') text.pop_back();
    EndItem(f, stop);
    return Trim(text);
}

std::string FIL_ReadGroup(int16_t file, int16_t& count)
{
    ReadFile& f = Reader(file);
    Item it;
    do {
        it = NextNonComment(f);
    } while (it.IsEmpty()); // blank lines between groups are not damage
    std::string name = Trim(it.text);
    log("Group>" + name, LogOther);
    // Nothing after the trailer is read, so its count is not needed either.
    count = name == "DEF END" ? 0 : FIL_ReadValue(file).ToInt16();
    return name;
}

void FIL_SkipItems(int16_t file, int n)
{
    ReadFile& f = Reader(file);
    for (int i = 0; i < n; ++i) NextNonComment(f);
}

void FIL_SkipQuotedItems(int16_t file, int n)
{
    for (int i = 0; i < n; ++i) FIL_ReadQuotedString(file);
}

int16_t FIL_SkipIf(int16_t file, int16_t flag, int n)
{
    if (flag == 0) return plat::VbFalse;
    FIL_SkipItems(file, n);
    return plat::VbTrue;
}

int16_t FIL_SkipQuotedIf(int16_t file, int16_t flag, int n)
{
    if (flag == 0) return plat::VbFalse;
    FIL_SkipQuotedItems(file, n);
    return plat::VbTrue;
}

void FIL_CheckIndex(int index, int first, int last, const char* table)
{
    if (index < first || index > last)
        throw FilError(std::string("index ") + std::to_string(index) + " outside " + table);
}

// ---- whole-file reader -----------------------------------------------------------------------------

namespace {

// Closes a reader's file whatever way the read ends.
struct ReadGuard {
    int16_t file;
    ~ReadGuard()
    {
        FIL_Close(file);
        Hourglass(false);
    }
};

void DamagedMessages(bool fatal, const std::string& path, const std::string& group, int index,
                     const std::string& command)
{
    if (fatal)
        plat::MsgBox("File is damaged. Install the Mevalo again.", plat::Buttons::Ok, plat::Icon::Critical,
                     "Can't execute Mevalo");
    else
        plat::MsgBox("File is damaged.", plat::Buttons::Ok, plat::Icon::Critical, "File reading error.");
    plat::MsgBox("File:" + path + " Group" + group + " Block :" + std::to_string(index) +
                     " Extension :" + command,
                 plat::Buttons::Ok, plat::Icon::None, "Internal use information");
}

} // namespace

int16_t FIL_ReadGroupFile(const std::string& path, int16_t fatal)
{
    PrmValLoaded = 0;
    PrmPosLoaded = 0;

    plat::ReadError why;
    const int16_t file = FIL_OpenRead(path, &why);
    if (file == -1) {
        log("@ " + path, LogDefFiles);
        // A missing file ends a numbered series of definition files; one too large to be one is damage.
        if (fatal && why.tooLarge) {
            DamagedMessages(true, path, "", 0, "");
            plat::EndProgram(1);
        }
        return plat::VbFalse;
    }

    log("  " + path, LogDefFiles);
    Hourglass(true);
    // A data file that fails changes nothing; a definition file that fails ends the program.
    std::unique_ptr<FilBackup> before;
    if (!fatal) before = std::make_unique<FilBackup>();

    std::string group;
    int index = 0;
    std::string command;
    bool damaged = false;
    bool stopped = false;
    {
        ReadGuard guard{file};
        try {
            int records = 0;
            for (;;) {
                int16_t count = 0;
                group = FIL_ReadGroup(file, count);
                log("Data group" + group, LogOther);
                if (group == "DEF END") break;
                const FilGroupDef* def = FIL_FindGroup(group);
                for (;;) {
                    command = FIL_ReadCommand(file);
                    if (command == "END") break;
                    if (command != "DATA") {
                        damaged = true;
                        break;
                    }
                    index = FIL_ReadValue(file).ToInt16();
                    if (++records > 30) {
                        records = 0;
                        UpdStat("In-reading the file [" + path + "]." + group + ":" + std::to_string(index));
                        UpdPbar(index, count);
                    }
                    if (def && def->load)
                        def->load(file, static_cast<int16_t>(index));
                    else
                        log("Error in group name." + group, LogOther);
                }
                if (damaged) break;
            }
        } catch (const plat::ProgramEnded&) {
            throw;
        } catch (const std::exception& e) {
            log("Reading stopped: " + std::string(e.what()), LogOther);
            stopped = true;
        }
    } // the file is closed here, before any message
    if ((damaged || stopped) && before) before->Restore();

    if (damaged || (stopped && fatal)) {
        DamagedMessages(fatal != 0, path, group, index, command);
        if (fatal) plat::EndProgram(1);
        return plat::VbFalse;
    }
    if (stopped) return plat::VbFalse;

    if (PrmValLoaded && FIL_PrmSrcHook) FIL_PrmSrcHook(2, "");
    if (PrmPosLoaded) SetPopDataSource(2, "");
    return plat::VbTrue;
}

// ---- writer ----------------------------------------------------------------------------------------

int16_t FIL_CheckOverWrite(const std::string& path)
{
    if (path.empty()) return plat::VbTrue;
    if (!plat::FileExists(path)) return plat::VbFalse;
    if (MsgYesNo("The file has already existed. Do you replace it?", "Yes ?")) return plat::VbFalse;
    return plat::VbTrue;
}

int16_t FIL_OpenDateGroupe(const std::string& path)
{
    // The file is written at close; a target that could never be replaced is refused now, as an
    // open for writing would be.
    ClearErr();
    const std::string real = plat::RealPath(path);
    const size_t slash = real.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : real.substr(0, slash));
    const bool ok = !real.empty() && slash + 1 < real.size() && !plat::DirExists(real) &&
                    plat::DirExists(dir) && ::access(dir.c_str(), W_OK | X_OK) == 0;
    if (!ok) {
        log("FIL_OpenDateGroupe:File Can't write the setting to the file " + path + ".", LogOther);
        // Left pending for the saving procedure's report after the open.
        SetErr(ErrFileAccess, "Can't write the file " + path + ".");
        return -1;
    }
    log("FIL_OpenDateGroupe:File Can write the setting to the file " + path + ".", LogOther);
    const int16_t file = FreeFile();
    Writers()[file].out = std::make_unique<plat::AtomicTextWriter>(path);
    plat::AtomicTextWriter& w = *Writers()[file].out;

    const std::time_t now = Clock() ? Clock()() : std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y/%m/%d %H:%M:%S", &tm);
    w.WriteLine("#");
    w.WriteLine("#");
    w.WriteLine("#file(" + FIL_CommentText(path) + ")");
    w.WriteLine(std::string("#Date and time") + stamp);
    w.WriteLine("#");
    w.WriteLine("#");
    return file;
}

void FIL_WriteGroup(int16_t file, const std::string& name, int first, int last)
{
    plat::AtomicTextWriter& w = Writer(file);
    w.WriteLine("#" + std::string(46, '-'));
    w.WriteLine(name + "," + std::to_string(last - first + 1) + ",#Group name and max. data");
    w.WriteLine("#");
    if (name == "STEP DATA")
        w.WriteLine("#,#Number,#Position/Douel time,#Acceleration,#Deceleation,#Velocity,#Block#Mode");
    else if (name == "WAVE GRAPH DATA" || name == "WAVE REF GRAPH DATA")
        w.WriteLine("#,#Number,#Actual speed,#Torque,#Position error,#Commanded speed#Full close err#In-position");
    else if (name == "FREQ GRAPH DATA" || name == "FREQ GRAPH REF")
        w.WriteLine("#,#Number,#Input,#Output,#Raw data");
    else if (name == "FFT GRAPH DATA" || name == "FFT GRAPH REF")
        w.WriteLine("##No,#Freq,#Gain,#Phase");

    const FilGroupDef* def = FIL_FindGroup(name);
    int records = 0;
    for (int i = first; i <= last; ++i) {
        if (++records > 10) {
            records = 0;
            UpdStat("In-writing the file." + name + ":" + std::to_string(i));
            UpdPbar(i - first, last - first);
        }
        const auto idx = static_cast<int16_t>(i);
        if (def && def->write && def->writesDataLine) {
            def->write(file, idx);
            continue;
        }
        w.WriteLine("DATA," + std::to_string(i));
        if (def && def->write) def->write(file, idx);
    }
    w.WriteLine("END");
}

int16_t FIL_CloseDateGroupe(int16_t file)
{
    auto it = Writers().find(file);
    if (it == Writers().end() || !it->second.out) return plat::VbFalse;
    std::unique_ptr<plat::AtomicTextWriter> w = std::move(it->second.out);
    Writers().erase(it);
    w->WriteLine("#" + std::string(46, '-'));
    w->WriteLine("DEF END,0");
    w->WriteLine("#");
    w->WriteLine("#");
    w->WriteLine("#");
    w->WriteLine("#end of file");
    w->WriteLine("#");
    w->WriteLine("#");
    // A save is only good once the whole file is on disk: the old file stays until then.
    if (!w->Commit()) {
        log("FIL_CloseDateGroupe:" + w->Error(), LogOther);
        SetErr(ErrFileAccess, w->Error()); // reported by the saving procedure after the close
        return plat::VbFalse;
    }
    return plat::VbTrue;
}

void FIL_AbortDateGroupe(int16_t file)
{
    Writers().erase(file);
}

void FIL_WriteValue(int16_t file, const Variant& value, const std::string& title)
{
    const double v = value.IsBool() ? (value.ToBool() ? 1.0 : 0.0) : value.ToDouble();
    std::string line = plat::PrintForm(v);
    if (!title.empty()) line += ",#" + FIL_CommentText(title);
    Writer(file).WriteLine(line);
}

void FIL_WriteString(int16_t file, const std::string& text, const std::string& title)
{
    std::string line = FIL_FieldText(text);
    if (!title.empty()) line += ",#" + FIL_CommentText(title);
    Writer(file).WriteLine(line);
}

void FIL_WriteLine(int16_t file, const std::string& line)
{
    Writer(file).WriteLine(line);
}

std::string FIL_FieldText(const std::string& text)
{
    std::string t = text;
    for (char& c : t) {
        if (c == '"') c = '\'';
        if (c == '\r' || c == '\n') c = ' ';
    }
    const std::string trimmed = Trim(t);
    const bool quote = t.find(',') != std::string::npos || (!trimmed.empty() && trimmed[0] == '#');
    if (t != text) log("Text changed to be written: " + text, LogOther);
    return quote ? "\"" + t + "\"" : t;
}

std::string FIL_CommentText(const std::string& text)
{
    std::string t;
    for (char c : text)
        if (c != ',' && c != '\r' && c != '\n') t += c;
    return t;
}

void FIL_SetClock(std::function<std::time_t()> clock)
{
    Clock() = std::move(clock);
}
