// The table from version 2.2 frame ids to version 2.3 ids, and the one frame
// whose content changes on the way (the picture).
#include "id3v2/Version22.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <utility>

namespace brindle::id3v2 {

namespace {

/// Frames whose content is laid out the same in both versions. CRM (an
/// encrypted frame of 2.2 only) and LNK (whose content holds a 2.2 id) have
/// no entry: a tag holding them cannot be written as version 2.3.
constexpr std::array<std::pair<std::string_view, std::string_view>, 72> kIds{{
    {"BUF", "RBUF"},
    {"CNT", "PCNT"},
    {"COM", "COMM"},
    {"CRA", "AENC"},
    {"EQU", "EQUA"},
    {"ETC", "ETCO"},
    {"GEO", "GEOB"},
    {"IPL", "IPLS"},
    {"MCI", "MCDI"},
    {"MLL", "MLLT"},
    {"POP", "POPM"},
    {"REV", "RVRB"},
    {"RVA", "RVAD"},
    {"SLT", "SYLT"},
    {"STC", "SYTC"},
    {"TAL", "TALB"},
    {"TBP", "TBPM"},
    {"TCM", "TCOM"},
    {"TCO", "TCON"},
    {"TCR", "TCOP"},
    {"TDA", "TDAT"},
    {"TDY", "TDLY"},
    {"TEN", "TENC"},
    {"TFT", "TFLT"},
    {"TIM", "TIME"},
    {"TKE", "TKEY"},
    {"TLA", "TLAN"},
    {"TLE", "TLEN"},
    {"TMT", "TMED"},
    {"TOA", "TOPE"},
    {"TOF", "TOFN"},
    {"TOL", "TOLY"},
    {"TOR", "TORY"},
    {"TOT", "TOAL"},
    {"TP1", "TPE1"},
    {"TP2", "TPE2"},
    {"TP3", "TPE3"},
    {"TP4", "TPE4"},
    {"TPA", "TPOS"},
    {"TPB", "TPUB"},
    {"TRC", "TSRC"},
    {"TRD", "TRDA"},
    {"TRK", "TRCK"},
    {"TSI", "TSIZ"},
    {"TSS", "TSSE"},
    {"TT1", "TIT1"},
    {"TT2", "TIT2"},
    {"TT3", "TIT3"},
    {"TXT", "TEXT"},
    {"TXX", "TXXX"},
    {"TYE", "TYER"},
    {"UFI", "UFID"},
    {"ULT", "USLT"},
    {"WAF", "WOAF"},
    {"WAR", "WOAR"},
    {"WAS", "WOAS"},
    {"WCM", "WCOM"},
    {"WCP", "WCOP"},
    {"WPB", "WPUB"},
    {"WXX", "WXXX"},
    // Sort orders, compilation and grouping, as older music players write
    // them into version 2.2 tags and their own version 2.3 tags.
    {"TCP", "TCMP"},
    {"TS2", "TSO2"},
    {"TSA", "TSOA"},
    {"TSC", "TSOC"},
    {"TSP", "TSOP"},
    {"TST", "TSOT"},
    {"GP1", "GRP1"},
    {"MVN", "MVNM"},
    {"MVI", "MVIN"},
    {"PCS", "PCST"},
    {"TDR", "TDRL"},
    {"TID", "TGID"},
}};

}  // namespace

std::optional<std::string_view> version23IdOf(std::string_view id22) {
  const auto* found = std::find_if(kIds.begin(), kIds.end(),
                                   [&](const auto& entry) { return entry.first == id22; });
  if (found == kIds.end()) return std::nullopt;
  return found->second;
}

std::optional<ByteVector> pictureAsVersion23(ByteView picture) {
  // Encoding (1), image format (3), picture type (1), description, data.
  if (picture.size() < 5) return std::nullopt;
  std::string format(picture.begin() + 1, picture.begin() + 4);
  for (char& c : format) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string mime;
  if (format == "-->") {
    mime = format;  // the picture is a link
  } else if (format == "jpg") {
    mime = "image/jpeg";
  } else {
    mime = "image/" + format;
  }
  ByteVector out;
  out.reserve(picture.size() + mime.size());
  out.push_back(picture[0]);
  out.insert(out.end(), mime.begin(), mime.end());
  out.push_back(0);
  out.insert(out.end(), picture.begin() + 4, picture.end());
  return out;
}

}  // namespace brindle::id3v2
