// Fuzzes the dump writer on its own. The input is a program of field writer operations, one
// opcode byte each followed by its operands (labels from a fixed list, values and stored bytes
// from the input), run on a dump writer with display switches set from the first byte. Unless
// high-bit bytes are shown raw, the dump holds only printable ASCII and line feeds; a writer
// into a stream that stops taking bytes must report the failure.
#include <cstdint>
#include <cstring>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "output/DumpWriter.h"
#include "output/OutputStrings.h"
#include "output/SymbolTables.h"

namespace {

class Input {
public:
    Input(const std::uint8_t* p, std::size_t n) : p_(p), n_(n) {}
    bool empty() const { return n_ == 0; }
    std::uint8_t u8() { return n_ ? (--n_, *p_++) : 0; }
    std::uint16_t u16() { return std::uint16_t(u8() | (u8() << 8)); }
    std::uint32_t u32() { return u16() | (std::uint32_t(u16()) << 16); }
    double f64() {
        const std::uint64_t bits = u32() | (std::uint64_t(u32()) << 32);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    // A run of bytes: a length byte, then that many bytes (fewer when the input ends), copied
    // so that a read past them is caught.
    std::vector<char> bytes() {
        std::size_t n = std::min<std::size_t>(u8(), n_);
        std::vector<char> out(p_, p_ + n);
        p_ += n;
        n_ -= n;
        return out;
    }

private:
    const std::uint8_t* p_;
    std::size_t n_;
};

// A stream buffer that takes at most `limit` bytes.
class LimitedBuffer : public std::streambuf {
public:
    explicit LimitedBuffer(std::size_t limit) : limit_(limit) {}
    std::size_t taken = 0;
    std::size_t wanted = 0; // bytes offered, taken or not

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override {
        wanted += std::size_t(n);
        const std::streamsize room = std::streamsize(limit_ - taken);
        const std::streamsize put = std::min(n, room);
        taken += std::size_t(put);
        return put;
    }
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof()))
            ++wanted;
        if (taken >= limit_ || traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::eof();
        ++taken;
        return c;
    }

private:
    std::size_t limit_;
};

constexpr const char* kLabels[] = {"label", "flags", "remaining-data", "spare", "", "a b", "(x)"};
const SymbolEntry* const kTables[] = {symtab::kColorNames, symtab::kItemTypes, symtab::kFontFaces,
                                      symtab::kFontAttributes, symtab::kNumberFormats};

const char* Label(Input& in) {
    return kLabels[in.u8() % (sizeof kLabels / sizeof kLabels[0])];
}

void Run(CFieldWriter& w, Input& in) {
    for (int steps = 0; !in.empty() && steps < 2000; ++steps) {
        switch (in.u8() % 28) {
        case 0:
            w.BeginField(Label(in));
            break;
        case 1:
            w.EndField();
            break;
        case 2: {
            const auto b = in.bytes();
            const char quotes[] = "\"*<{'";
            const std::uint8_t q = in.u8() % 5;
            w.Text(b.data(), std::ptrdiff_t(b.size()), quotes[q], q == 2 ? '>' : quotes[q]);
            break;
        }
        case 3: {
            const char* label = Label(in);
            const auto b = in.bytes();
            w.TextField(label, b.data(), std::ptrdiff_t(b.size()));
            break;
        }
        case 4: {
            const char* label = Label(in);
            const std::uint32_t v = in.u32();
            switch (in.u8() % 5) {
            case 0:
                w.HexField(label, std::int32_t(v));
                break;
            case 1:
                w.Hex2Field(label, std::uint8_t(v));
                break;
            case 2:
                w.Hex4Field(label, std::uint16_t(v));
                break;
            case 3:
                w.Hex8Field(label, v);
                break;
            default:
                w.HexLField(label, v);
            }
            break;
        }
        case 5: {
            const char* label = Label(in);
            w.NumberField(label, in.f64());
            break;
        }
        case 6: {
            const char* label = Label(in);
            store::TimeDate t;
            t.w[0] = in.u32();
            t.w[1] = in.u32();
            const std::uint8_t how = in.u8();
            if (how & 1)
                w.TimeIdField(label, t, how & 2);
            else
                w.TimeField(label, t);
            break;
        }
        case 7:
            w.BeginComment();
            break;
        case 8:
            w.EndComment();
            break;
        case 9: {
            const auto b = in.bytes();
            w.BeginComment();
            w.Text(b.data(), std::ptrdiff_t(b.size()));
            w.EndComment();
            break;
        }
        case 10:
            w.EndLine();
            break;
        case 11:
            w.BreakLine();
            break;
        case 12:
            w.NextValueLine();
            break;
        case 13:
            w.Space();
            break;
        case 14: {
            const char* label = Label(in);
            const auto b = in.bytes();
            w.HexDumpField(label, b.data(), b.size());
            break;
        }
        case 15: {
            const char* label = Label(in);
            const auto b = in.bytes();
            w.SpareField(label, b.data(), b.size());
            break;
        }
        case 16: {
            const char* label = Label(in);
            const std::uint8_t kind = in.u8();
            const auto b = in.bytes();
            switch (kind % 5) {
            case 0:
                w.TimeRangeField(label, b.data(), b.size());
                break;
            case 1:
                w.UnidField(label, b.data(), b.size());
                break;
            case 2:
                w.SequencedUnidField(label, b.data(), b.size());
                break;
            case 3:
                w.DbNoteIdField(label, b.data(), b.size());
                break;
            default:
                w.NoteLinkField(label, b.data(), b.size());
            }
            break;
        }
        case 17: {
            const char* label = Label(in);
            const auto b = in.bytes();
            if (w.TextListField(label, b.data(), b.size()) > b.size())
                __builtin_trap();
            break;
        }
        case 18: {
            const char* label = Label(in);
            const auto b = in.bytes();
            w.FormulaField(label, b.data(), b.size());
            break;
        }
        case 19: {
            const char* label = Label(in);
            const SymbolEntry* table = kTables[in.u8() % 5];
            w.SymbolField(label, in.u32(), table);
            break;
        }
        case 20: {
            const char* label = Label(in);
            const std::uint32_t v = in.u32();
            switch (in.u8() % 3) {
            case 0:
                w.FontField(label, v);
                break;
            case 1:
                w.ColorField(label, std::uint16_t(v));
                break;
            default:
                w.StoreColorField(label, std::uint16_t(v));
            }
            break;
        }
        case 21: {
            const char* label = Label(in);
            const bool time = in.u8() & 1;
            const auto b = in.bytes();
            if (time)
                w.TimeFormatField(label, b.data(), b.size());
            else
                w.NumberFormatField(label, b.data(), b.size());
            break;
        }
        case 22: {
            const char* label = Label(in);
            const double v = in.f64();
            w.MeasureField(label, v, outstr::kUnitNone + in.u8() % 10);
            break;
        }
        case 23: {
            const char* label = Label(in);
            const std::uint16_t width = in.u16(), height = in.u16();
            w.SizeField(label, width, height, in.u8() & 1);
            break;
        }
        case 24: {
            const store::Status status = in.u16();
            const auto b = in.bytes();
            const std::string text(b.begin(), b.end());
            if (in.u8() & 1)
                w.ErrorField(Label(in), status, "%s", text.c_str());
            else
                w.Error(status, "%s", text.c_str());
            break;
        }
        case 25:
            w.BoolField(Label(in), in.u8() & 1);
            break;
        case 26:
            w.ShortComment();
            break;
        default: {
            const store::TimeRange range{};
            w.TimeRangeField(Label(in), range);
        }
        }
    }
}

void SetOptions(CInfoPaneOptions& o, std::uint8_t bits) {
    o.ShowEmptyStrings = bits & 1;
    o.ShowComments = (bits >> 1) & 1;
    o.ShowSpareBytes = (bits >> 2) & 1;
    o.ShowUninterpreted = !((bits >> 3) & 1);
    o.ShowSymbols = (bits >> 4) & 1;
    o.ShowConvertFromKMBCS = (bits >> 5) & 1;
    o.ShowDisplayHighBit = (bits >> 6) & 1;
    o.ShowDateOption = bits >> 7;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    CInfoPaneOptions options;
    SetOptions(options, data[0]);
    const std::uint8_t limit = data[1];
    {
        Input in(data + 2, size - 2);
        std::ostringstream out;
        CDumpWriter w(out, &options);
        w.Begin();
        Run(w, in);
        w.End();
        if (!w.Close())
            __builtin_trap();
        if (options.ShowDisplayHighBit == 0)
            for (const char c : out.str())
                if (c != '\n' && (c < 0x20 || c > 0x7E))
                    __builtin_trap();
    }
    {
        // Into a stream that takes only `limit` bytes.
        Input in(data + 2, size - 2);
        LimitedBuffer buffer(limit);
        std::ostream out(&buffer);
        CDumpWriter w(out, &options);
        w.Begin();
        Run(w, in);
        w.End();
        const bool closed = w.Close();
        if (closed != w.ErrorText().empty() || closed != (buffer.wanted <= limit))
            __builtin_trap();
    }
    return 0;
}
