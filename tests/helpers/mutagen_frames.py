"""Prints what mutagen reads of a file's ID3v2 tag, for the interoperability
tests (tests/helpers/mutagen_reader.cpp parses it). Run by /usr/bin/python3:

    mutagen_frames.py --check     exit 0 when mutagen can be imported
    mutagen_frames.py FILE        one fact a line, fields separated by tabs:

    tag      <major> <revision> <header flags> <padding bytes>   or: tag none
    error    <what mutagen refused>                               (instead of tag)
    extended <hex of the extended header after its size>
    frame    <id> <status> <hex of the frame data>
    field    <name> <hex of one value>          (after its frame, in mutagen's order)

A frame's data is what mutagen hands its frame parser, after its own
de-unsynchronisation and decompression. Status: "parsed"; "unknown" (an id or
a feature mutagen does not parse: the data is then the raw bytes it keeps); or
"dropped" (mutagen discards the frame). Frames of size 0, which mutagen skips
unseen, are not listed. Field values: text as UTF-8, binary data as is,
numbers in decimal; a list gives one line per element.
"""

import sys

try:
    from mutagen import MutagenError
    from mutagen.id3 import ID3, Frame, Frames, ID3NoHeaderError
except ImportError:
    sys.exit(3)


class Walk(dict):
    """Mutagen's frame table that notes each frame the reader meets, in the
    order of the tag; frames inside frames (chapters) are marked nested."""

    def __init__(self):
        super().__init__(Frames)
        self.entries = []
        self.depth = 0

    def __getitem__(self, name):
        self.entries.append({"id": name, "depth": self.depth})
        return super().__getitem__(name)


walk = Walk()
parse_data = Frame._readData


def recording_read_data(frame, header, data):
    entry = walk.entries[-1]
    entry["data"] = bytes(data)
    entry["frame"] = frame
    walk.depth += 1
    try:
        result = parse_data(frame, header, data)
    except Exception:
        entry["status"] = "dropped"
        raise
    finally:
        walk.depth -= 1
    entry["status"] = "parsed"
    return result


def values(value):
    if isinstance(value, (list, tuple)):
        for element in value:
            yield from values(element)
    elif isinstance(value, bytes):
        yield value
    elif isinstance(value, int):
        yield str(int(value)).encode()
    else:
        yield str(value).encode("utf-8", "surrogatepass")


def main(path):
    Frame._readData = recording_read_data
    try:
        tag = ID3(path, known_frames=walk, translate=False, load_v1=False)
    except ID3NoHeaderError:
        print("tag\tnone")
        return
    except MutagenError as error:
        print("error\t%s" % str(error).replace("\n", " "))
        return
    header = tag._header
    print("tag\t%d\t%d\t%d\t%d" % (tag.version[1], tag.version[2], header._flags, tag._padding))
    if header.f_extended:
        print("extended\t" + getattr(header, "_extdata", b"").hex())
    unknown = iter(tag.unknown_frames)
    pending = next(unknown, None)
    for entry in walk.entries:
        if entry["depth"] != 0:
            continue
        if "status" not in entry:
#Not parsed : kept raw(header and data) in unknown_frames, or discarded.
            if pending is not None and pending[:4] == entry["id"].encode("ascii"):
                entry["status"], entry["data"] = "unknown", pending[10:]
                pending = next(unknown, None)
            else:
                entry["status"] = "dropped"
        print("frame\t%s\t%s\t%s" % (entry["id"], entry["status"], entry.get("data", b"").hex()))
        if entry["status"] == "parsed":
            frame = entry["frame"]
            for field in frame._framespec + frame._optionalspec:
                if hasattr(frame, field.name):
                    for value in values(getattr(frame, field.name)):
                        print("field\t%s\t%s" % (field.name, value.hex()))


if __name__ == "__main__":
    if sys.argv[1:] == ["--check"]:
        sys.exit(0)
    main(sys.argv[1])
