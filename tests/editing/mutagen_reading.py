#!/usr/bin/python3
"""What Tagmora should read in MP3 files, taken from python3-mutagen.

Usage: mutagen_reading.py GENRE_NAMES_FILE FILE...

For each file prints "=== FILE", then "field<TAB>key<TAB>value" lines with
Tagmora's rules applied to the frames mutagen reads, then one
"frame<TAB>json" line per frame that is not one of Tagmora's twelve, in
file order. Values escape backslashes and control characters as \\xNN.
"""

import hashlib
import json
import re
import sys

from mutagen.id3 import ID3
from mutagen.id3._id3v1 import find_id3v1

GENRES = []
TWELVE_TEXT = {"TIT2": "title", "TPE1": "artist", "TALB": "album", "TRCK": "track",
               "TYER": "year", "TDRC": "year", "TCON": "genre", "TCOM": "composer",
               "TENC": "encoder", "TCOP": "copyright", "TLAN": "language"}


def escape(text):
    # Lone surrogates (bad UTF-16) read as U+FFFD, as Tagmora decodes them.
    text = text.encode("utf-16", "surrogatepass").decode("utf-16", "replace")
    out = []
    for ch in text:
        if ch == "\\":
            out.append("\\\\")
        elif ord(ch) < 0x20 or ord(ch) == 0x7F:
            out.append("\\x%02x" % ord(ch))
        else:
            out.append(ch)
    return "".join(out)


def trim(text):
    start, end = 0, len(text)
    while start < end and ord(text[start]) <= 32:
        start += 1
    while end > start and ord(text[end - 1]) <= 32:
        end -= 1
    return text[start:end]


def cp1252(text):
    """mutagen decodes ID3v1 as Latin-1; Tagmora as Windows-1252."""
    out = []
    for ch in text:
        if 0x80 <= ord(ch) <= 0x9F:
            try:
                ch = bytes([ord(ch)]).decode("cp1252")
            except UnicodeDecodeError:
                pass
        out.append(ch)
    return "".join(out)


class FrameRecorder(ID3):
    """Keeps every frame as read, before mutagen merges duplicates."""

    def _add(self, frame, strict):
        upgraded = frame._upgrade_frame()
        if upgraded is not None and hasattr(self, "read_order"):
            self.read_order.append(upgraded)
        return super()._add(frame, strict)


def load_frames(path):
    tags = FrameRecorder()
    tags.read_order = []
    tags.load(path, translate=False, load_v1=False)
    return tags, tags.read_order


def text_of(frame):
    return "\0".join(str(t) for t in frame.text)


def genre_rule(text):
    text = trim(text)
    rest = text
    refs = []
    while True:
        m = re.match(r"\((\d+)\)", rest)
        if not m:
            break
        refs.append(int(m.group(1)))
        rest = rest[m.end():]
    if rest == "" and refs:
        return GENRES[refs[0]] if refs[0] < len(GENRES) else ""
    if re.fullmatch(r"\d+", rest) and not refs and int(rest) < len(GENRES):
        return GENRES[int(rest)]
    return rest


def track_rule(text):
    text = trim(text).split("/")[0]
    return int(text) & 0xFF if re.fullmatch(r"[+-]?\d+", text) else 0


def v2_fields(path, data):
    fields = {"exists": False, "version_id": 0, "size": 0}
    names = ["title", "artist", "album", "track", "year", "genre", "comment", "composer",
             "encoder", "copyright", "language", "url"]
    for name in names:
        fields[name] = 0 if name == "track" else ""
    if len(data) < 10 or data[:3] != b"ID3":
        return fields, [], True
    fields["exists"] = True
    fields["version_id"] = data[3]
    b = data[6:10]
    size = b[0] * 2097152 + b[1] * 16384 + b[2] * 128 + b[3] + 10
    fields["size"] = 0 if size > len(data) else size
    if fields["size"] == 0:
        return fields, [], True
    try:
        tags, frames = load_frames(path)
    except Exception as error:  # mutagen cannot read this tag at all
        return fields, [("unreadable", str(error))], False
    texts = {}
    comment = url = None
    others = []
    for frame in frames:
        fid = frame.FrameID
        if fid in TWELVE_TEXT:
            texts[fid] = text_of(frame)  # a later frame replaces an earlier one
        elif fid == "COMM" and frame.desc == "":
            if comment is None:
                comment = text_of(frame)
        elif fid == "WXXX" and frame.desc == "":
            if url is None:
                url = frame.url
        else:
            others.append(frame)
    for fid, name in TWELVE_TEXT.items():
        if fid in texts and name not in ("track", "genre", "year"):
            fields[name] = trim(texts[fid])
    year = texts.get("TYER", texts.get("TDRC"))
    fields["year"] = trim(year) if year is not None else ""
    fields["track"] = track_rule(texts["TRCK"]) if "TRCK" in texts else 0
    fields["genre"] = genre_rule(texts["TCON"]) if "TCON" in texts else ""
    fields["comment"] = trim(comment) if comment is not None else ""
    fields["url"] = trim(url) if url is not None else ""
    described = [canonical(f) for f in others]
    described += [{"id": raw[:4].decode("latin1"), "unknown": digest(raw[10:])}
                  for raw in tags.unknown_frames]
    return fields, [("frame", json.dumps(d, sort_keys=True)) for d in described], True


def digest(data):
    return "%d:%s" % (len(data), hashlib.sha1(data).hexdigest())


def plain(value):
    if isinstance(value, bytes):
        return digest(value)
    if isinstance(value, (str, int, float)) or value is None:
        return value
    if isinstance(value, (list, tuple)):
        return [plain(v) for v in value]
    if hasattr(value, "values") and callable(value.values):  # sub-frames of CHAP/CTOC
        return sorted(json.dumps(canonical(f), sort_keys=True) for f in value.values())
    return str(value)


def canonical(frame):
    out = {"id": frame.FrameID}
    for part in list(frame._framespec) + list(getattr(frame, "_optionalspec", [])):
        if part.name == "encoding" or not hasattr(frame, part.name):
            continue
        value = getattr(frame, part.name)
        if part.name == "text":
            value = [str(t) for t in value]
        out[part.name] = plain(value)
    return out


def v1_fields(data):
    fields = {"exists": False, "version_id": 1, "title": "", "artist": "", "album": "",
              "year": "", "comment": "", "track": 0, "genre_id": 255}
    if len(data) < 128:
        return fields
    import io
    frames, offset = find_id3v1(io.BytesIO(data), v2_version=3)
    if frames is None or offset != -128:
        return fields
    record = data[-128:]
    v11 = (record[125] == 0 and record[126] != 0) or (record[125] == 32 and record[126] != 32)
    fields["exists"] = True
    fields["version_id"] = 2 if v11 else 1
    for key, fid in (("title", "TIT2"), ("artist", "TPE1"), ("album", "TALB"),
                     ("year", "TYER"), ("comment", "COMM")):
        if fid == "TYER" and fid not in frames:
            fid = "TDRC"
        fields[key] = cp1252(str(frames[fid])) if fid in frames else ""
    # mutagen reads 29 comment bytes; a version 1.0 record holds 30.
    if not v11 and b"\0" not in record[97:126] and record[126] != 0:
        fields["comment"] = (fields["comment"] + " " * (29 - len(fields["comment"])) +
                             bytes([record[126]]).decode("cp1252", "replace")).strip()
    fields["track"] = int(str(frames["TRCK"])) if v11 and "TRCK" in frames else 0
    fields["genre_id"] = int(str(frames["TCON"])) if "TCON" in frames else 255
    return fields


def main():
    global GENRES
    with open(sys.argv[1], encoding="utf-8") as names:
        GENRES = names.read().split("\n")[:-1]
    out = sys.stdout
    for path in sys.argv[2:]:
        with open(path, "rb") as f:
            data = f.read()
        status = ("Error reading ID3v2 Tag: " if len(data) < 10 else
                  "Error reading ID3v1 Tag: " if len(data) < 128 else "OK")
        out.write("=== %s\n" % path)
        out.write("field\tstatus\t%s\n" % status)
        for key, value in v1_fields(data).items():
            out.write("field\tv1.%s\t%s\n" % (key, escape(str(int(value) if isinstance(value, bool) else value))))
        fields, lines, readable = v2_fields(path, data)
        for key, value in fields.items():
            if key in ("exists", "version_id", "size") or readable:
                out.write("field\tv2.%s\t%s\n" % (key, escape(str(int(value) if isinstance(value, bool) else value))))
        for kind, text in lines:
            out.write("%s\t%s\n" % (kind, escape(text)))


if __name__ == "__main__":
    sys.stdout.reconfigure(encoding="utf-8")
    main()
