"""Writes pictures into an MP3 file's ID3v2 tag with mutagen or eyeD3, for the
picture interoperability tests. Run by /usr/bin/python3:
    picture_writers.py --check WRITER     exit 0 when WRITER can be imported
    picture_writers.py WRITER FILE VERSION (TYPE MIME DESCRIPTION IMAGEFILE)...
WRITER is "mutagen" or "eyed3", VERSION 3 or 4, DESCRIPTION UTF-8.
"""

import importlib.util
import sys

args = sys.argv[1:]
if args[0] == "--check":
    sys.exit(0 if importlib.util.find_spec(args[1]) else 3)
writer, path, version = args[0], args[1], int(args[2])
if writer == "mutagen":
    from mutagen.id3 import APIC, ID3
    tag = ID3()
else:
    import eyed3.id3
    tag = eyed3.id3.Tag()
for at in range(3, len(args), 4):
    kind, mime, description = int(args[at]), args[at + 1], args[at + 2]
    with open(args[at + 3], "rb") as image:
        data = image.read()
    if writer == "mutagen":
        # UTF-8 where the version has it; mutagen writes UTF-16 in version 3.
        tag.add(APIC(encoding=3 if version == 4 else 1, mime=mime, type=kind, desc=description,
                     data=data))
    else:
        tag.images.set(kind, data, mime, description)
if writer == "mutagen":
    tag.save(path, v2_version=version)
else:
    tag.save(path, version=(2, version, 0))
