"""Writes the INI documents that the parser tests embed as resources: byte-order mark or
not, the largest accepted size and one byte more, pairs without any header."""
import os
import sys


def utf16(text: str, bom: bool = True) -> bytes:
    return (b"\xff\xfe" if bom else b"") + text.encode("utf-16-le")


def sized(total: int) -> bytes:
    head = utf16("[big]\r\nlast=")
    filler = b"x\x00" * ((total - len(head)) // 2)
    data = head + filler
    return data + b"y" * (total - len(data))


def main() -> int:
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    documents = {
        "bom.u16": utf16("[a]\r\nk=v\r\n"),
        "nobom.u16": utf16("[a]\r\nk=v\r\n", bom=False),
        "max.u16": sized(999999),
        "over.u16": sized(1000000),
        "noheader.u16": utf16("a=1\r\nb=2\r\n"),
        "onlyheader.u16": utf16("[service]\r\n"),
    }
    for name, data in documents.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
