#include "app/Adj.h"

#include "app/Uty.h"
#include "platform/Ask.h"
#include "platform/Numbers.h"
#include "platform/TextFile.h"

#include <QLineEdit>

#include <vector>

namespace {

// Splits the lines of a limits file into fields: a comma or a line end ends a field; a field in double
// quotes is taken as written, anything after its closing quote up to the next comma is dropped; blanks
// around an unquoted field are dropped. Empty lines hold no field.
std::vector<std::string> SplitFields(const plat::TextLines& lines) {
    std::vector<std::string> fields;
    for (const std::string_view line : lines) {
        size_t i = 0;
        const size_t n = line.size();
        auto blank = [&](size_t k) { return line[k] == ' ' || line[k] == '\t'; };
        while (i < n && blank(i))
            ++i;
        if (i == n) continue;
        for (;;) {
            while (i < n && blank(i))
                ++i;
            std::string field;
            if (i < n && line[i] == '"') {
                const size_t close = line.find('"', i + 1);
                const size_t end = close == std::string::npos ? n : close;
                field = line.substr(i + 1, end - i - 1);
                i = end;
                while (i < n && line[i] != ',')
                    ++i;
            } else {
                const size_t comma = line.find(',', i);
                const size_t end = comma == std::string::npos ? n : comma;
                field = line.substr(i, end - i);
                const size_t last = field.find_last_not_of(" \t");
                field.erase(last == std::string::npos ? 0 : last + 1);
                i = end;
            }
            fields.push_back(std::move(field));
            if (i >= n) break;
            ++i; // the comma
            // A comma that ends the line separates nothing from the next line's first field.
            size_t rest = i;
            while (rest < n && blank(rest))
                ++rest;
            if (rest == n) break;
        }
    }
    return fields;
}

// Digit placeholders of a format: counts around the decimal point, or nothing for a format we do not
// write this way.
struct DigitFormat {
    int intZeros = 0;   // '0' before the point: minimum integer digits
    int fracZeros = 0;  // '0' after the point: decimals always written
    int fracDigits = 0; // '0' and '#' after the point: decimals at most
};

std::optional<DigitFormat> ParseFormat(const std::string& format) {
    DigitFormat f;
    bool point = false;
    if (format.empty()) return std::nullopt;
    for (char c : format) {
        if (c == '.') {
            if (point) return std::nullopt;
            point = true;
        } else if (c == '0' || c == '#') {
            if (point) {
                ++f.fracDigits;
                if (c == '0') f.fracZeros = f.fracDigits; // a '0' makes every decimal before it required too
            } else if (c == '0') {
                ++f.intZeros;
            }
        } else {
            return std::nullopt;
        }
    }
    return f;
}

} // namespace

std::string AdjFormat(double v, const std::string& format) {
    const std::optional<DigitFormat> f = ParseFormat(format);
    if (!f) {
        std::string s = plat::StrForm(v);
        if (!s.empty() && s.front() == ' ') s.erase(0, 1);
        if (s.size() > 1 && s[0] == '.')
            s.insert(0, "0");
        else if (s.size() > 2 && s[0] == '-' && s[1] == '.')
            s.insert(1, "0");
        return s;
    }
    std::string s = plat::FormatFixed(v, f->fracDigits);
    bool negative = !s.empty() && s.front() == '-';
    if (negative) s.erase(0, 1);
    std::string intPart = s;
    std::string fracPart;
    if (const size_t dot = s.find('.'); dot != std::string::npos) {
        intPart = s.substr(0, dot);
        fracPart = s.substr(dot + 1);
    }
    while (static_cast<int>(fracPart.size()) > f->fracZeros && !fracPart.empty() && fracPart.back() == '0')
        fracPart.pop_back();
    if (intPart == "0" && f->intZeros == 0) intPart.clear();
    while (static_cast<int>(intPart.size()) < f->intZeros)
        intPart.insert(0, "0");
    if (intPart.find_first_not_of('0') == std::string::npos &&
        fracPart.find_first_not_of('0') == std::string::npos)
        negative = false; // a value rounded to zero carries no sign
    std::string out = negative ? "-" : "";
    out += intPart;
    if (!fracPart.empty()) out += "." + fracPart;
    return out;
}

bool LoadAdj(AdjTbl& table, const std::string& name) {
    const std::string place = "Upper and lower limit of the value:" + name;
    ClearErr(); // an error nobody reported must not end this read
    plat::ReadError error;
    const auto lines = plat::ReadLines(AppPath(name), &error);
    if (!lines) {
        SetErr(ErrFileNotFound, error.text);
        ErrMsg(place);
        return false;
    }
    const std::vector<std::string> fields = SplitFields(*lines);
    size_t next = 0;
    auto read = [&](std::string& out) {
        if (next >= fields.size()) {
            SetErr(ErrPastEnd, "Input past end of file");
            out.clear();
            return;
        }
        out = fields[next++];
    };

    table.Cnt = 0;
    for (int i = 0; i < AdjRecCnt; ++i) {
        std::string field;
        read(field);
        if (Err().Number == 0 && field == "END") break;
        AdjRec rec;
        rec.Name = field;
        read(field);
        rec.Lower = plat::LeadingNumber(field);
        read(field);
        rec.Def = plat::LeadingNumber(field);
        read(field);
        rec.Upper = plat::LeadingNumber(field);
        read(rec.Format);
        if (ErrMsg(place) != 0) break;
        table.Rec[i] = std::move(rec);
        table.Cnt = static_cast<int16_t>(i + 1);
    }
    return true;
}

std::optional<std::string> AdjClampText(const AdjTbl& table, const std::string& name,
                                        const std::string& text) {
    const int cnt = table.Cnt < 0 ? 0 : (table.Cnt > AdjRecCnt ? AdjRecCnt : table.Cnt);
    const AdjRec* rec = nullptr;
    for (int i = 0; i < cnt && !rec; ++i)
        if (table.Rec[i].Name == name) rec = &table.Rec[i];
    if (!rec) return std::nullopt;

    std::string out = text;
    if (!plat::ParseDouble(out)) out = AdjFormat(rec->Def, rec->Format);
    if (plat::LeadingNumber(out) <= rec->Lower) out = AdjFormat(rec->Lower, rec->Format);
    if (plat::LeadingNumber(out) >= rec->Upper) out = AdjFormat(rec->Upper, rec->Format);
    return out;
}

void ADJ_Ctrl(const AdjTbl& table, QLineEdit* box) {
    if (!box) return;
    const std::optional<std::string> text =
        AdjClampText(table, box->objectName().toStdString(), box->text().toStdString());
    if (!text) {
        plat::MsgBox("ADJ_Ctrl : No corresponding control", plat::Buttons::Ok, plat::Icon::None,
                     plat::DefaultTitle());
        return;
    }
    const QString shown = QString::fromStdString(*text);
    if (box->text() != shown) box->setText(shown);
}
