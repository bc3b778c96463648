// ID3v1.1 record (to be written).
#include "id3v1/id3v1.h"

Tv1TAGInfo ReadV1Tag(const std::string&) {
    Tv1TAGInfo info;
    info.NoTag = true;
    return info;
}
void WriteV1Tag(const std::string&, const TV1Values&) {}
