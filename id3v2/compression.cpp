// zlib glue (to be written).
#include "id3v2/id3v2.h"

int TFrameIndex::CompressFrame(uint32_t index, uint8_t) {
    At(index);
    return 4;
}
int TFrameIndex::DecompressFrame(uint32_t index) {
    At(index);
    return 4;
}
