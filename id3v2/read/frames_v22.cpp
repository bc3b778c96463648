// The version 2.2 frame table: each frame of that version with the version 3
// frame of the same layout, and the one rewrite a layout needs (PIC).
#include "id3v2/read/frames_v22.h"

#include <array>
#include <utility>

namespace id3v2 {
namespace {

using IdPair = std::pair<std::string_view, std::string_view>;

// The frames whose data version 3 stores in the same layout; "PIC" is
// rewritten on its way. Beside the standard list, the sort-order and
// compilation frames that players of that time wrote.
constexpr std::array<IdPair, 68> kV22Frames = {{
    {"BUF", "RBUF"}, {"CNT", "PCNT"}, {"COM", "COMM"}, {"CRA", "AENC"}, {"ETC", "ETCO"},
    {"EQU", "EQUA"}, {"GEO", "GEOB"}, {"IPL", "IPLS"}, {"MCI", "MCDI"}, {"MLL", "MLLT"},
    {"PIC", "APIC"}, {"POP", "POPM"}, {"REV", "RVRB"}, {"RVA", "RVAD"}, {"SLT", "SYLT"},
    {"STC", "SYTC"}, {"TAL", "TALB"}, {"TBP", "TBPM"}, {"TCM", "TCOM"}, {"TCO", "TCON"},
    {"TCR", "TCOP"}, {"TDA", "TDAT"}, {"TDY", "TDLY"}, {"TEN", "TENC"}, {"TFT", "TFLT"},
    {"TIM", "TIME"}, {"TKE", "TKEY"}, {"TLA", "TLAN"}, {"TLE", "TLEN"}, {"TMT", "TMED"},
    {"TOA", "TOPE"}, {"TOF", "TOFN"}, {"TOL", "TOLY"}, {"TOR", "TORY"}, {"TOT", "TOAL"},
    {"TP1", "TPE1"}, {"TP2", "TPE2"}, {"TP3", "TPE3"}, {"TP4", "TPE4"}, {"TPA", "TPOS"},
    {"TPB", "TPUB"}, {"TRC", "TSRC"}, {"TRD", "TRDA"}, {"TRK", "TRCK"}, {"TSI", "TSIZ"},
    {"TSS", "TSSE"}, {"TT1", "TIT1"}, {"TT2", "TIT2"}, {"TT3", "TIT3"}, {"TXT", "TEXT"},
    {"TXX", "TXXX"}, {"TYE", "TYER"}, {"UFI", "UFID"}, {"ULT", "USLT"}, {"WAF", "WOAF"},
    {"WAR", "WOAR"}, {"WAS", "WOAS"}, {"WCM", "WCOM"}, {"WCP", "WCOP"}, {"WPB", "WPUB"},
    {"WXX", "WXXX"}, {"TCP", "TCMP"}, {"TST", "TSOT"}, {"TSP", "TSOP"}, {"TSA", "TSOA"},
    {"TS2", "TSO2"}, {"TSC", "TSOC"}, {"WFD", "WFED"},
}};

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string FrameIdFromV22(std::string_view id) {
    for (const auto& [v22, v3] : kV22Frames) {
        if (v22 == id) {
            return std::string(v3);
        }
    }
    return "X" + std::string(id);
}

void PictureFromV22(std::vector<uint8_t>& data) {
    if (data.size() < 4) {
        return;  // no image format to rewrite: the frame stays as it came
    }
    const std::string format(data.begin() + 1, data.begin() + 4);
    std::string mime;
    if (format == "JPG") {
        mime = "image/jpeg";
    } else if (format == "PNG") {
        mime = "image/png";
    } else if (format == "-->") {
        mime = format;  // the picture is a link, in both versions
    } else {
        mime = "image/";
        for (const char c : format) {
            if (c != '\0' && c != ' ') {
                mime += Lower(c);
            }
        }
    }
    std::vector<uint8_t> out{data[0]};
    out.insert(out.end(), mime.begin(), mime.end());
    out.push_back(0);
    out.insert(out.end(), data.begin() + 4, data.end());
    data = std::move(out);
}

}  // namespace id3v2
