// Text and comment frames (to be written).
#include "id3v2/id3v2.h"

uint8_t Tid3v2tag::GetText(const std::string&, std::string& text) {
    text.clear();
    return 1;
}
uint8_t Tid3v2tag::SetText(const std::string&, const std::string&) { return 0; }
uint8_t Tid3v2tag::GetComment(COMM&, const std::string&, const std::string&) { return 1; }
uint8_t Tid3v2tag::SetComment(const COMM&, const std::string&, const std::string&) { return 0; }
