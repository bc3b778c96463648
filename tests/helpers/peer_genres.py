"""How mutagen and eyeD3 name ID3v1 genres (read by mutagen_reader.cpp):
"--table" gives a line per byte 0 to 191, FILE... a line per file's record;
each line mutagen's name, a tab, eyeD3's name."""

import sys

try:
    import eyed3
    import eyed3.id3
    from mutagen._constants import GENRES
    from mutagen.id3 import ID3
except ImportError:
    sys.exit(3)

eyed3.log.setLevel("ERROR")
if sys.argv[1:] == ["--table"]:
    for byte in range(192):
        print(GENRES[byte] + "\t" + eyed3.id3.genres[byte])
else:
    for path in sys.argv[1:]:
        tcon = ID3(path).get("TCON")
        genre = eyed3.load(path, tag_version=eyed3.id3.ID3_V1).tag.genre
        print((tcon.genres[0] if tcon else "") + "\t" + (genre.name if genre else ""))
