// MakeMap: the HTML client-side image map of the drawn items, one rectangular area each, the
// last drawn first so that it wins where areas overlap. Text copied into attributes is escaped
// (quotation marks and angle brackets), so that no argument can break the page; "&" stays, as
// link queries are built with it.
#include "chart/image_map.h"

#include "kelvane/cChart.h"

namespace kelvane {

namespace {

std::string attribute(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '"': out += "&quot;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

}  // namespace

std::string BuildImageMap(const std::vector<MapRecord>& records, const std::string& MapName,
                          const std::string& sLink, const std::string& sParam, const std::string& sTarget) {
    if (records.empty()) Raise(kErrInvalidCall);
    std::string map = "<map name=\"" + attribute(MapName) + "\">";
    for (auto r = records.rbegin(); r != records.rend(); ++r) {
        const std::string coords = SingleToText(r->left) + "," + SingleToText(r->top) + "," +
                                   SingleToText(r->right) + "," + SingleToText(r->bottom);
        const std::string alt = SingleToText(r->value);
        if (sLink.empty()) {
            map += "<area shape=\"rect\" coords=\"" + coords + "\" alt=\"" + alt + "\">";
            continue;
        }
        std::string head = std::to_string(r->bIndex) + "," + std::to_string(r->sIndex) + "&sAddParam=" +
                           attribute(r->addParam);
        if (!sParam.empty()) head += "&" + attribute(sParam);
        map += "<area href=\"" + attribute(sLink) + "?Index=" + head + "\" target=\"" + attribute(sTarget) +
               "\" shape=\"rect\" coords=\"" + coords + "\" alt=\"" + alt + "\">";
    }
    return map + "</map>";
}

std::string cChart::MakeMap(const std::string& MapName, const std::string& sLink, const std::string& sParam,
                            const std::string& sTarget) const {
    return BuildImageMap(m->mapRecords, MapName, sLink, sParam, sTarget);
}

}  // namespace kelvane
