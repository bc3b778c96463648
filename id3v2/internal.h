// The library's internals below its public headers (id3v2.h, result_codes.h,
// recovery.h), in one include for the tests that check them directly: byte
// layout, frame codecs, the read ring, the writer's stages and the journal.
#pragma once

#include "id3v2/frames/compression.h"
#include "id3v2/frames/crc32.h"
#include "id3v2/frames/layout.h"
#include "id3v2/frames/picture_frames.h"
#include "id3v2/frames/text_frames.h"
#include "id3v2/frames/unicode_text.h"
#include "id3v2/frames/unsync.h"
#include "id3v2/journal/journal.h"
#include "id3v2/read/frames_v22.h"
#include "id3v2/read/read_ring.h"
#include "id3v2/read/tag_parser.h"
#include "id3v2/work_state.h"
#include "id3v2/write/audio_move.h"
#include "id3v2/write/padding.h"
#include "id3v2/write/staged_output.h"
