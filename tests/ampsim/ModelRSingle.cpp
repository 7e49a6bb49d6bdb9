// Single parameter reads and writes of the family R model: 8/0 and 8/1 user, 8/5 and 8/6 system (16-bit,
// system number k is parameter 128 + k), 11/6 and 8/12 user, 11/9 and 8/14 system (32-bit, system number k
// follows the user parameters). Reads answer the working value; writes take the execution right when the
// model asks for it and refuse read-only parameters and values outside the limits.
#include "ModelR.h"

namespace ampsim {

using namespace wire;

Bytes ModelR::prmSingle(int cmd, int mode, const Bytes& d) {
    const bool wide = (cmd == 11) || mode == 12 || mode == 14;
    // Command 8: 16-bit system read 5 and write 6, 32-bit system write 14; command 11: 32-bit user read 6,
    // system read 9.
    const bool system = cmd == 8 ? (mode == 5 || mode == 6 || mode == 14) : mode == 9;
    const bool write = cmd == 8 && (mode == 1 || mode == 6 || mode == 12 || mode == 14);
    const bool read = (cmd == 8 && (mode == 0 || mode == 5)) || (cmd == 11 && (mode == 6 || mode == 9));
    if (!write && !read) return status(kStRefused);
    if (d.size() != (write ? (wide ? 5u : 3u) : 1u)) return status(kStRefused);
    if (wide) {
        const int n = (system ? opt_.prm32User : 0) + d[0];
        if (n >= prm32Count() || (!system && n >= opt_.prm32User)) return status(kStRefused);
        Prm32& p = prm32_[static_cast<size_t>(n)];
        Bytes b;
        if (read) {
            put32(b, p.ram);
            b.push_back(kStOk);
            return b;
        }
        const int32_t v = get32(d, 1);
        if (!writeAllowed() || readOnly(p.attr) || v < p.min || v > p.max) return status(kStRefused);
        p.ram = v;
        return status(kStOk);
    }
    const int n = (system ? 128 : 0) + d[0];
    if (n >= kPrm16Count || (!system && n >= 128)) return status(kStRefused);
    Prm16& p = prm16_[static_cast<size_t>(n)];
    if (read) {
        Bytes b;
        put16(b, p.ram);
        b.push_back(kStOk);
        return b;
    }
    const int16_t v = get16(d, 1);
    if (!writeAllowed() || readOnly(p.attr) || v < p.min || v > p.max) return status(kStRefused);
    p.ram = v;
    return status(kStOk);
}

} // namespace ampsim
