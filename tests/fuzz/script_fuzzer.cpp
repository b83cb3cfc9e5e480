// libFuzzer target for chart scripts through the parser and the interpreter. The input does not
// become script text byte by byte: it chooses statements from the method and setting tables
// (every one of them can be chosen) and arguments from numbers at the edges of each type, text,
// booleans, arrays, colours and picture files, so nearly every script it makes runs. A script
// starts with On Error Resume Next, so a failing call is reported and the next one still runs.
//
// Files are never written (makeChart is left out; SaveBinary encodes in memory). Sizes, widths
// and counts take modest values only: the unbounded work that huge ones cause is bounded and
// tested on its own, and here it would only make each input slow.
#include <cstddef>
#include <cstdint>
#include <span>
#include <sstream>
#include <string>
#include <string_view>

#include "fuzz_bytes.h"
#include "interpreter.h"
#include "kelvane/messages.h"
#include "methods.h"
#include "names.h"
#include "properties.h"

namespace {

using namespace kelvane;
using namespace kelvane::script;
using kelvane::fuzz::FuzzBytes;

constexpr size_t kMaxInput = 2048;
constexpr int kMaxStatements = 24;

using Texts = std::span<const std::string_view>;

constexpr std::string_view kNumbers[] = {
    "0", "1", "-1", "2", "7", "100", "255", "-255", "32767", "-32768", "32768", "65535", "65536",
    "2147483647", "-2147483648", "2147483648", "-2147483649", "1E+38", "-3.4E+38", "3.5E+38", "1E+300",
    "-1E+300", "1E-45", "0.5", "-0.5", "1.5", "2.5", "99999.99", "&H80000005", "&HFFFFFF", "&H7FFFFFFF",
    "&HFFFF", "-0", "4.94065645841247E-324"};

// Sizes, widths, counts and digits: every sign and the edges just past a small range.
constexpr std::string_view kModest[] = {"0", "1", "2", "3", "5", "8", "12", "20", "40", "-1", "-2", "-5", "0.5", "-0.5"};
constexpr std::string_view kCanvasSides[] = {"0", "1", "21", "120", "300", "-1", "-2147483648", "2147483647", "1000"};
// Counts of steps, decimals and curve samples over their whole range: every call must stay bounded
// by its canvas whatever they say, so a slow input is a finding (the fuzzer's -timeout).
constexpr std::string_view kWorkCounts[] = {"0", "1", "5", "148", "149", "150", "1000", "32766", "32767", "-1",
                                            "-32768"};

constexpr std::string_view kTexts[] = {
    "", "Arial", "Liberation Serif", "no such face", "#,##0.00", "0.00%", "%", "bmp", "jpg", "gif", "png",
    "jpeg", "javascript:alert(1)", "a\"\"b", "<>&'", "\xE4\xB8\xAD\xE6\x96\x87", "Hello, world", "1E+38", "-1",
    "2147483648", " ", "x,y", "_blank"};

constexpr std::string_view kPictures[] = {
    "basic.gif", "interlaced.gif", "offset.gif", "blocks.jpg", "blocks_progressive.jpg", "pal4.bmp",
    "pal8.bmp", "rgb24.bmp", "rle8.bmp", "rgb32_v5_bitfields.bmp", "missing.bmp", "."};

// Names whose numbers count steps, decimals or samples.
bool IsWorkCount(std::string_view name) {
    for (std::string_view n : {"Vstep", "DecimalNum", "precisionNum", "PercentDigits"})
        if (SameName(n, name)) return true;
    return false;
}

// Names whose numbers size or count what is drawn.
bool IsSizeLike(std::string_view name) {
    static constexpr std::string_view kNames[] = {
        "SerialBars", "SerialItems", "LineWidth", "LineDotFlagSize", "LineDotFlagOutlineWidth", "MValueSize",
        "BorderWidth", "LegendBorderWidth", "LegendFontSize", "LegendTitleHeight", "LegendItemHeight",
        "LegendIconWidth", "LegendWidth", "Depth_3D", "PieItemOutOffset3D", "BorderOffset", "OutLineWidth",
        "nOutLineWidth", "CurveWidth", "Size", "nRadius", "stepNum", "LeftRulerHeight", "RightRulerHeight", "BottomBRulerHeight", "BottomSRulerHeight",
        "MarginTop", "MarginLeft", "MarginBottom", "MarginRight", "MValueOffset", "MValueBorderOffsetX",
        "MValueBorderOffsetY", "ValueBorderOffsetX", "ValueBorderOffsetY", "LegendOffsetX", "LegendOffsetY",
        "AxisXoutValue", "AxisYoutValue"};
    for (std::string_view n : kNames)
        if (SameName(n, name)) return true;
    return false;
}

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

struct Writer {
    FuzzBytes& in;

    std::string number() {
        if (in.byte() % 3 == 0) return std::to_string(int(int8_t(in.byte())));
        return std::string(in.pick(Texts(kNumbers)));
    }

    std::string picture() {
        return Quoted(std::string(KELVANE_FUZZ_PICTURES "/") + std::string(in.pick(Texts(kPictures))));
    }

    std::string text() {
        switch (in.byte() % 4) {
            case 0: {
                std::string s(in.below(12), ' ');
                for (char& c : s) c = char(32 + in.byte() % 95);
                return Quoted(s);
            }
            case 1: return picture();
            default: return Quoted(in.pick(Texts(kTexts)));
        }
    }

    std::string array(int depth) {
        std::string out = "Array(";
        const size_t n = in.below(9);
        for (size_t i = 0; i < n; ++i) out += (i ? ", " : "") + value(depth + 1);
        return out + ")";
    }

    std::string value(int depth = 0) {
        switch (in.byte() % 12) {
            case 0: case 1: case 2: case 3: return number();
            case 4: case 5: return text();
            case 6: return in.byte() % 2 ? "True" : "False";
            case 7: case 8: return depth < 2 ? array(depth) : number();
            case 9: return "RGB(" + number() + ", " + number() + ", " + number() + ")";
            case 10: return depth < 2 ? value(depth + 1) + " & " + value(depth + 1) : text();
            default: return depth < 2 ? "-" + value(depth + 1) : number();
        }
    }

    std::string argument(std::string_view name) {
        if (SameName(name, "Width") || SameName(name, "Height")) return std::string(in.pick(Texts(kCanvasSides)));
        if ((SameName(name, "StrPath") || SameName(name, "FillImage")) && in.byte() % 4 != 0)
            return picture();
        if (IsWorkCount(name) && in.byte() % 2 == 0) return std::string(in.pick(Texts(kWorkCounts)));
        if (IsSizeLike(name) && in.byte() % 8 != 0) return std::string(in.pick(Texts(kModest)));
        if (IsSizeLike(name)) return Quoted(in.pick(Texts(kModest)));  // numbers as text are read too
        return value();
    }

    std::string call(const MethodEntry& m) {
        std::string out(m.name);
        // Now and then one argument too few or too many: the whole script is then refused.
        size_t count = m.params.size();
        const uint8_t shape = in.byte() % 16;
        if (shape == 0 && count > 0) --count;
        else if (shape == 1) ++count;
        for (size_t i = 0; i < count; ++i) {
            const bool optional = i < m.params.size() && m.params[i].defaultValue;
            std::string arg = optional && in.byte() % 4 == 0 ? "" : argument(i < m.params.size() ? m.params[i].name : "");
            out += (i ? ", " : " ") + arg;
        }
        return out;
    }

    std::string statement() {
        const auto& methods = ChartMethods();
        const auto& properties = ChartProperties();
        switch (in.byte() % 8) {
            case 0: case 1: case 2: {
                const PropertyEntry& p = properties[in.below(properties.size())];
                return std::string(p.name) + " = " + argument(p.name);
            }
            case 3: return "print " + value();
            case 4: return "SaveBinary " + Quoted(in.pick(Texts(kTexts)));
            default: {
                const MethodEntry& m = methods[in.below(methods.size())];
                if (m.name == "makeChart") return "InitChart";
                return call(m);
            }
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput) return 0;
    SetMessageHandler([](const std::string&) {});
    FuzzBytes in(data, size);
    Writer writer{in};
    std::string script = "On Error Resume Next\n";
    for (int i = 0; i < kMaxStatements && !in.empty(); ++i) script += writer.statement() + "\n";
    cChart chart;
    std::ostringstream out, err;
    RunScript(script, chart, RunOptions{"fuzz.kvs", {}}, out, err);
    return 0;
}
