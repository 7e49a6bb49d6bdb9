// Input-limit tables: for each numeric text box of a dialog a lower limit, a default, an upper limit and
// a display format, read from a small file of the program folder (com.adj, sokutei.adj).
//
// The file is a sequence of fields separated by commas or line ends, texts optionally in double quotes.
// A record is five fields: control name, lower limit, default, upper limit, format. Numbers are read as
// the leading number of their field. A name "END" ends the table; at most AdjRecCnt records are read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

class QLineEdit;

constexpr int AdjRecCnt = 51;

struct AdjRec {
    std::string Name; // objectName of the text box the record governs
    double Def = 0;   // put in when the text is not a number
    double Lower = 0;
    double Upper = 0;
    std::string Format; // display format, e.g. "0" or "0.0"
};

// One dialog's table; only the first Cnt records count.
struct AdjTbl {
    AdjRec Rec[AdjRecCnt];
    int16_t Cnt = 0;
};

// Reads AppPath(name) into table. False when the file cannot be opened (reported with ErrMsg; the table
// keeps what it held). A file that ends inside a record is reported the same way and keeps the records
// read before it.
bool LoadAdj(AdjTbl& table, const std::string& name);

// Brings box's text into the limits of the record named like the box (its objectName). A box without a
// record gets the message "ADJ_Ctrl : No corresponding control" and keeps its text.
void ADJ_Ctrl(const AdjTbl& table, QLineEdit* box);

// The decision of ADJ_Ctrl: the text a box named name and holding text must show, or nothing when no
// counted record has the name. A text that is not a number becomes the default; a number at or below
// the lower limit becomes the lower limit, at or above the upper limit the upper limit, each written with
// the record's format; any other text is kept as typed.
std::optional<std::string> AdjClampText(const AdjTbl& table, const std::string& name,
                                        const std::string& text);

// v written with a number format made of digit placeholders: "0" a digit always written, "#" a digit
// written only when significant, one optional "." ("0", "0.0", "0.00", "#0.0"). Any other format writes
// the number in its plain form.
std::string AdjFormat(double v, const std::string& format);
