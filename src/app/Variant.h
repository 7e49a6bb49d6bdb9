// A value that carries its own type: the shared result word and the loosely typed fields of the
// definition tables. Conversions to a fixed width round half to even and refuse what does not fit,
// so a number too large for its field is an error, never a silent wrap.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>

// Raised when a variant cannot be converted to the type asked for.
struct VariantError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Variant {
public:
    enum class Kind { Empty, Bool, Int16, Int32, Double, Text };

    Variant() = default;
    Variant(bool b) : v_(b) {}
    Variant(int16_t i) : v_(i) {}
    Variant(int32_t i) : v_(i) {}
    Variant(double d) : v_(d) {}
    Variant(const char* s) : v_(std::string(s)) {}
    Variant(std::string s) : v_(std::move(s)) {}

    Kind kind() const { return static_cast<Kind>(v_.index()); }
    bool IsEmpty() const { return kind() == Kind::Empty; }
    bool IsBool() const { return kind() == Kind::Bool; }
    bool IsText() const { return kind() == Kind::Text; }
    bool IsNumber() const { return kind() == Kind::Int16 || kind() == Kind::Int32 || kind() == Kind::Double; }

    // Numeric value: a Boolean is -1 or 0, empty is 0, a text must hold a number.
    double ToDouble() const;
    // Nearest integer (a half to the even neighbour); out of range is a VariantError.
    int16_t ToInt16() const;
    int32_t ToInt32() const;
    // Non-zero is True.
    bool ToBool() const { return ToDouble() != 0.0; }
    // The 16-bit Boolean word: -1 or 0.
    int16_t ToBoolWord() const { return ToBool() ? int16_t(-1) : int16_t(0); }
    // Text form: texts as they are, Booleans "True"/"False", numbers in the C locale.
    std::string ToText() const;

    bool operator==(const Variant& o) const { return v_ == o.v_; }

private:
    std::variant<std::monostate, bool, int16_t, int32_t, double, std::string> v_;
};

// ---- inline definitions -------------------------------------------------------------------------

#include <charconv>

#include "platform/Numbers.h"

inline double Variant::ToDouble() const
{
    switch (kind()) {
    case Kind::Empty: return 0.0;
    case Kind::Bool: return std::get<bool>(v_) ? -1.0 : 0.0;
    case Kind::Int16: return std::get<int16_t>(v_);
    case Kind::Int32: return std::get<int32_t>(v_);
    case Kind::Double: return std::get<double>(v_);
    case Kind::Text: {
        const std::string& s = std::get<std::string>(v_);
        if (auto d = plat::ParseDouble(s)) return *d;
        throw VariantError("not a number: \"" + s + "\"");
    }
    }
    return 0.0;
}

inline int16_t Variant::ToInt16() const
{
    if (auto v = plat::ToInt16(ToDouble())) return *v;
    throw VariantError(ToText() + " does not fit a 16-bit field");
}

inline int32_t Variant::ToInt32() const
{
    if (auto v = plat::ToInt32(ToDouble())) return *v;
    throw VariantError(ToText() + " does not fit a 32-bit field");
}

inline std::string Variant::ToText() const
{
    switch (kind()) {
    case Kind::Empty: return {};
    case Kind::Bool: return std::get<bool>(v_) ? "True" : "False";
    case Kind::Int16: return std::to_string(std::get<int16_t>(v_));
    case Kind::Int32: return std::to_string(std::get<int32_t>(v_));
    case Kind::Double: {
        char buf[64];
        auto r = std::to_chars(buf, buf + sizeof buf, std::get<double>(v_));
        return std::string(buf, r.ptr);
    }
    case Kind::Text: return std::get<std::string>(v_);
    }
    return {};
}
