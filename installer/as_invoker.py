"""Makes the uninstaller ask for no elevation (asInvoker) where setup asks
for the highest rights the user has, and mends the checksum it checks
itself against. A per-user installation is then removed at the rights of
whoever removes it; one for every user asks for elevation by itself.

makensis runs it on the uninstaller it has built (!uninstfinalize)."""
import struct
import sys
import zlib

path = sys.argv[1]
data = bytearray(open(path, "rb").read())

# The first header (flags, 0xDEADBEEF, "NullsoftInst", header length, data
# length) sits on a 512-byte boundary; the CRC32 of everything from byte 512
# up to the data's last four bytes is those four bytes.
sig = data.find(b"\xef\xbe\xad\xdeNullsoftInst")
start = sig - 4
end = start + struct.unpack_from("<I", data, start + 24)[0] - 4 if sig >= 4 else -1
if sig < 4 or start % 512 or end + 4 > len(data) or \
        zlib.crc32(bytes(data[512:end])) != struct.unpack_from("<I", data, end)[0]:
    sys.exit("as_invoker: not an uninstaller of the expected layout: " + path)

old = b'level="highestAvailable"'
at = data.find(old)
if at < 512 or at >= start or data.find(old, at + 1) >= 0:
    sys.exit("as_invoker: no single requestedExecutionLevel in " + path)
data[at:at + len(old)] = b'level="asInvoker"'.ljust(len(old))
struct.pack_into("<I", data, end, zlib.crc32(bytes(data[512:end])))
open(path, "wb").write(data)
