"""Writes attached pictures into an MP3 file's ID3v2 tag with mutagen or
eyeD3, for the picture interoperability tests. Run by /usr/bin/python3:

    picture_writers.py --check WRITER        exit 0 when WRITER can be imported
    picture_writers.py WRITER FILE VERSION (TYPE MIME DESCRIPTION IMAGEFILE)...

WRITER is "mutagen" or "eyed3", VERSION 3 or 4; each picture gets its type
number, MIME type, UTF-8 description and the bytes of IMAGEFILE. Exit 3 when
the writer cannot be imported.
"""

import sys


def pictures(args):
    for at in range(0, len(args), 4):
        kind, mime, description, image = args[at:at + 4]
        with open(image, "rb") as source:
            yield int(kind), mime, description, source.read()


def write_mutagen(path, version, args):
    from mutagen.id3 import APIC, ID3

    tag = ID3()
    for kind, mime, description, data in pictures(args):
        # UTF-8 where the version has it; mutagen writes UTF-16 in version 3.
        encoding = 3 if version == 4 else 1
        tag.add(APIC(encoding=encoding, mime=mime, type=kind, desc=description, data=data))
    tag.save(path, v2_version=version)


def write_eyed3(path, version, args):
    import eyed3.id3

    tag = eyed3.id3.Tag()
    for kind, mime, description, data in pictures(args):
        tag.images.set(kind, data, mime, description)
    tag.save(path, version=(2, version, 0))


WRITERS = {"mutagen": write_mutagen, "eyed3": write_eyed3}


def main(argv):
    if argv[0] == "--check":
        try:
            __import__({"mutagen": "mutagen", "eyed3": "eyed3"}[argv[1]])
        except ImportError:
            return 3
        return 0
    WRITERS[argv[0]](argv[1], int(argv[2]), argv[3:])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
