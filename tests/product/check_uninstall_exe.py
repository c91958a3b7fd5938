"""Checks the shipped Uninstall.exe as a file: a 32-bit GUI program linked without MinGW
runtime DLLs, whose resources hold the manifest and the uninstall script (FILE 503) as
UTF-16LE with byte-order mark and CR-LF, row for row the repository's script."""
import struct
import sys

RT_MANIFEST = 24


class PE:
    def __init__(self, data: bytes):
        self.data = data
        e_lfanew = struct.unpack_from("<I", data, 0x3C)[0]
        if data[e_lfanew:e_lfanew + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        self.machine, nsections, _, _, _, opt_size, _ = struct.unpack_from("<HHIIIHH", data, e_lfanew + 4)
        opt = e_lfanew + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        self.subsystem = struct.unpack_from("<H", data, opt + 68)[0]
        dirs = opt + (96 if self.magic == 0x10B else 112)
        self.directories = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(16)]
        self.sections = []
        for i in range(nsections):
            off = opt + opt_size + 40 * i
            name = data[off:off + 8].rstrip(b"\0").decode()
            vsize, va, rawsize, rawptr = struct.unpack_from("<IIII", data, off + 8)
            self.sections.append((name, va, max(vsize, rawsize), rawptr))

    def offset(self, rva: int) -> int:
        for _, va, size, raw in self.sections:
            if va <= rva < va + size:
                return raw + rva - va
        raise ValueError("address outside every section")

    def imports(self):
        rva, size = self.directories[1]
        names = []
        if not size:
            return names
        pos = self.offset(rva)
        while True:
            name_rva = struct.unpack_from("<I", self.data, pos + 12)[0]
            if name_rva == 0:
                return names
            start = self.offset(name_rva)
            names.append(self.data[start:self.data.index(b"\0", start)].decode().lower())
            pos += 20

    def resources(self):
        """Yields (type, id, bytes) for every resource; names as strings, ids as ints."""
        base_rva, _ = self.directories[2]
        base = self.offset(base_rva)

        def entries(table):
            named, ids = struct.unpack_from("<HH", self.data, table + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data, table + 16 + 8 * i)
                if name & 0x80000000:
                    at = base + (name & 0x7FFFFFFF)
                    length = struct.unpack_from("<H", self.data, at)[0]
                    key = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
                else:
                    key = name
                yield key, target

        for rtype, t1 in entries(base):
            for rid, t2 in entries(base + (t1 & 0x7FFFFFFF)):
                for _, t3 in entries(base + (t2 & 0x7FFFFFFF)):
                    rva, size = struct.unpack_from("<II", self.data, base + t3)
                    start = self.offset(rva)
                    yield rtype, rid, self.data[start:start + size]


def main() -> int:
    exe, script = sys.argv[1], sys.argv[2]
    pe = PE(open(exe, "rb").read())
    failures = []
    checks = []

    def check(condition, what):
        checks.append(what)
        if not condition:
            failures.append(what)

    check(pe.machine == 0x14C and pe.magic == 0x10B, "a 32-bit (PE32, i386) program")
    check(pe.subsystem == 2, "the Windows GUI subsystem")
    runtime = [n for n in pe.imports() if n.startswith(("libstdc++", "libgcc", "libwinpthread"))]
    check(not runtime, "no MinGW runtime DLL imported (found %s)" % runtime)

    found = {(t, i): d for t, i, d in pe.resources()}
    manifest = found.get((RT_MANIFEST, 1), b"").decode("utf-8", "replace")
    check('level="requireAdministrator"' in manifest, "manifest asks for administrator rights")
    check("Microsoft.Windows.Common-Controls" in manifest and 'version="6.0.0.0"' in manifest,
          "manifest asks for common controls 6")
    check(manifest.count("<supportedOS") >= 4, "manifest lists the supported systems")

    embedded = found.get(("FILE", 503))
    check(embedded is not None, "resource FILE 503 present")
    if embedded is not None:
        check(embedded.startswith(b"\xff\xfe"), "FILE 503 starts with the UTF-16LE byte-order mark")
        text = embedded[2:].decode("utf-16-le")
        check("\n" not in text.replace("\r\n", ""), "FILE 503 uses CR-LF line ends only")
        expected = open(script, encoding="utf-8").read().splitlines()
        check(text.split("\r\n")[:len(expected)] == expected, "FILE 503 holds the script row for row")

    for failure in failures:
        print("FAILED: " + failure)
    print("%d passed, %d failed" % (len(checks) - len(failures), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
