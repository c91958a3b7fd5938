"""Turns a UTF-8 text file of the repository into the UTF-16LE document with byte-order
mark and CR-LF line ends that the program reads from its resources."""
import sys


def main() -> int:
    source, target = sys.argv[1], sys.argv[2]
    with open(source, encoding="utf-8") as f:
        text = f.read()
    if text.startswith("\ufeff"):
        text = text[1:]
    text = text.replace("\r\n", "\n").replace("\n", "\r\n")
    with open(target, "wb") as f:
        f.write(b"\xff\xfe" + text.encode("utf-16-le"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
